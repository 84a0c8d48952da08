#include "platform/sdl/x11_connection.h"

#ifdef ZORVAK_SDL_X11

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <cerrno>
#include <poll.h>

namespace zsdl {

X11Connection X11ConnectionOf(SDL_Window *window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11 || info.info.x11.display == nullptr) {
        return {};
    }
    return X11Connection{info.info.x11.display, ConnectionNumber(info.info.x11.display)};
}

X11Wait WaitForX11(const X11Connection &connection, int timeoutMs) {
    Display *display = static_cast<Display *>(connection.display);
    if (display == nullptr) {
        return X11Wait::NoConnection;
    }
    // Events Xlib has already read (while waiting for a reply) are not on
    // the socket any more; the length of its queue is a field, read without
    // a lock or a call (QLength, where XQLength would be both).  (XFlush
    // would read the socket: SDL and the backend flush their requests as
    // they make them.)
    if (QLength(display) > 0) {
        return X11Wait::Ready;
    }
    pollfd socket = {connection.fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = poll(&socket, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready != 0 ? X11Wait::Ready : X11Wait::TimedOut;
}

} // namespace zsdl

#else

namespace zsdl {
X11Connection X11ConnectionOf(SDL_Window *) {
    return {};
}
X11Wait WaitForX11(const X11Connection &, int) {
    return X11Wait::NoConnection;
}
} // namespace zsdl

#endif
