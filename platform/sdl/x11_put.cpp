#include "platform/sdl/x11_put.h"

#if defined(ZORVAK_SDL_X11) && defined(ZORVAK_SDL_XSHM)

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace zsdl {

namespace {

long putsMade = 0;
bool attachFailed = false;

int CatchAttachError(Display *, XErrorEvent *) {
    attachFailed = true;
    return 0;
}

// Whether the window's visual takes the surface's pixels as they lie in
// memory (32 bits a pixel, red, green and blue in the low three bytes) and
// the server shares memory with us.  One round trip, once per window.
void Learn(X11Put &put, Display *display, unsigned long xid) {
    put.xid = xid;
    if (!XShmQueryExtension(display)) {
        return;
    }
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, ::Window(xid), &attributes) == 0 ||
        attributes.visual == nullptr) {
        return;
    }
    const Visual *visual = attributes.visual;
    if ((attributes.depth != 24 && attributes.depth != 32) || visual->red_mask != 0xFF0000 ||
        visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF) {
        return;
    }
    put.visual = attributes.visual;
    put.depth = attributes.depth;
    put.usable = true;
}

void DropImage(X11Put &put, Display *display) {
    SDL_FreeSurface(put.canvas);
    put.canvas = nullptr;
    XImage *image = static_cast<XImage *>(put.image);
    auto *segment = static_cast<XShmSegmentInfo *>(put.segment.get());
    if (segment != nullptr) {
        if (segment->shmseg != 0 && display != nullptr) {
            XShmDetach(display, segment);
        }
        if (segment->shmaddr != nullptr) {
            shmdt(segment->shmaddr);
        }
    }
    if (image != nullptr) {
        image->data = nullptr; // the shared memory, gone above
        XDestroyImage(image);
    }
    put.image = nullptr;
    put.segment.reset();
}

// A shared image the surface's size, attached to the server; false when the
// server cannot have it (a server on another machine refuses to attach).
bool MakeImage(X11Put &put, Display *display, int width, int height) {
    const std::shared_ptr<XShmSegmentInfo> made = std::make_shared<XShmSegmentInfo>();
    XShmSegmentInfo *segment = made.get();
    put.segment = made;
    XImage *image = XShmCreateImage(display, static_cast<Visual *>(put.visual), unsigned(put.depth),
                                    ZPixmap, nullptr, segment, unsigned(width), unsigned(height));
    put.image = image;
    if (image == nullptr || image->bits_per_pixel != 32) {
        return false;
    }
    segment->shmid =
        shmget(IPC_PRIVATE, size_t(image->bytes_per_line) * size_t(height), IPC_CREAT | 0600);
    if (segment->shmid < 0) {
        return false;
    }
    void *address = shmat(segment->shmid, nullptr, 0);
    // Gone once both sides have detached, however the program ends.
    shmctl(segment->shmid, IPC_RMID, nullptr);
    if (address == reinterpret_cast<void *>(-1)) {
        return false;
    }
    segment->shmaddr = image->data = static_cast<char *>(address);
    segment->readOnly = False;
    // An error here is the answer, not a fault: caught for this request
    // alone (earlier requests' errors go to the handler as always).
    XSync(display, False);
    attachFailed = false;
    int (*previous)(Display *, XErrorEvent *) = XSetErrorHandler(CatchAttachError);
    const Bool attached = XShmAttach(display, segment);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (!attached || attachFailed) {
        segment->shmseg = 0;
        return false;
    }
    return true;
}

} // namespace

SDL_Surface *X11Canvas(X11Put &put, const X11Connection &connection, unsigned long xid,
                       SDL_Window *window, SDL_Surface *windowSurface, bool *fresh) {
    Display *display = static_cast<Display *>(connection.display);
    if (display == nullptr || xid == 0 || windowSurface == nullptr) {
        return nullptr;
    }
    const Uint32 format = windowSurface->format->format;
    if (format != SDL_PIXELFORMAT_RGB888 && format != SDL_PIXELFORMAT_ARGB8888) {
        return nullptr;
    }
    // A surface SDL shows through a renderer is not what the X window holds.
    if (SDL_GetRenderer(window) != nullptr) {
        return nullptr;
    }
    if (put.xid != xid) {
        ForgetX11Put(put, connection);
        Learn(put, display, xid);
    }
    if (!put.usable) {
        return nullptr;
    }
    SDL_Surface *canvas = put.canvas;
    if (canvas == nullptr || canvas->w != windowSurface->w || canvas->h != windowSurface->h ||
        canvas->format->format != format) {
        DropImage(put, display);
        if (!MakeImage(put, display, windowSurface->w, windowSurface->h)) {
            DropImage(put, display);
            put.usable = false;
            return nullptr;
        }
        const XImage *image = static_cast<XImage *>(put.image);
        put.canvas = SDL_CreateRGBSurfaceWithFormatFrom(image->data, image->width, image->height,
                                                        32, image->bytes_per_line, format);
        if (put.canvas == nullptr) {
            DropImage(put, display);
            put.usable = false;
            return nullptr;
        }
        *fresh = true;
    }
    if (put.gc == nullptr) {
        XGCValues values;
        values.graphics_exposures = False;
        put.gc = XCreateGC(display, ::Window(xid), GCGraphicsExposures, &values);
    }
    return put.canvas;
}

void PutOnX11(X11Put &put, const X11Connection &connection, const SDL_Rect *boxes, int count) {
    Display *display = static_cast<Display *>(connection.display);
    XImage *image = static_cast<XImage *>(put.image);
    if (display == nullptr || image == nullptr || put.gc == nullptr || count <= 0) {
        return;
    }
    const SDL_Rect all = {0, 0, image->width, image->height};
    for (int i = 0; i < count; ++i) {
        SDL_Rect b;
        if (SDL_IntersectRect(&boxes[i], &all, &b)) {
            XShmPutImage(display, ::Window(put.xid), static_cast<GC>(put.gc), image, b.x, b.y, b.x,
                         b.y, unsigned(b.w), unsigned(b.h), False);
        }
    }
    XFlush(display);
    ++putsMade;
}

void ForgetX11Put(X11Put &put, const X11Connection &connection) {
    Display *display = static_cast<Display *>(connection.display);
    DropImage(put, display);
    if (put.gc != nullptr && display != nullptr) {
        XFreeGC(display, static_cast<GC>(put.gc));
    }
    put = X11Put{};
}

long X11PutsMade() {
    return putsMade;
}

} // namespace zsdl

#else

namespace zsdl {
SDL_Surface *X11Canvas(X11Put &, const X11Connection &, unsigned long, SDL_Window *, SDL_Surface *,
                       bool *) {
    return nullptr;
}
void PutOnX11(X11Put &, const X11Connection &, const SDL_Rect *, int) {}
void ForgetX11Put(X11Put &put, const X11Connection &) {
    put = X11Put{};
}
long X11PutsMade() {
    return 0;
}
} // namespace zsdl

#endif
