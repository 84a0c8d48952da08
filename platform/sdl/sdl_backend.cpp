// The SDL2 backend: windows, waiting and input.
#include "platform/sdl/sdl_backend.h"

#include "platform/module.h"
#include "platform/resource_decode.h"
#include "platform/sdl/sdl_native.h"
#include "platform/sdl/wayland_log.h"
#include "platform/sdl/x11_errors.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace zsdl {

int VirtualKeyFor(SDL_Keycode sym, SDL_Scancode scancode) {
    switch (sym) {
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_PAUSE:
        return VK_PAUSE;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_PLUS:
    case SDLK_EQUALS: // + without Shift on most layouts
        return VK_OEM_PLUS;
    case SDLK_MINUS:
        return VK_OEM_MINUS;
    default:
        break;
    }
    // Function keys: Alt+F4 closes a window, F10 enters menu mode.
    if (sym >= SDLK_F1 && sym <= SDLK_F12) {
        return VK_F1 + (sym - SDLK_F1);
    }
    if (sym >= SDLK_a && sym <= SDLK_z) {
        return 'A' + (sym - SDLK_a);
    }
    if (sym >= SDLK_0 && sym <= SDLK_9) {
        return '0' + (sym - SDLK_0);
    }
    // Layouts whose letter keys give no Latin letter: go by the key's place.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z &&
        (sym & SDLK_SCANCODE_MASK) == 0 && sym > 0x7F) {
        return 'A' + (scancode - SDL_SCANCODE_A);
    }
    return 0;
}

SdlBackend::SdlBackend(HINSTANCE iconModule, DisplayOptions options)
    : iconModule_(iconModule), options_(options), defaultIcon_(zplat::ProgramIcon(iconModule)) {
    // Ctrl+C in the terminal ends the program as any other; closing the last
    // window is the window's own Close, not a second quit request.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A click on an inactive window reaches its menu bar, as on Windows.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A small windowed game has no business turning the compositor off.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Full screen stays when another window (the About window) takes the
    // keyboard.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // Controllers are read when the loop wakes up (see Wait), so that SDL's
    // event wait never has to poll them every millisecond.
    SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
    SDL_Init(SDL_INIT_EVENTS);
    overlays_.reserve(4);
    overlayWindows_.reserve(4);
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "zorvak: no game controllers: %s\n", SDL_GetError());
    }
}

SdlBackend::~SdlBackend() {
    DropSpareMain();
    while (!pads_.empty()) {
        ClosePad(pads_.back()->id, false);
    }
    for (const std::unique_ptr<Native> &native : windows_) {
        ForgetX11Put(native->put, connection_);
        SDL_DestroyWindow(native->sdl);
    }
    windows_.clear();
    if (audioDevice_ != 0) {
        SDL_CloseAudioDevice(audioDevice_);
    }
    SDL_Quit();
}

// Milliseconds since the system started, as the Windows tick count is: the
// game seeds its random source with it, so it must differ from run to run
// (SDL's own ticks start at zero with every program).
uint64_t SdlBackend::NowMs() {
    timespec now = {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
}

// When no desktop answers, SDL falls back to drivers that show nothing
// (offscreen, dummy).  Those count as a display only when asked for by name.
static bool OnlyAStandIn() {
    const char *driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) {
        return true;
    }
    if (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) {
        return false;
    }
    const char *requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    return requested == nullptr || std::strstr(requested, driver) == nullptr;
}

// Why no display could be opened, as X programs say it: what the
// environment names, or SDL's own reason when a driver was asked for.
static std::string NoDisplayReason() {
    const char *requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (requested != nullptr && *requested != '\0') {
        return std::string(SDL_GetError()) + " (SDL_VIDEODRIVER=" + requested + ")";
    }
    const char *x = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    const bool hasX = x != nullptr && *x != '\0';
    const bool hasWayland = wayland != nullptr && *wayland != '\0';
    if (!hasX && !hasWayland) {
        return "DISPLAY is not set";
    }
    std::string reason;
    if (hasX) {
        reason = std::string("no X server answers at DISPLAY=") + x;
    }
    if (hasWayland) {
        reason += std::string(hasX ? ", nor a" : "no") +
                  " Wayland compositor at WAYLAND_DISPLAY=" + wayland;
    }
    return reason;
}

