// The SDL2 backend: windows, presenting, waiting and input.
#include "platform/sdl_backend.h"

#include "platform/module.h"
#include "platform/resource_decode.h"
#include "platform/sdl/x11_errors.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace zsdl {

// One top-level window's SDL counterpart.
struct SdlBackend::Native {
    HWND window = nullptr;
    SDL_Window *sdl = nullptr;
    Uint32 id = 0;
    unsigned long xid = 0; // the X window, when on X
    int width = 0; // composed image, unscaled
    int height = 0;
    int scale = 1;
    bool shown = false;
    bool minimized = false;
    bool presented = false;
    bool customIcon = false;    // showing the game's own picture as icon
    std::vector<uint32_t> icon; // what the window shows as icon, 0xAARRGGBB
    int iconWidth = 0;
    int iconHeight = 0;
    SDL_Surface *shownSurface = nullptr; // the window surface last drawn on
    std::vector<uint32_t> shownImage;    // the image it shows, unscaled
    std::vector<uint32_t> iconPicture;   // scratch: the minimised picture
};

int ChooseScale(int desktopWidth, int desktopHeight, int imageWidth, int imageHeight) {
    if (imageWidth <= 0 || imageHeight <= 0) {
        return 1;
    }
    // Leave a tenth of the width and a sixth of the height for the window's
    // frame, its title bar and the desktop's panels.
    const long long roomWidth = (long long)desktopWidth * 9 / 10;
    const long long roomHeight = (long long)desktopHeight * 5 / 6;
    long long scale = std::min(roomWidth / imageWidth, roomHeight / imageHeight);
    return (int)std::clamp(scale, 1LL, 16LL);
}

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

SdlBackend::SdlBackend(HINSTANCE iconModule) : iconModule_(iconModule) {
    // Ctrl+C in the terminal ends the program as any other; closing the last
    // window is the window's own Close, not a second quit request.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A click on an inactive window reaches its menu bar, as on Windows.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A small windowed game has no business turning the compositor off.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_Init(SDL_INIT_EVENTS);

    zplat::DecodedIcon decoded;
    const zplat::Resource *icon = zplat::FindResourceIn(iconModule_, zplat::RES_ICON, "ICON_1");
    if (icon != nullptr && zplat::DecodeIcon(icon->data, icon->size, &decoded)) {
        defaultIconWidth_ = decoded.width;
        defaultIconHeight_ = decoded.height;
        defaultIcon_.resize(decoded.color.size());
        for (size_t i = 0; i < decoded.color.size(); ++i) {
            defaultIcon_[i] = (decoded.transparent[i] ? 0x00000000u : 0xFF000000u) |
                              (decoded.color[i] & 0x00FFFFFFu);
        }
    }
}

