// A window's picture drawn into an image in memory shared with the X
// server, and its changed boxes put on the X window by the backend itself.
//
// SDL's own update puts its window surface through shared memory too, but
// then waits for the server to have read it (XSync): a round trip, and so
// a second wake-up of the program, on every tick of a game.  Here nothing
// is waited for: a box the server reads late can only show a newer
// picture, and every box that changes again is put again, so what the
// window ends up showing is always the image.
//
// Where this cannot put a picture as it is (no shared memory with the
// server, another pixel layout, a surface SDL shows through a renderer,
// another video driver), SDL's window surface and update do it.  Private
// to the SDL backend.
#ifndef ZORVAK_PLATFORM_SDL_X11_PUT_H
#define ZORVAK_PLATFORM_SDL_X11_PUT_H

#include "platform/sdl/x11_connection.h"

#include <SDL.h>
#include <memory>

namespace zsdl {

// What is learnt about one X window, once, and the shared image its
// picture is drawn into and put from.
struct X11Put {
    unsigned long xid = 0;  // the window these are for
    bool usable = false;    // it takes the surface's pixels through shared memory
    void *visual = nullptr; // Xlib's Visual
    int depth = 0;
    void *gc = nullptr;            // Xlib's GC
    void *image = nullptr;         // Xlib's XImage over the shared memory
    std::shared_ptr<void> segment; // its XShmSegmentInfo, which it points at
    SDL_Surface *canvas = nullptr; // the same memory, for drawing into
};

// The surface to draw the window's picture into: a shared image the size
// and format of the window's own surface, or null when the picture is to
// go through that surface and SDL.  *fresh is set when the canvas is new
// (nothing of the picture in it yet).
SDL_Surface *X11Canvas(X11Put &put, const X11Connection &connection, unsigned long xid,
                       SDL_Window *window, SDL_Surface *windowSurface, bool *fresh);

// Puts boxes of the canvas on the X window and sends the requests, waiting
// for nothing.
void PutOnX11(X11Put &put, const X11Connection &connection, const SDL_Rect *boxes, int count);

// Frees what put holds; it is then as new.
void ForgetX11Put(X11Put &put, const X11Connection &connection);

// How many times boxes were put here since the program started.
long X11PutsMade();

} // namespace zsdl

#endif
