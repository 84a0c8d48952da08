// The SDL2 backend: what the desktop's frame offers for a window, from its
// Windows style.  SDL windows are never resizable here; on X11 the window
// manager is also told which frame buttons and actions the window has
// (Motif hints) and that a window without minimise and maximise boxes is a
// dialog.  Wayland offers no such hints: there the frame is the
// compositor's.  On an X desktop with no window manager at all, nobody but
// the program sizes a window for full screen and back, or keeps the About
// window above the main one.
#include "platform/sdl/sdl_native.h"
#include "platform/sdl/x11_errors.h"

#ifdef ZORVAK_SDL_X11
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

#include <algorithm>

namespace zsdl {

#ifdef ZORVAK_SDL_X11
namespace {

// The Motif window manager hints: what the window may do, what its frame shows.
enum : long {
    kHintsFunctions = 1,
    kHintsDecorations = 2,
    kFuncResize = 2,
    kFuncMove = 4,
    kFuncMinimize = 8,
    kFuncMaximize = 16,
    kFuncClose = 32,
    kDecorBorder = 2,
    kDecorResize = 4,
    kDecorTitle = 8,
    kDecorMenu = 16,
    kDecorMinimize = 32,
    kDecorMaximize = 64,
};

void SetMotifHints(Display *display, ::Window xwindow, DWORD style) {
    long functions = kFuncMove;
    long decorations = kDecorBorder;
    if (style & WS_DLGFRAME) { // a title bar (WS_CAPTION is WS_BORDER | WS_DLGFRAME)
        decorations |= kDecorTitle;
    }
    if (style & WS_SYSMENU) {
        functions |= kFuncClose;
        decorations |= kDecorMenu;
    }
    if (style & WS_MINIMIZEBOX) {
        functions |= kFuncMinimize;
        decorations |= kDecorMinimize;
    }
    if (style & WS_MAXIMIZEBOX) {
        functions |= kFuncMaximize;
        decorations |= kDecorMaximize;
    }
    if (style & WS_THICKFRAME) {
        functions |= kFuncResize;
        decorations |= kDecorResize;
    }
    // flags, functions, decorations, input mode, status
    const long hints[5] = {kHintsFunctions | kHintsDecorations, functions, decorations, 0, 0};
    const Atom atom = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, xwindow, atom, atom, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(hints), 5);
}

// The window manager that says it follows the desktop conventions, if any.
bool WindowManagerRunning(Display *display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) {
        return false;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    const bool found =
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        type == XA_WINDOW && count == 1;
    if (data != nullptr) {
        XFree(data);
    }
    return found;
}

} // namespace
#endif

bool SdlBackend::Unmanaged(const Native &native) const {
#ifdef ZORVAK_SDL_X11
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(native.sdl, &info) && info.subsystem == SDL_SYSWM_X11 &&
           !WindowManagerRunning(info.info.x11.display);
#else
    (void)native;
    return false;
#endif
}

void SdlBackend::SizeWithoutWindowManager(Native &native) {
#ifdef ZORVAK_SDL_X11
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(native.sdl, &info) || info.subsystem != SDL_SYSWM_X11) {
        return;
    }
    SDL_Rect box = {native.windowedX, native.windowedY, native.width * native.scale,
                    native.height * native.scale};
    if (native.fullScreen) {
        SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(native.sdl)), &box);
    }
    XMoveResizeWindow(info.info.x11.display, info.info.x11.window, box.x, box.y, unsigned(box.w),
                      unsigned(box.h));
    XFlush(info.info.x11.display);
#else
    (void)native;
#endif
}

void SdlBackend::RaiseOthers(const Native &main) {
#ifdef ZORVAK_SDL_X11
    for (const std::unique_ptr<Native> &other : windows_) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (other.get() == &main || !other->shown || other->minimized ||
            !SDL_GetWindowWMInfo(other->sdl, &info) || info.subsystem != SDL_SYSWM_X11) {
            continue;
        }
        XRaiseWindow(info.info.x11.display, info.info.x11.window);
        XFlush(info.info.x11.display);
    }
#else
    (void)main;
#endif
}

void SdlBackend::SetNativeStyle(HWND window, DWORD style) {
    Native *native = Find(window);
    if (native == nullptr) {
        return;
    }
    native->style = style;
    native->styled = true;
    SDL_SetWindowResizable(native->sdl, (style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
    ApplyStyle(*native);
}

void SdlBackend::ApplyStyle(const Native &native) {
#ifdef ZORVAK_SDL_X11
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!native.styled || !SDL_GetWindowWMInfo(native.sdl, &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return;
    }
    Display *display = info.info.x11.display;
    const ::Window xwindow = info.info.x11.window;
    SetMotifHints(display, xwindow, native.style);
    // Neither minimise nor maximise: a dialog, like the About window.
    const bool dialog = (native.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0;
    const Atom type = XInternAtom(
        display, dialog ? "_NET_WM_WINDOW_TYPE_DIALOG" : "_NET_WM_WINDOW_TYPE_NORMAL", False);
    XChangeProperty(display, xwindow, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM,
                    32, PropModeReplace, reinterpret_cast<const unsigned char *>(&type), 1);
    // A dialog belongs to the main window: a window manager keeps it above
    // that one, also when the main window is in full screen.
    if (dialog && !windows_.empty() && windows_.front().get() != &native &&
        windows_.front()->xid != 0) {
        XSetTransientForHint(display, xwindow, ::Window(windows_.front()->xid));
    }
    XFlush(display);
#else
    (void)native;
#endif
}

bool SdlBackend::FollowX11Window(Native &native) {
    const unsigned long xid = X11WindowOf(native.sdl);
    if (xid == native.xid) {
        return false;
    }
    // The old window's DestroyNotify and any error about it are SDL's
    // doing: it stays watched (so its errors stay filtered) but is no
    // longer this window's.
    native.xid = xid;
    WatchX11Window(xid);
    // What was set on the old X window by hand is not on the new one.
    ApplyStyle(native);
    return true;
}

} // namespace zsdl