bool SdlBackend::VideoReady() {
    if (videoState_ == 0) {
        InstallX11ErrorFilter();
        // The game reads keys, not text: Xlib's input method, which SDL
        // opens for text input, need not parse the locale's compose table
        // (half a megabyte kept for the program's life), unless the player
        // names one.
        setenv("XCOMPOSEFILE", "/dev/null", 0);
        HoldWaylandLog(true);
        const bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        HoldWaylandLog(false);
        if (started && !OnlyAStandIn()) {
            videoState_ = 1;
            // Window surfaces straight through the display server (X11
            // shared memory): a few hundred kilobytes twenty times a second
            // need no GPU context.  Wayland has no such path, and SDL's own
            // framebuffer knows only some pixel formats: on a screen whose
            // format it does not know (30-bit deep colour, 8-bit), the
            // window surface goes through a renderer.  SDL decides once, at
            // the first surface; SDL_FRAMEBUFFER_ACCELERATION in the
            // environment still overrides.
            SDL_DisplayMode mode;
            const bool known =
                SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.format != SDL_PIXELFORMAT_UNKNOWN;
            if (std::strcmp(SDL_GetCurrentVideoDriver(), "wayland") != 0) {
                SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, known ? "0" : "1");
            }
            // The game reads keys, not text.
            SDL_StopTextInput();
            // A window destroyed by another client closes like any other.
            ListenForX11Destruction();
        } else {
            videoState_ = -1;
            videoError_ = NoDisplayReason();
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }
    return videoState_ > 0;
}

bool SdlBackend::SurfaceWorks(std::string *error) {
    SDL_Window *probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN);
    const bool works = probe != nullptr && SDL_GetWindowSurface(probe) != nullptr;
    if (!works) {
        *error = SDL_GetError();
    }
    if (probe != nullptr) {
        SDL_DestroyWindow(probe);
    }
    return works;
}

bool SdlBackend::OpenDisplay(std::string *error) {
    if (!VideoReady()) {
        *error = "cannot open a display: " + videoError_;
        return false;
    }
    std::string why;
    if (!SurfaceWorks(&why)) {
        *error = "cannot draw on this display: " + why;
        return false;
    }
    return true;
}

SdlBackend::Native *SdlBackend::Find(HWND window) const {
    for (const std::unique_ptr<Native> &native : windows_) {
        if (native->window == window) {
            return native.get();
        }
    }
    return nullptr;
}

SdlBackend::Native *SdlBackend::FindById(Uint32 windowId) const {
    for (const std::unique_ptr<Native> &native : windows_) {
        if (native->id == windowId) {
            return native.get();
        }
    }
    return nullptr;
}

void SdlBackend::DesktopSize(int *width, int *height) {
    SDL_DisplayMode mode;
    if (VideoReady() && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
        *width = mode.w;
        *height = mode.h;
        return;
    }
    // Without a display nothing can be shown anyway; any plausible size will do.
    *width = 640;
    *height = 480;
}

void SdlBackend::ProgramRestarts() {
    restarting_ = true;
}

// The native window kept across a restart, for the main window of the
// program that runs next; or it goes.
bool SdlBackend::ReuseSpareMain(HWND window, const char *title, int width, int height) {
    std::unique_ptr<Native> spare = std::move(spareMain_);
    if (spare == nullptr) {
        return false;
    }
    if (!windows_.empty() || spare->width != width || spare->height != height) {
        ForgetX11Put(spare->put, connection_);
        SDL_DestroyWindow(spare->sdl);
        return false;
    }
    spare->window = window;
    spare->title = title != nullptr ? title : "";
    windows_.push_back(std::move(spare));
    return true;
}

void SdlBackend::DropSpareMain() {
    restarting_ = false;
    if (spareMain_ != nullptr) {
        ForgetX11Put(spareMain_->put, connection_);
        SDL_DestroyWindow(spareMain_->sdl);
        spareMain_.reset();
    }
}

