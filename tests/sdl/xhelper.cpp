// A small X11 client for the desktop smoke test: screenshots, where the lit
// pixels of a box are, and the close request a window manager's close button
// sends (WM_DELETE_WINDOW).
//
//   xhelper shot WINDOW FILE.png SCALE     writes a PNG; fails unless every
//                                          SCALE x SCALE block is one colour
//   xhelper centroid WINDOW X0 Y0 X1 Y1    prints "X COUNT": the mean column
//                                          of the box's non-black pixels
//   xhelper close WINDOW
//
// Exit code 0 on success, 1 on failure (with a message on stderr).
#include "platform/headless.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

Display *display = nullptr;

int Fail(const std::string &message) {
    std::fprintf(stderr, "xhelper: %s\n", message.c_str());
    return 1;
}

// The w x h box at (x, y) of the window as 0x00RRGGBB pixels; no pixels
// when it cannot be read.
headless::Image Grab(Window window, int x, int y, int w, int h) {
    headless::Image out{w, h, {}};
    XImage *image =
        w > 0 && h > 0 ? XGetImage(display, window, x, y, w, h, AllPlanes, ZPixmap) : nullptr;
    for (int py = 0; image != nullptr && py < h; ++py) {
        for (int px = 0; px < w; ++px) {
            const unsigned long p = XGetPixel(image, px, py);
            auto channel = [p](unsigned long mask) { return uint32_t((p & mask) * 255 / mask); };
            out.pixels.push_back(channel(image->red_mask) << 16 | channel(image->green_mask) << 8 |
                                 channel(image->blue_mask));
        }
    }
    if (image != nullptr) {
        XDestroyImage(image);
    }
    return out;
}

int Shot(Window window, const std::string &path, int scale) {
    XWindowAttributes attributes = {};
    XGetWindowAttributes(display, window, &attributes);
    const headless::Image shot = Grab(window, 0, 0, attributes.width, attributes.height);
    if (shot.pixels.empty() || !headless::SavePng(shot, path)) {
        return Fail("cannot read the window or write " + path);
    }
    std::printf("%dx%d\n", shot.width, shot.height);
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            if (shot.At(x, y) != shot.At(x - x % scale, y - y % scale)) {
                return Fail("pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                            ") differs from its block");
            }
        }
    }
    return 0;
}

int Centroid(Window window, int x0, int y0, int x1, int y1) {
    const headless::Image box = Grab(window, x0, y0, x1 - x0, y1 - y0);
    if (box.pixels.empty()) {
        return Fail("bad window or box");
    }
    double sumX = 0;
    long count = 0;
    for (int y = 0; y < box.height; ++y) {
        for (int x = 0; x < box.width; ++x) {
            if (box.At(x, y) != 0) {
                sumX += x0 + x;
                ++count;
            }
        }
    }
    std::printf("%.0f %ld\n", count ? sumX / count : -1.0, count);
    return 0;
}

int Close(Window window) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    if (!XSendEvent(display, window, False, NoEventMask, &event)) {
        return Fail("cannot send the close request");
    }
    XSync(display, False);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    display = argc >= 3 ? XOpenDisplay(nullptr) : nullptr;
    if (display == nullptr) {
        return Fail("usage: xhelper shot|centroid|close WINDOW ..., with a display");
    }
    const std::string command = argv[1];
    const Window window = (Window)std::strtoul(argv[2], nullptr, 0);
    int result = 1;
    if (command == "shot" && argc == 5) {
        result = Shot(window, argv[3], std::max(1, std::atoi(argv[4])));
    } else if (command == "centroid" && argc == 7) {
        result = Centroid(window, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                          std::atoi(argv[6]));
    } else if (command == "close" && argc == 3) {
        result = Close(window);
    } else {
        result = Fail("bad command: " + command);
    }
    XCloseDisplay(display);
    return result;
}
