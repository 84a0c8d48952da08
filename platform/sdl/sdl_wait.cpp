// The SDL2 backend's waiting: the loop sleeps until the display has
// something or the next timer is due, and reads the display only then.
//
// On X the backend waits on the connection's socket itself (x11_connection.h)
// and asks SDL to read and translate what came only when the socket has
// something: an idle tick is one wake-up and no read.  SDL's own wait
// (SDL_WaitEventTimeout, used on other video drivers) polls and reads the
// connection a dozen times a tick.
#include "platform/sdl/sdl_native.h"
#include "platform/sdl/x11_connection.h"
#include "platform/sdl/x11_errors.h"
#include "platform/session.h"

#include <algorithm>
#include <climits>

namespace zsdl {

namespace {

// While a controller is plugged in it is read at least this often; the
// game's own timer wakes the loop every 50 ms to notice a new one.
constexpr int kPadReadMs = 8;

// With no controller plugged in, how often SDL looks for one.
constexpr uint64_t kPadLookMs = 250;

// SDL does some of its own work when it reads the display (keeping the
// screen saver off, among others): it reads it at least this often.
constexpr uint64_t kQuietPumpMs = 10000;

} // namespace

bool SdlBackend::DrainEvents(bool pump) {
    // SDL's event wait does not read controllers (see the constructor):
    // they are read here, and plugging in and pulling out noticed.  With
    // none plugged in, only the latter, a few times a second: each look is
    // two calls into the system.
    const uint64_t now = NowMs();
    if (!pads_.empty() || now - lastPadLookMs_ >= kPadLookMs) {
        SDL_GameControllerUpdate();
        lastPadLookMs_ = now;
    }
    // One read of the display's connection, when asked for; SDL_PollEvent
    // would read it again for every event taken.
    if (pump) {
        SDL_PumpEvents();
        lastPumpMs_ = NowMs();
    }
    bool pushed = false;
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        pushed = Translate(event) || pushed;
    }
    // A window that another client destroyed is closed, as by its close
    // button; the program then destroys it as it would any other.  One that
    // SDL itself replaced is not lost: the window goes on in the new one.
    for (const std::unique_ptr<Native> &native : windows_) {
        if (TakeX11WindowLost(native->xid) && !FollowX11Window(*native)) {
            zplat::InputEvent input = {};
            input.type = zplat::InputEvent::Close;
            input.window = native->window;
            zplat::PushInput(input);
            pushed = true;
        }
    }
    // The keyboard went to another program: a game that runs pauses until
    // the player comes back and goes on.  Only once it has stayed away a
    // moment: between one window of the program and another (the About
    // window opening, or closing) X says "out" before it says "in".
    const bool haveFocus = SDL_GetKeyboardFocus() != nullptr;
    if (haveFocus) {
        focusLostMs_ = 0;
    } else if (hadFocus_) {
        focusLostMs_ = now;
    } else if (focusLostMs_ != 0 && now - focusLostMs_ >= kFocusGoneMs) {
        focusLostMs_ = 0;
        zplat::PauseForAbsence();
    }
    hadFocus_ = haveFocus;
    for (const std::unique_ptr<Native> &native : windows_) {
        if (native->redrawPending) {
            native->redrawPending = false;
            Draw(*native, nullptr);
        }
    }
    return pushed;
}

void SdlBackend::Poll() {
    DropSpareMain(); // the program that restarted has made its windows
    // Right after a wait that found the display quiet and took in what SDL
    // had queued, there is nothing yet (controllers are read while waiting).
    if (NowMs() - quietSinceMs_ < kFreshPumpMs) {
        return;
    }
    const X11Wait got = WaitForX11(connection_, 0);
    DrainEvents(got != X11Wait::TimedOut || NowMs() - lastPumpMs_ >= kQuietPumpMs);
}

void SdlBackend::Wait(uint64_t deadlineMs) {
    DropSpareMain();
    IdleAudio();
    // What is queued already.
    if (DrainEvents(false)) {
        return;
    }
    for (;;) {
        const uint64_t now = NowMs();
        int timeout = -1;
        if (deadlineMs != kNoDeadline) {
            if (now >= deadlineMs) {
                return;
            }
            timeout = int(std::min<uint64_t>(deadlineMs - now, INT_MAX));
        }
        if (!pads_.empty() && (timeout < 0 || timeout > kPadReadMs)) {
            timeout = kPadReadMs;
        }
        const uint64_t quietFor = now - lastPumpMs_;
        const int untilQuietPump = int(kQuietPumpMs - std::min(quietFor, kQuietPumpMs));
        timeout = timeout < 0 ? untilQuietPump : std::min(timeout, untilQuietPump);
        const X11Wait got = WaitForX11(connection_, timeout);
        bool pushed = false;
        if (got == X11Wait::NoConnection) {
            SDL_Event event;
            const bool taken = SDL_WaitEventTimeout(&event, timeout) != 0;
            lastPumpMs_ = NowMs();
            pushed = taken && Translate(event);
        } else if (got == X11Wait::TimedOut) {
            quietSinceMs_ = NowMs();
        }
        const bool pump = got == X11Wait::Ready || NowMs() - lastPumpMs_ >= kQuietPumpMs;
        pushed = DrainEvents(pump) || pushed;
        if (pushed) {
            return;
        }
    }
}

} // namespace zsdl