bool SdlBackend::CreateNativeWindow(HWND window, const char *title, int x, int y, int width,
                                    int height) {
    if (!VideoReady() || width <= 0 || height <= 0) {
        return false;
    }
    if (ReuseSpareMain(window, title, width, height)) {
        return true;
    }
    int desktopWidth = 0;
    int desktopHeight = 0;
    DesktopSize(&desktopWidth, &desktopHeight);
    // The first window (the main one, the largest) sets the scale for all,
    // so that every window of the program shows its pixels at one size.
    const bool first = windows_.empty();
    int scale = !first ? windows_.front()->scale
                : options_.scale > 0
                    ? options_.scale
                    : zplat::DesktopScale(desktopWidth, desktopHeight, width, height);
    const int scaledWidth = width * scale;
    const int scaledHeight = height * scale;
    // The program placed its window for unscaled pixels; keep that centre.
    int left = x + width / 2 - scaledWidth / 2;
    int top = y + height / 2 - scaledHeight / 2;
    left = std::max(0, std::min(left, desktopWidth - scaledWidth));
    top = std::max(0, std::min(top, desktopHeight - scaledHeight));
    // The program's desktop is the first display, wherever it sits.
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(0, &bounds) == 0) {
        left += bounds.x;
        top += bounds.y;
    }

    const bool fullScreen = first && options_.fullScreen;
    SDL_Window *sdl = SDL_CreateWindow(title != nullptr ? title : "", left, top, scaledWidth,
                                       scaledHeight, SDL_WINDOW_HIDDEN);
    if (sdl == nullptr) {
        std::fprintf(stderr, "zorvak: cannot open a window: %s\n", SDL_GetError());
        return false;
    }
    auto native = std::make_unique<Native>();
    native->window = window;
    native->sdl = sdl;
    native->id = SDL_GetWindowID(sdl);
    native->xid = X11WindowOf(sdl);
    WatchX11Window(native->xid);
    native->width = width;
    native->height = height;
    native->scale = scale;
    native->fullScreen = fullScreen;
    native->placed.scale = scale;
    native->title = title != nullptr ? title : "";
    Native &added = *windows_.emplace_back(std::move(native));
    // The surface is made now, while the window is hidden: where it goes
    // through a renderer, SDL replaces the X window for it, and that is
    // better done before the window is shown.
    SDL_GetWindowSurface(sdl);
    FollowX11Window(added);
    if (connection_.display == nullptr) {
        connection_ = X11ConnectionOf(sdl);
    }
    added.windowedX = left;
    added.windowedY = top;
    // Full screen from the start: sized when shown where no window manager
    // does it (ShowNativeWindow), asked of it otherwise.
    if (fullScreen && !Unmanaged(added)) {
        SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    if (!defaultIcon_.argb.empty()) {
        SetIcon(added, defaultIcon_.argb.data(), defaultIcon_.width, defaultIcon_.height, true);
    }
    return true;
}

void SdlBackend::DestroyNativeWindow(HWND window) {
    Native *native = Find(window);
    if (native == nullptr) {
        return;
    }
    const bool overlaid = native->overlaid;
    if (pressedOverlay_ == window) {
        pressedOverlay_ = nullptr;
    }
    if (restarting_ && native == windows_.front().get()) {
        // Kept, showing what it showed, for the next program's main window.
        spareMain_ = std::move(windows_.front());
        windows_.erase(windows_.begin());
        return;
    }
    ForgetX11Put(native->put, connection_);
    SDL_DestroyWindow(native->sdl);
    windows_.erase(
        std::find_if(windows_.begin(), windows_.end(),
                     [native](const std::unique_ptr<Native> &w) { return w.get() == native; }));
    if (overlaid && !windows_.empty() && windows_.front()->presented) {
        ShowPicture(*windows_.front(), nullptr, 0, true); // the main image where it was
    }
}

void SdlBackend::ShowNativeWindow(HWND window, bool shown) {
    Native *native = Find(window);
    if (native == nullptr || native->shown == shown) {
        return;
    }
    native->shown = shown;
    if (native != windows_.front().get() && windows_.front()->fullScreen) {
        UpdateOverlays(); // shown in the full-screen picture, or no longer
        return;
    }
    if (shown) {
        SDL_ShowWindow(native->sdl);
        if (native->fullScreen && Unmanaged(*native)) {
            SizeWithoutWindowManager(*native);
        }
    } else {
        SDL_HideWindow(native->sdl);
    }
}

void SdlBackend::FocusNativeWindow(HWND window) {
    // The core moves the focus before the window that has it goes away, so
    // the keyboard is still with one of the program's windows, if it was:
    // it is never taken from another program.
    Native *native = Find(window);
    Native *main = windows_.empty() ? nullptr : windows_.front().get();
    if (main != nullptr && main->fullScreen && main->presented && AnyOverlaid()) {
        // The caption colours of the full-screen picture follow; the
        // desktop's keyboard stays with the main window.
        ShowPicture(*main, nullptr, 0, true);
    }
    if (native == nullptr || native->overlaid || !native->shown || native->minimized ||
        SDL_GetKeyboardFocus() == nullptr) {
        return;
    }
    // A window manager is asked to activate it; without one (where a
    // destroyed window leaves the keyboard with nobody) the X focus is set
    // straight away.
    SDL_RaiseWindow(native->sdl);
    SDL_SetWindowInputFocus(native->sdl);
}