SdlBackend::~SdlBackend() {
    for (Native *native : windows_) {
        SDL_DestroyWindow(native->sdl);
        delete native;
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
    if (requested == nullptr || std::strstr(requested, driver) == nullptr) {
        SDL_SetError("no desktop to show a window on (only the \"%s\" video driver started)",
                     driver);
        return true;
    }
    return false;
}

bool SdlBackend::VideoReady() {
    if (videoState_ == 0) {
        InstallX11ErrorFilter();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && !OnlyAStandIn()) {
            videoState_ = 1;
            // Window surfaces straight through the display server (X11
            // shared memory): a few hundred kilobytes twenty times a second
            // need no GPU context.  Wayland has no such path.
            if (std::strcmp(SDL_GetCurrentVideoDriver(), "wayland") != 0) {
                SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
            }
            // The game reads keys, not text.
            SDL_StopTextInput();
            // A window destroyed by another client closes like any other.
            ListenForX11Destruction();
        } else {
            videoState_ = -1;
            std::fprintf(stderr, "zorvak: no display: %s\n", SDL_GetError());
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }
    return videoState_ > 0;
}

SdlBackend::Native *SdlBackend::Find(HWND window) const {
    for (Native *native : windows_) {
        if (native->window == window) {
            return native;
        }
    }
    return nullptr;
}

SdlBackend::Native *SdlBackend::FindById(Uint32 windowId) const {
    for (Native *native : windows_) {
        if (native->id == windowId) {
            return native;
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

bool SdlBackend::CreateNativeWindow(HWND window, const char *title, int x, int y, int width,
                                    int height) {
    if (!VideoReady() || width <= 0 || height <= 0) {
        return false;
    }
    int desktopWidth = 0;
    int desktopHeight = 0;
    DesktopSize(&desktopWidth, &desktopHeight);
    // The first window (the main one, the largest) sets the scale for all,
    // so that every window of the program shows its pixels at one size.
    int scale = windows_.empty() ? ChooseScale(desktopWidth, desktopHeight, width, height)
                                 : windows_.front()->scale;
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

    SDL_Window *sdl = SDL_CreateWindow(title != nullptr ? title : "", left, top, scaledWidth,
                                       scaledHeight, SDL_WINDOW_HIDDEN);
    if (sdl == nullptr) {
        std::fprintf(stderr, "zorvak: cannot open a window: %s\n", SDL_GetError());
        return false;
    }
    Native *native = new Native;
    native->window = window;
    native->sdl = sdl;
    native->id = SDL_GetWindowID(sdl);
    native->xid = X11WindowOf(sdl);
    WatchX11Window(native->xid);
    native->width = width;
    native->height = height;
    native->scale = scale;
    windows_.push_back(native);
    if (!defaultIcon_.empty()) {
        SetIcon(*native, defaultIcon_.data(), defaultIconWidth_, defaultIconHeight_, true);
    }
    return true;
}

void SdlBackend::DestroyNativeWindow(HWND window) {
    Native *native = Find(window);
    if (native == nullptr) {
        return;
    }
    windows_.erase(std::find(windows_.begin(), windows_.end(), native));
    SDL_DestroyWindow(native->sdl);
    delete native;
}

void SdlBackend::ShowNativeWindow(HWND window, bool shown) {
    Native *native = Find(window);
    if (native == nullptr || native->shown == shown) {
        return;
    }
    native->shown = shown;
    if (shown) {
        SDL_ShowWindow(native->sdl);
    } else {
        SDL_HideWindow(native->sdl);
    }
}

void SdlBackend::FocusNativeWindow(HWND window) {
    // The core moves the focus before the window that has it goes away, so
    // the keyboard is still with one of the program's windows, if it was:
    // it is never taken from another program.
    Native *native = Find(window);
    if (native == nullptr || !native->shown || native->minimized ||
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
        SDL_SetWindowTitle(native->sdl, title != nullptr ? title : "");
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

// Copies a box of the image into the window surface, each pixel as a
// scale x scale block.
static void BlitScaled(SDL_Surface *target, const zplat::Frame &frame, const SDL_Rect &box,
                       int scale) {
    const Uint32 format = target->format->format;
    if (format != SDL_PIXELFORMAT_RGB888 && format != SDL_PIXELFORMAT_ARGB8888) {
        // Any other desktop format: let SDL convert, still nearest-neighbour.
        SDL_Surface *source = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t *>(frame.pixels), frame.width, frame.height, 32, frame.width * 4,
            SDL_PIXELFORMAT_RGB888);
        if (source != nullptr) {
            SDL_Rect to = {box.x * scale, box.y * scale, box.w * scale, box.h * scale};
            SDL_BlitScaled(source, &box, target, &to);
            SDL_FreeSurface(source);
        }
        return;
    }
    const int left = box.x * scale;
    const int right = std::min((box.x + box.w) * scale, target->w);
    const int bottom = std::min((box.y + box.h) * scale, target->h);
    if (right <= left || (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)) {
        return;
    }
    Uint8 *base = static_cast<Uint8 *>(target->pixels);
    for (int y = box.y * scale; y < bottom; y += scale) {
        const uint32_t *source = frame.pixels + (size_t)(y / scale) * frame.width;
        Uint32 *row = reinterpret_cast<Uint32 *>(base + (size_t)y * target->pitch);
        for (int x = left; x < right; ++x) {
            row[x] = 0xFF000000u | source[x / scale];
        }
        for (int repeat = 1; repeat < scale && y + repeat < bottom; ++repeat) {
            std::memcpy(base + (size_t)(y + repeat) * target->pitch + (size_t)left * 4, row + left,
                        (size_t)(right - left) * 4);
        }
    }
    if (SDL_MUSTLOCK(target)) {
        SDL_UnlockSurface(target);
    }
}

void SdlBackend::Present(HWND window, const zplat::Frame &frame) {
    Native *native = Find(window);
    if (native == nullptr || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) {
        return;
    }
    if (frame.width != native->width || frame.height != native->height) {
        native->width = frame.width;
        native->height = frame.height;
        SDL_SetWindowSize(native->sdl, frame.width * native->scale, frame.height * native->scale);
        native->shownImage.clear();
    }
    SDL_Surface *surface = SDL_GetWindowSurface(native->sdl);
    if (surface != nullptr) {
        // Only what changed goes to the display: a game tick moves a few
        // sprites, not the whole picture.  What changed is looked for where
        // the core drew, and only that is kept as the image shown.
        const size_t count = (size_t)frame.width * frame.height;
        zplat::Area boxes[zplat::kMaxChangedAreas];
        int boxCount = 1;
        boxes[0] = zplat::Area{0, 0, frame.width, frame.height};
        const bool known = surface == native->shownSurface && native->shownImage.size() == count;
        if (known) {
            boxCount = zplat::ChangedAreas(native->shownImage.data(), frame, boxes,
                                           zplat::kMaxChangedAreas);
        }
        if (boxCount > 0) {
            SDL_Rect scaled[zplat::kMaxChangedAreas];
            for (int i = 0; i < boxCount; ++i) {
                const SDL_Rect box = {boxes[i].x, boxes[i].y, boxes[i].width, boxes[i].height};
                BlitScaled(surface, frame, box, native->scale);
                scaled[i] = SDL_Rect{box.x * native->scale, box.y * native->scale,
                                     box.w * native->scale, box.h * native->scale};
                for (int y = box.y; known && y < box.y + box.h; ++y) {
                    const size_t at = (size_t)y * frame.width + box.x;
                    std::memcpy(native->shownImage.data() + at, frame.pixels + at,
                                (size_t)box.w * 4);
                }
            }
            SDL_UpdateWindowSurfaceRects(native->sdl, scaled, boxCount);
            if (!known) {
                native->shownImage.assign(frame.pixels, frame.pixels + count);
            }
        }
        native->shownSurface = surface;
        native->presented = true;
    }

    if (frame.minimized) {
        // What the program draws at its client origin while minimised is
        // its icon on the desktop's taskbar.
        const int size = 32;
        std::vector<uint32_t> &picture = native->iconPicture;
        picture.assign((size_t)size * size, 0xFF000000u);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const int fx = frame.clientX + x;
                const int fy = frame.clientY + y;
                if (fx >= 0 && fy >= 0 && fx < frame.width && fy < frame.height) {
                    picture[(size_t)y * size + x] =
                        0xFF000000u | (frame.pixels[(size_t)fy * frame.width + fx] & 0x00FFFFFFu);
                }
            }
        }
        if (!native->customIcon || picture != native->icon) {
            SetIcon(*native, picture.data(), size, size, false);
        }
    } else if (native->customIcon) {
        if (defaultIcon_.empty()) {
            SDL_SetWindowIcon(native->sdl, nullptr);
            native->icon.clear();
            native->iconWidth = native->iconHeight = 0;
            native->customIcon = false;
        } else {
            SetIcon(*native, defaultIcon_.data(), defaultIconWidth_, defaultIconHeight_, true);
        }
    }
}

void SdlBackend::SetIcon(Native &native, const uint32_t *argb, int width, int height,
                         bool isDefault) {
    native.icon.assign(argb, argb + (size_t)width * height);
    native.iconWidth = width;
    native.iconHeight = height;
    native.customIcon = !isDefault;
    SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormatFrom(native.icon.data(), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface != nullptr) {
        SDL_SetWindowIcon(native.sdl, surface);
        SDL_FreeSurface(surface);
    }
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

bool SdlBackend::Translate(const SDL_Event &event) {
    zplat::InputEvent input = {};
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        Native *native = FindById(event.key.windowID);
        if (native == nullptr && !windows_.empty()) {
            native = windows_.front();
        }
        const int vk = VirtualKeyFor(event.key.keysym.sym, event.key.keysym.scancode);
        if (native == nullptr || vk == 0) {
            return false;
        }
        if (event.type == SDL_KEYUP && ReleaseBeforeFocusLoss(native->id)) {
            return false;
        }
        input.type =
            event.type == SDL_KEYDOWN ? zplat::InputEvent::KeyDown : zplat::InputEvent::KeyUp;
        input.window = native->window;
        input.vk = vk;
        input.alt = (event.key.keysym.mod & KMOD_ALT) != 0;
        input.repeat = event.key.repeat != 0;
        zplat::PushInput(input);
        return true;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        Native *native = FindById(event.button.windowID);
        if (native == nullptr || event.button.button != SDL_BUTTON_LEFT) {
            return false;
        }
        if (event.type == SDL_MOUSEBUTTONDOWN &&
            (SDL_GetWindowFlags(native->sdl) & SDL_WINDOW_INPUT_FOCUS) == 0) {
            // A click gives a window the keyboard, also on a desktop with no
            // window manager to do it.
            SDL_SetWindowInputFocus(native->sdl);
        }
        input.type = event.type == SDL_MOUSEBUTTONDOWN ? zplat::InputEvent::Click
                                                       : zplat::InputEvent::Release;
        input.window = native->window;
        input.x = std::clamp(event.button.x / native->scale, 0, native->width - 1);
        input.y = std::clamp(event.button.y / native->scale, 0, native->height - 1);
        zplat::PushInput(input);
        return true;
    }
    case SDL_SYSWMEVENT:
        NoteSystemEvent(event);
        return false;
    case SDL_MOUSEMOTION: {
        // Only drags matter (the menus follow the pointer while the button
        // is held).
        Native *native = FindById(event.motion.windowID);
        if (native == nullptr || (event.motion.state & SDL_BUTTON_LMASK) == 0) {
            return false;
        }
        input.type = zplat::InputEvent::Drag;
        input.window = native->window;
        input.x = std::clamp(event.motion.x / native->scale, 0, native->width - 1);
        input.y = std::clamp(event.motion.y / native->scale, 0, native->height - 1);
        zplat::PushInput(input);
        return true;
    }
    case SDL_WINDOWEVENT: {
        Native *native = FindById(event.window.windowID);
        if (native == nullptr) {
            return false;
        }
        input.window = native->window;
        switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
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
            // The surface still holds the last image: show it again.
            if (native->presented) {
                SDL_UpdateWindowSurface(native->sdl);
            }
            return false;
        default:
            return false;
        }
    }
    default:
        return false;
    }
}

bool SdlBackend::DrainEvents(bool pump) {
    // One pump reads the display's connection; SDL_PollEvent would read it
    // again for every event taken, and the loop runs twenty times a second.
    if (pump) {
        SDL_PumpEvents();
    }
    bool pushed = false;
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        pushed = Translate(event) || pushed;
    }
    // A window that another client destroyed is closed, as by its close
    // button; the program then destroys it as it would any other.
    for (Native *native : windows_) {
        if (TakeX11WindowLost(native->xid)) {
            zplat::InputEvent input = {};
            input.type = zplat::InputEvent::Close;
            input.window = native->window;
            zplat::PushInput(input);
            pushed = true;
        }
    }
    return pushed;
}

void SdlBackend::Poll() {
    // Right after a wait that ended on time, the display has just been read:
    // reading it again (each read is a dozen calls into the X connection)
    // would only double the cost of an idle tick.
    DrainEvents(NowMs() - lastPumpMs_ >= kFreshPumpMs);
}

void SdlBackend::Wait(uint64_t deadlineMs) {
    IdleAudio();
    // What is queued already; SDL_WaitEventTimeout reads the display itself.
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
            timeout = (int)std::min<uint64_t>(deadlineMs - now, INT_MAX);
        }
        SDL_Event event;
        const int got = SDL_WaitEventTimeout(&event, timeout);
        lastPumpMs_ = NowMs();
        if (got) {
            bool pushed = Translate(event);
            pushed = DrainEvents(false) || pushed;
            if (pushed) {
                return;
            }
        }
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
