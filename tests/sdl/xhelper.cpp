// A small X11 client for the desktop smoke tests (the SDL program, and the
// Windows program under Wine): screenshots, where the lit pixels of a box
// are, the close request a window manager's close button sends
// (WM_DELETE_WINDOW), the frame hints a window gives, and a comparison of a
// screen with the stand-in's own rendering of it.
//
// WINDOW is an X window id; 0 stands for the whole screen.
//
//   xhelper shot WINDOW FILE.png SCALE [X Y W H]
//                                    writes a PNG of the window (or of the
//                                    box); fails unless every SCALE x SCALE
//                                    block is one colour
//   xhelper centroid WINDOW X0 Y0 X1 Y1
//                                    prints "X COUNT LEFT RIGHT": the mean
//                                    column of the box's non-black pixels,
//                                    their count, and the first and last
//                                    columns that hold one (-1 when none)
//   xhelper close WINDOW
//   xhelper hints WINDOW             prints "TYPE FUNCTIONS DECORATIONS":
//                                    the window type's last word and the
//                                    Motif hints, as numbers
//   xhelper unfocus                  leaves the keyboard with no window
//   xhelper above WINDOW OTHER       succeeds when WINDOW is stacked above
//                                    OTHER (both top-level windows)
//   xhelper compare intro|about WINDOW X Y DIR [SCALE]
//                                    the client area whose top-left corner is
//                                    at (X, Y) of the window, shown SCALE
//                                    times its size (default 1), against the
//                                    stand-in's rendering of the same screen
//                                    (the introduction with its frame, but
//                                    not the random ground between the
//                                    corners; the About window's client);
//                                    prints the count of differing pixels (a
//                                    pixel differs when any of its SCALE x
//                                    SCALE block does) and leaves both
//                                    pictures in DIR when any differ; on a
//                                    screen of fewer than 8 bits a channel,
//                                    the stand-in's colours as that screen
//                                    shows them
//
// Exit code 0 on success, 1 on failure (with a message on stderr).
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "resources/game_module.h"
#include "tests/support/resource_files.h"

#include <X11/Xatom.h>
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

// A channel of pixel p (mask: where it is) as 0 to 255, rounded: deep
// colour's 10 bits come back as the 8 they were made from.
uint32_t Channel(unsigned long p, unsigned long mask) {
    return mask == 0 ? 0 : uint32_t(((p & mask) * 255 + mask / 2) / mask);
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
            out.pixels.push_back(Channel(p, image->red_mask) << 16 |
                                 Channel(p, image->green_mask) << 8 | Channel(p, image->blue_mask));
        }
    }
    if (image != nullptr) {
        XDestroyImage(image);
    }
    return out;
}

// The channel masks of the window's visual; all zero when unknown.
struct Masks {
    unsigned long channel[3] = {0, 0, 0}; // red, green, blue
};
Masks VisualMasks(Window window) {
    Masks masks;
    XWindowAttributes attributes = {};
    if (XGetWindowAttributes(display, window, &attributes) && attributes.visual != nullptr) {
        masks.channel[0] = attributes.visual->red_mask;
        masks.channel[1] = attributes.visual->green_mask;
        masks.channel[2] = attributes.visual->blue_mask;
    }
    return masks;
}

// An 0x00RRGGBB colour as a screen with these masks shows it, read back as
// Grab reads it (rounded): a channel of fewer than 8 bits keeps its top bits
// (SDL's conversion truncates), one of more comes back as it was.
uint32_t AsShown(uint32_t rgb, const Masks &masks) {
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i) {
        const int shift = 16 - 8 * i;
        const uint32_t c = (rgb >> shift) & 0xFF;
        const int bits = __builtin_popcountl(masks.channel[i]);
        const uint32_t top = (1u << std::min(bits, 8)) - 1;
        const uint32_t kept =
            bits >= 8 || bits == 0 ? c : ((c >> (8 - bits)) * 255 + top / 2) / top;
        out |= kept << shift;
    }
    return out;
}

int Shot(Window window, const std::string &path, int scale, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) {
        XWindowAttributes attributes = {};
        XGetWindowAttributes(display, window, &attributes);
        w = attributes.width;
        h = attributes.height;
    }
    const headless::Image shot = Grab(window, x, y, w, h);
    if (shot.pixels.empty() || !support::SavePng(shot, path)) {
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
    int left = -1;
    int right = -1;
    for (int y = 0; y < box.height; ++y) {
        for (int x = 0; x < box.width; ++x) {
            if (box.At(x, y) != 0) {
                sumX += x0 + x;
                ++count;
                left = left < 0 ? x0 + x : std::min(left, x0 + x);
                right = std::max(right, x0 + x);
            }
        }
    }
    std::printf("%.0f %ld %d %d\n", count ? sumX / count : -1.0, count, left, right);
    return 0;
}

int Close(Window window) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    if (!XSendEvent(display, window, False, NoEventMask, &event)) {
        return Fail("cannot send the close request");
    }
    XSync(display, False);
    return 0;
}

// Whether window is above other in the root window's stacking order.
int StackedAbove(Window window, Window other) {
    Window root = None;
    Window parent = None;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        return Fail("cannot read the stacking order");
    }
    int windowAt = -1;
    int otherAt = -1;
    for (unsigned int i = 0; i < count; ++i) { // bottom first
        windowAt = children[i] == window ? int(i) : windowAt;
        otherAt = children[i] == other ? int(i) : otherAt;
    }
    if (children != nullptr) {
        XFree(children);
    }
    if (windowAt < 0 || otherAt < 0) {
        return Fail("not both top-level windows");
    }
    std::printf("%s\n", windowAt > otherAt ? "above" : "below");
    return windowAt > otherAt ? 0 : 1;
}

