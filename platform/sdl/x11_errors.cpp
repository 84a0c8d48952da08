#include "platform/sdl/x11_errors.h"

#ifdef ZORVAK_SDL_X11

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <cstring>

namespace zsdl {
namespace {

// A fixed table: the program makes two windows over its whole run, and the
// error handler must neither allocate nor call Xlib.
struct Watched {
    unsigned long xid;
    bool lost;
    bool reported;
};
constexpr int kMaxWatched = 64;
Watched watched[kMaxWatched];
int watchedCount = 0;
int (*previousHandler)(Display *, XErrorEvent *) = nullptr;
bool installed = false;

Watched *FindWatched(unsigned long xid) {
    for (int i = 0; i < watchedCount; ++i) {
        if (watched[i].xid == xid) {
            return &watched[i];
        }
    }
    return nullptr;
}

int OnXError(Display *display, XErrorEvent *error) {
    const bool windowGone = error->error_code == BadWindow || error->error_code == BadDrawable;
    Watched *ours = FindWatched(error->resourceid);
    if (windowGone && (ours != nullptr || error->request_code == X_SendEvent)) {
        if (ours != nullptr) {
            ours->lost = true;
        }
        return 0;
    }
    return previousHandler != nullptr ? previousHandler(display, error) : 0;
}

} // namespace

void InstallX11ErrorFilter() {
    if (!installed) {
        installed = true;
        previousHandler = XSetErrorHandler(OnXError);
    }
}

void WatchX11Window(unsigned long xid) {
    if (xid == 0 || FindWatched(xid) != nullptr) {
        return;
    }
    if (watchedCount == kMaxWatched) {
        // The oldest ids belong to windows long gone.
        for (int i = 1; i < kMaxWatched; ++i) {
            watched[i - 1] = watched[i];
        }
        --watchedCount;
    }
    watched[watchedCount++] = Watched{xid, false, false};
}

void MarkX11WindowLost(unsigned long xid) {
    if (Watched *w = FindWatched(xid)) {
        w->lost = true;
    }
}

bool TakeX11WindowLost(unsigned long xid) {
    Watched *w = FindWatched(xid);
    if (w == nullptr || !w->lost || w->reported) {
        return false;
    }
    w->reported = true;
    return true;
}

unsigned long X11WindowOf(SDL_Window *window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return 0;
    }
    return info.info.x11.window;
}

void ListenForX11Destruction() {
    const char *driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::strcmp(driver, "x11") == 0) {
        SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    }
}

void NoteSystemEvent(const SDL_Event &event) {
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg == nullptr ||
        event.syswm.msg->subsystem != SDL_SYSWM_X11) {
        return;
    }
    const XEvent &x = event.syswm.msg->msg.x11.event;
    if (x.type == DestroyNotify) {
        MarkX11WindowLost(x.xdestroywindow.window);
    }
}

} // namespace zsdl

#else

namespace zsdl {
void InstallX11ErrorFilter() {}
void WatchX11Window(unsigned long) {}
void MarkX11WindowLost(unsigned long) {}
bool TakeX11WindowLost(unsigned long) {
    return false;
}
unsigned long X11WindowOf(SDL_Window *) {
    return 0;
}
void ListenForX11Destruction() {}
void NoteSystemEvent(const SDL_Event &) {}
} // namespace zsdl

#endif
