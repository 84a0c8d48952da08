// A small X11 client for the desktop smoke test: finds a window by title,
// reads its size and title, takes screenshots and asks it to close the way
// a window manager's close button does (WM_DELETE_WINDOW).
//
//   xhelper find TITLE TIMEOUT_MS          prints the window id
//   xhelper size WINDOW                    prints "WIDTH HEIGHT"
//   xhelper title WINDOW                   prints the title
//   xhelper wait-title WINDOW TEXT TIMEOUT_MS
//   xhelper shot WINDOW FILE.png [SCALE]   writes a PNG; with SCALE, fails
//                                          unless every SCALE x SCALE block
//                                          is one colour; prints a summary
//   xhelper centroid WINDOW X0 Y0 X1 Y1   prints "X Y COUNT": where the
//                                          non-black pixels of the box are
//   xhelper gone WINDOW TIMEOUT_MS         waits until the window is destroyed
//   xhelper close WINDOW
//
// Exit code 0 on success, 1 on failure (with a message on stderr).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <png.h>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

Display *display = nullptr;

// Asking about a window that has just gone is expected here, not fatal.
int IgnoreErrors(Display *, XErrorEvent *) {
    return 0;
}

std::string TitleOf(Window window) {
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && type == utf8) {
        title.assign(reinterpret_cast<char *>(data), count);
    } else {
        char *name = nullptr;
        if (XFetchName(display, window, &name) && name != nullptr) {
            title = name;
            XFree(name);
        }
    }
    if (data != nullptr) {
        XFree(data);
    }
    return title;
}

Window FindByTitle(Window under, const std::string &title) {
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, under, &root, &parent, &children, &count)) {
        return 0;
    }
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && TitleOf(children[i]) == title) {
            found = children[i];
        } else {
            found = FindByTitle(children[i], title);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

void Pause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

long long Millis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int Fail(const std::string &message) {
    std::fprintf(stderr, "xhelper: %s\n", message.c_str());
    return 1;
}

bool WritePng(const std::string &path, int width, int height, const std::vector<uint8_t> &rgb) {
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            png_write_row(png, rgb.data() + (size_t)y * width * 3);
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}

int Shot(Window window, const std::string &path, int scale) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return Fail("no such window");
    }
    const int width = attributes.width;
    const int height = attributes.height;
    XImage *image = XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return Fail("cannot read the window's pixels");
    }
    std::vector<uint32_t> pixels((size_t)width * height);
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    std::set<uint32_t> colours;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const uint32_t r = (p & image->red_mask) * 255 / image->red_mask;
            const uint32_t g = (p & image->green_mask) * 255 / image->green_mask;
            const uint32_t b = (p & image->blue_mask) * 255 / image->blue_mask;
            const size_t i = (size_t)y * width + x;
            pixels[i] = (r << 16) | (g << 8) | b;
            rgb[i * 3] = (uint8_t)r;
            rgb[i * 3 + 1] = (uint8_t)g;
            rgb[i * 3 + 2] = (uint8_t)b;
            colours.insert(pixels[i]);
        }
    }
    XDestroyImage(image);
    if (!WritePng(path, width, height, rgb)) {
        return Fail("cannot write " + path);
    }
    std::printf("%dx%d colours=%zu\n", width, height, colours.size());
    if (scale > 1) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint32_t corner = pixels[(size_t)(y - y % scale) * width + (x - x % scale)];
                if (pixels[(size_t)y * width + x] != corner) {
                    char where[96];
                    std::snprintf(where, sizeof where,
                                  "pixel (%d, %d) differs from its %dx%d block", x, y, scale,
                                  scale);
                    return Fail(where);
                }
            }
        }
    }
    return 0;
}

int Centroid(Window window, int x0, int y0, int x1, int y1) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || x0 < 0 || y0 < 0 ||
        x1 > attributes.width || y1 > attributes.height || x1 <= x0 || y1 <= y0) {
        return Fail("bad window or box");
    }
    XImage *image = XGetImage(display, window, x0, y0, x1 - x0, y1 - y0, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return Fail("cannot read the window's pixels");
    }
    double sumX = 0;
    double sumY = 0;
    long count = 0;
    for (int y = 0; y < y1 - y0; ++y) {
        for (int x = 0; x < x1 - x0; ++x) {
            if ((XGetPixel(image, x, y) &
                 (image->red_mask | image->green_mask | image->blue_mask)) != 0) {
                sumX += x0 + x;
                sumY += y0 + y;
                ++count;
            }
        }
    }
    XDestroyImage(image);
    std::printf("%.0f %.0f %ld\n", count ? sumX / count : -1.0, count ? sumY / count : -1.0, count);
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
    if (argc < 3) {
        return Fail("usage: xhelper find|size|title|wait-title|shot|close ...");
    }
    display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return Fail("cannot open the display");
    }
    XSetErrorHandler(IgnoreErrors);
    const std::string command = argv[1];
    int result = 1;
    if (command == "find" && argc == 4) {
        const long long until = Millis() + std::atoll(argv[3]);
        Window found = 0;
        while ((found = FindByTitle(DefaultRootWindow(display), argv[2])) == 0 &&
               Millis() < until) {
            Pause();
        }
        if (found != 0) {
            std::printf("%lu\n", (unsigned long)found);
            result = 0;
        } else {
            result = Fail(std::string("no window titled \"") + argv[2] + "\"");
        }
    } else {
        const Window window = (Window)std::strtoul(argv[2], nullptr, 0);
        XWindowAttributes attributes;
        if (command == "size" && argc == 3 && XGetWindowAttributes(display, window, &attributes)) {
            std::printf("%d %d\n", attributes.width, attributes.height);
            result = 0;
        } else if (command == "title" && argc == 3) {
            std::printf("%s\n", TitleOf(window).c_str());
            result = 0;
        } else if (command == "wait-title" && argc == 5) {
            const long long until = Millis() + std::atoll(argv[4]);
            std::string title;
            while ((title = TitleOf(window)) != argv[3] && Millis() < until) {
                Pause();
            }
            result = title == argv[3] ? 0 : Fail("title is \"" + title + "\"");
        } else if (command == "shot" && (argc == 4 || argc == 5)) {
            result = Shot(window, argv[3], argc == 5 ? std::atoi(argv[4]) : 1);
        } else if (command == "centroid" && argc == 7) {
            result = Centroid(window, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                              std::atoi(argv[6]));
        } else if (command == "gone" && argc == 4) {
            const long long until = Millis() + std::atoll(argv[3]);
            bool exists = true;
            while ((exists = XGetWindowAttributes(display, window, &attributes) != 0) &&
                   Millis() < until) {
                Pause();
            }
            result = exists ? Fail("the window is still there") : 0;
        } else if (command == "close" && argc == 3) {
            result = Close(window);
        } else {
            result = Fail("bad command or window: " + command);
        }
    }
    XCloseDisplay(display);
    return result;
}