int Hints(Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    std::string kind = "none";
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), 0,
                           1, False, XA_ATOM, &type, &format, &count, &after, &data) == Success &&
        data != nullptr && count == 1) {
        char *name = XGetAtomName(display, *reinterpret_cast<Atom *>(data));
        kind = name;
        kind = kind.substr(kind.rfind('_') + 1);
        XFree(name);
    }
    if (data != nullptr) {
        XFree(data);
        data = nullptr;
    }
    const Atom motif = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    long functions = -1;
    long decorations = -1;
    if (XGetWindowProperty(display, window, motif, 0, 5, False, motif, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && count >= 3) {
        const long *hints = reinterpret_cast<const long *>(data);
        functions = hints[1];
        decorations = hints[2];
    }
    if (data != nullptr) {
        XFree(data);
    }
    std::printf("%s %ld %ld\n", kind.c_str(), functions, decorations);
    return 0;
}

// The stand-in's own picture of a screen: the real program on the headless
// backend, read once the screen stands.
headless::Image StandInScreen(bool about) {
    const uint64_t start = 100000;
    headless::Reset(start);
    headless::Image shot;
    headless::At(start + 10, [&] {
        HWND main = headless::FindWindowByClass("CL_ZORVAK");
        if (!about) {
            shot = headless::ClientImage(main);
            headless::AltLetter(main, 'Q');
            return;
        }
        headless::AltLetter(main, 'A');
        headless::At(start + 20, [&shot, main] {
            shot = headless::ClientImage(headless::FindWindowByClass("CL_ABOUT_ZORVAK"));
            headless::AltLetter(main, 'Q');
        });
    });
    WinMain(GameModule(), nullptr, const_cast<LPSTR>(""), SW_SHOWDEFAULT);
    zplat::ShutdownPlatform();
    return shot;
}

// Whether the scale x scale block of `got` that shows pixel (px, py) is that
// pixel's colour throughout.
bool BlockIs(const headless::Image &got, int scale, int px, int py, uint32_t colour) {
    for (int sy = 0; sy < scale; ++sy) {
        for (int sx = 0; sx < scale; ++sx) {
            if (got.At(px * scale + sx, py * scale + sy) != colour) {
                return false;
            }
        }
    }
    return true;
}

int Compare(const std::string &screen, Window window, int x, int y, const std::string &dir,
            int scale) {
    const bool about = screen == "about";
    const headless::Image want = StandInScreen(about);
    if (want.pixels.empty()) {
        return Fail("the stand-in drew no " + screen + " screen");
    }
    const headless::Image got = Grab(window, x, y, want.width * scale, want.height * scale);
    if (got.pixels.empty()) {
        return Fail("cannot read the window");
    }
    const Masks masks = VisualMasks(window);
    // The ground between the two corner tiles is random at every paint.
    auto compared = [&](int px, int py) {
        return about || !(px >= 32 && px < want.width - 32 && py >= want.height - 28);
    };
    long differ = 0;
    long total = 0;
    for (int py = 0; py < want.height; ++py) {
        for (int px = 0; px < want.width; ++px) {
            if (compared(px, py)) {
                ++total;
                differ += !BlockIs(got, scale, px, py, AsShown(want.At(px, py), masks));
            }
        }
    }
    std::printf("%s: %ld of %ld pixels differ\n", screen.c_str(), differ, total);
    if (differ != 0) {
        support::SavePng(want, dir + "/" + screen + "-stand-in.png");
        support::SavePng(got, dir + "/" + screen + "-seen.png");
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    display = argc >= 2 ? XOpenDisplay(nullptr) : nullptr;
    if (display == nullptr) {
        return Fail(
            "usage: xhelper shot|centroid|close|hints|above|unfocus|compare ..., with a display");
    }
    const std::string command = argv[1];
    // Window 0 is the whole screen.
    auto windowArg = [](const char *text) {
        const Window window = Window(std::strtoul(text, nullptr, 0));
        return window != None ? window : DefaultRootWindow(display);
    };
    const Window window = argc >= 3 ? windowArg(argv[2]) : None;
    int result = 1;
    if (command == "shot" && (argc == 5 || argc == 9)) {
        result = Shot(window, argv[3], std::max(1, std::atoi(argv[4])),
                      argc == 9 ? std::atoi(argv[5]) : 0, argc == 9 ? std::atoi(argv[6]) : 0,
                      argc == 9 ? std::atoi(argv[7]) : 0, argc == 9 ? std::atoi(argv[8]) : 0);
    } else if (command == "above" && argc == 4) {
        result = StackedAbove(window, windowArg(argv[3]));
    } else if (command == "hints" && argc == 3) {
        result = Hints(window);
    } else if (command == "unfocus" && argc == 2) {
        XSetInputFocus(display, None, RevertToNone, CurrentTime);
        XSync(display, False);
        result = 0;
    } else if (command == "compare" && (argc == 7 || argc == 8)) {
        result = Compare(argv[2], windowArg(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                         argv[6], argc == 8 ? std::max(1, std::atoi(argv[7])) : 1);
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