void SdlBackend::SetNativeTitle(HWND window, const char *title) {
    Native *native = Find(window);
    if (native != nullptr) {
        native->title = title != nullptr ? title : "";
        SDL_SetWindowTitle(native->sdl, native->title.c_str());
        Native &main = *windows_.front();
        if (main.fullScreen && main.presented && native == &main) {
            // The caption bar follows the title: only its rows.
            const zplat::Area bar = {0, 0, main.width, zplat::kCaptionBarHeight};
            ShowPicture(main, &bar, 1, false);
        } else if (main.fullScreen && main.presented && native->overlaid) {
            main.redrawPending = true; // the overlay's frame
        }
    }
}

void SdlBackend::MinimizeNativeWindow(HWND window) {
    Native *native = Find(window);
    if (native == nullptr || native->minimized) {
        return;
    }
    native->minimized = true;
    SDL_MinimizeWindow(native->sdl);
}

void SdlBackend::RestoreNativeWindow(HWND window) {
    Native *native = Find(window);
    if (native == nullptr || !native->minimized) {
        return;
    }
    native->minimized = false;
    SDL_RestoreWindow(native->sdl);
}

// A key release that SDL makes up for every key still down when its window
// loses the keyboard (the focus-lost event follows it at once): it is no
// release by the player, and must not read as an Alt tap.
static bool ReleaseBeforeFocusLoss(Uint32 windowId) {
    SDL_Event pending[64];
    SDL_PumpEvents();
    const int count = SDL_PeepEvents(pending, 64, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
    for (int i = 0; i < count; ++i) {
        if (pending[i].window.windowID == windowId &&
            pending[i].window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            return true;
        }
    }
    return false;
}

// F11, or Enter with Alt held, switches full screen; the core never sees
// them, nor their releases, nor the release of the Alt that was part of it
// (that would read as an Alt tap and light the menu bar).
bool SdlBackend::TakeFullScreenKey(const SDL_Event &event) {
    const SDL_Keysym &key = event.key.keysym;
    const bool alt = (key.mod & KMOD_ALT) != 0;
    const bool isAlt = key.sym == SDLK_LALT || key.sym == SDLK_RALT;
    if (event.type == SDL_KEYDOWN) {
        if (isAlt && event.key.repeat == 0) {
            altTaken_ = false;
        }
        const bool enter =
            key.sym == SDLK_RETURN || key.sym == SDLK_RETURN2 || key.sym == SDLK_KP_ENTER;
        if (key.sym != SDLK_F11 && !(enter && alt)) {
            return false;
        }
        if (std::find(takenKeys_.begin(), takenKeys_.end(), key.scancode) == takenKeys_.end()) {
            takenKeys_.push_back(key.scancode);
        }
        altTaken_ = altTaken_ || alt;
        if (event.key.repeat == 0) {
            SetFullScreen(!FullScreen());
        }
        return true;
    }
    auto taken = std::find(takenKeys_.begin(), takenKeys_.end(), key.scancode);
    if (taken != takenKeys_.end()) {
        takenKeys_.erase(taken);
        return true;
    }
    if (isAlt && altTaken_) {
        altTaken_ = false;
        return true;
    }
    return false;
}

bool SdlBackend::TranslateKey(const SDL_Event &event) {
    Native *native = FindById(event.key.windowID);
    if (native == nullptr && !windows_.empty()) {
        native = windows_.front().get();
    }
    if (native == nullptr || TakeFullScreenKey(event)) {
        return false;
    }
    const int vk = VirtualKeyFor(event.key.keysym.sym, event.key.keysym.scancode);
    if (vk == 0) {
        return false;
    }
    const bool down = event.type == SDL_KEYDOWN;
    // A key a controller holds too stays down until both let go.
    const bool padHolds = NoteKeyboardKey(vk, down);
    if ((!down && padHolds) || (!down && ReleaseBeforeFocusLoss(native->id))) {
        return false;
    }
    zplat::InputEvent input = {};
    input.type = down ? zplat::InputEvent::KeyDown : zplat::InputEvent::KeyUp;
    // In full screen with the About window shown in its picture, keys go to
    // the window that has the program's keyboard.
    input.window = native->fullScreen && AnyOverlaid() ? nullptr : native->window;
    input.vk = vk;
    input.alt = (event.key.keysym.mod & KMOD_ALT) != 0;
    input.repeat = event.key.repeat != 0 || padHolds;
    zplat::PushInput(input);
    return true;
}

bool SdlBackend::TranslatePointer(const SDL_Event &event) {
    zplat::InputEvent input = {};
    if (event.type == SDL_MOUSEMOTION) {
        // Only drags matter (the menus follow the pointer while the button
        // is held).
        Native *native = FindById(event.motion.windowID);
        if (native == nullptr || (event.motion.state & SDL_BUTTON_LMASK) == 0) {
            return false;
        }
        input.type = zplat::InputEvent::Drag;
        zplat::SurfaceToImage(native->placed, event.motion.x, event.motion.y, &input.x, &input.y);
        input.window = PointerTarget(*native, false, &input.x, &input.y);
        zplat::PushInput(input);
        return true;
    }
    Native *native = FindById(event.button.windowID);
    if (native == nullptr || event.button.button != SDL_BUTTON_LEFT) {
        return false;
    }
    zplat::SurfaceToImage(native->placed, event.button.x, event.button.y, &input.x, &input.y);
    const bool press = event.type == SDL_MOUSEBUTTONDOWN;
    input.window = PointerTarget(*native, press, &input.x, &input.y);
    if (press && input.window == native->window &&
        (input.x < 0 || input.y < 0 || input.x >= native->width || input.y >= native->height)) {
        return false; // full screen's black border or caption bar
    }
    if (press && (SDL_GetWindowFlags(native->sdl) & SDL_WINDOW_INPUT_FOCUS) == 0) {
        // A click gives a window the keyboard, also on a desktop with no
        // window manager to do it.
        SDL_SetWindowInputFocus(native->sdl);
    }
    // A release or a drag off the image is still one: the menus end their
    // tracking there without choosing.
    input.type = press ? zplat::InputEvent::Click : zplat::InputEvent::Release;
    zplat::PushInput(input);
    return true;
}

bool SdlBackend::TranslateWindowEvent(const SDL_Event &event) {
    Native *native = FindById(event.window.windowID);
    if (native == nullptr) {
        return false;
    }
    zplat::InputEvent input = {};
    input.window = native->window;
    switch (event.window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
        native->active = event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
        if (native->fullScreen && native->presented) {
            native->redrawPending = true; // the caption bar's colour
        }
        if (!native->active) {
            return false;
        }
        input.type = zplat::InputEvent::Focus;
        zplat::PushInput(input);
        return true;
    case SDL_WINDOWEVENT_CLOSE:
        input.type = zplat::InputEvent::Close;
        zplat::PushInput(input);
        return true;
    case SDL_WINDOWEVENT_MINIMIZED:
        // A hidden window is unmapped too; that is not the user's doing.
        if (!native->shown || native->minimized) {
            return false;
        }
        native->minimized = true;
        input.type = zplat::InputEvent::Minimize;
        zplat::PushInput(input);
        return true;
    case SDL_WINDOWEVENT_RESTORED:
        if (!native->shown || !native->minimized) {
            return false;
        }
        native->minimized = false;
        input.type = zplat::InputEvent::Restore;
        zplat::PushInput(input);
        return true;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        // The surface may be new (full screen switched): show the last image
        // again, placed anew.
        native->redrawPending = native->presented;
        return false;
    default:
        return false;
    }
}

bool SdlBackend::Translate(const SDL_Event &event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return TranslateKey(event);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION:
        return TranslatePointer(event);
    case SDL_WINDOWEVENT:
        return TranslateWindowEvent(event);
    case SDL_SYSWMEVENT:
        NoteSystemEvent(event);
        return false;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
        return TranslatePad(event);
    default:
        return false;
    }
}

SDL_Window *SdlBackend::NativeWindow(HWND window) const {
    Native *native = Find(window);
    return native != nullptr ? native->sdl : nullptr;
}

int SdlBackend::Scale(HWND window) const {
    Native *native = Find(window);
    return native != nullptr ? native->scale : 0;
}

long SdlBackend::PutsOnX11() {
    return X11PutsMade();
}

zplat::Placement SdlBackend::PlacementOf(HWND window) const {
    Native *native = Find(window);
    return native != nullptr ? native->placed : zplat::Placement{};
}

std::vector<uint32_t> SdlBackend::IconPixels(HWND window, int *width, int *height) const {
    Native *native = Find(window);
    if (native == nullptr) {
        *width = *height = 0;
        return {};
    }
    *width = native->iconWidth;
    *height = native->iconHeight;
    return native->icon;
}

} // namespace zsdl
