// Waiting on the X connection directly, so that an idle program wakes once
// per timer tick and reads the connection only when the server sent
// something: SDL's own event wait polls and reads it a dozen times a tick.
//
// Private to the SDL backend.  Without Xlib at build time, or on another
// video driver, there is no connection and the backend waits in SDL.
#ifndef ZORVAK_PLATFORM_SDL_X11_CONNECTION_H
#define ZORVAK_PLATFORM_SDL_X11_CONNECTION_H

#include <SDL.h>

namespace zsdl {

// SDL's connection to the X server, the same for all its windows for as
// long as its video runs.
struct X11Connection {
    void *display = nullptr; // Xlib's Display; null when not on X
    int fd = -1;
};
X11Connection X11ConnectionOf(SDL_Window *window);

enum class X11Wait {
    NoConnection, // not on X: wait some other way
    Ready,        // events have arrived (or were already read by Xlib)
    TimedOut,
};

// Waits until the connection has events to read, or timeoutMs (-1: no
// limit) have passed; reads nothing.
X11Wait WaitForX11(const X11Connection &connection, int timeoutMs);

} // namespace zsdl

#endif
