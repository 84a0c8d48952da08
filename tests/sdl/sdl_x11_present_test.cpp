// The SDL2 backend on a real X server (run under Xvfb by on_xvfb.sh): what
// the X window holds, read back from the server, is the image scaled up
// after every frame, put from memory shared with the server and never
// waited for.
#include "platform/sdl/sdl_backend.h"
#include "tests/sdl/sdl_fixture.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace sdltest {
namespace {

class SdlOnX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) {
            GTEST_SKIP() << "no X display";
        }
        setenv("SDL_VIDEODRIVER", "x11", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        backend = std::make_unique<zsdl::SdlBackend>(GameModule());
        zplat::SetBackend(backend.get());
        reader = XOpenDisplay(nullptr);
        ASSERT_NE(reader, nullptr);
    }
    void TearDown() override {
        if (reader != nullptr) {
            XCloseDisplay(reader);
        }
        if (backend != nullptr) {
            zplat::ShutdownPlatform();
            zplat::SetBackend(nullptr);
            backend.reset();
        }
    }

    // What the server holds for the window's top-left width x height
    // pixels, as 0x00RRGGBB, once every request SDL's connection has sent
    // is done.
    headless::Image OnServer(SDL_Window *sdl, int width, int height) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        headless::Image shown;
        if (!SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_X11) {
            ADD_FAILURE() << "not on X";
            return shown;
        }
        XSync(info.info.x11.display, False);
        XImage *image = XGetImage(reader, info.info.x11.window, 0, 0, unsigned(width),
                                  unsigned(height), AllPlanes, ZPixmap);
        if (image == nullptr) {
            ADD_FAILURE() << "the window cannot be read";
            return shown;
        }
        shown.width = width;
        shown.height = height;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                shown.pixels.push_back(uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF);
            }
        }
        XDestroyImage(image);
        return shown;
    }

    // Until the server shows the window (no window manager: at once, but
    // the map is a request like any other).
    bool Viewable(SDL_Window *sdl) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(sdl, &info)) {
            return false;
        }
        for (int tries = 0; tries < 200; ++tries) {
            XSync(info.info.x11.display, False);
            XWindowAttributes attributes;
            if (XGetWindowAttributes(reader, info.info.x11.window, &attributes) != 0 &&
                attributes.map_state == IsViewable) {
                return true;
            }
            SDL_Delay(10);
        }
        return false;
    }

    std::unique_ptr<zsdl::SdlBackend> backend;
    Display *reader = nullptr;
};

// A game's frames: a few small changes anywhere, now and then very many,
// sometimes none, with the core's hint of where it drew and without; and
// between them a whole redraw (an exposure).
TEST_F(SdlOnX11Test, EveryFrameIsOnTheServerWhicheverWayItWent) {
    HWND window = reinterpret_cast<HWND>(uintptr_t(0xF00D));
    const int width = 300, height = 200;
    ASSERT_TRUE(backend->CreateNativeWindow(window, "on X", 0, 0, width, height));
    backend->ShowNativeWindow(window, true);
    SDL_Window *sdl = backend->NativeWindow(window);
    ASSERT_TRUE(Viewable(sdl));
    const int scale = backend->Scale(window);
    ASSERT_GE(scale, 2) << "300 x 200 is scaled up on a 1920 x 1080 screen";
    std::vector<uint32_t> image(size_t(width) * height, 0x202020);
    uint32_t seed = 7;
    auto next = [&seed](uint32_t n) {
        return ((seed = seed * 1103515245u + 12345u) >> 16 & 0x7FFF) % n;
    };
    const long putBefore = zsdl::SdlBackend::PutsOnX11();
    int changed = 0; // frames after the first that changed something
    for (int frame = 0; frame < 30; ++frame) {
        if (frame == 15) {
            SDL_Event exposed = {};
            exposed.window = {
                SDL_WINDOWEVENT, 0, SDL_GetWindowID(sdl), SDL_WINDOWEVENT_EXPOSED, 0, 0, 0, 0, 0};
            ASSERT_EQ(SDL_PushEvent(&exposed), 1);
            backend->Poll();
        }
        int left = width, top = height, right = 0, bottom = 0;
        const int changes = frame % 10 == 9 ? 400 : int(next(6));
        changed += frame > 0 && changes > 0;
        for (int c = 0; c < changes; ++c) {
            const int x = int(next(width - 5)), y = int(next(height - 5));
            for (int dy = 0; dy < 5; ++dy) {
                for (int dx = 0; dx < 5; ++dx) {
                    image[size_t(y + dy) * width + size_t(x + dx)] = 1 + next(0xFFFFFE);
                }
            }
            left = std::min(left, x), top = std::min(top, y);
            right = std::max(right, x + 5), bottom = std::max(bottom, y + 5);
        }
        zplat::Frame f{image.data(), width, height, 0, 0, false};
        if (frame % 3 != 0 && changes > 0) {
            f.changedX = left, f.changedY = top;
            f.changedWidth = right - left, f.changedHeight = bottom - top;
        }
        backend->Present(window, f);
        ASSERT_EQ(NotScaledUp(OnServer(sdl, width * scale, height * scale), image, width, scale), 0)
            << "frame " << frame;
    }
    // Every frame that changed anything, the first (the whole image) and the
    // redraw were put by the backend, or the check above saw only SDL's way.
    EXPECT_EQ(zsdl::SdlBackend::PutsOnX11() - putBefore, 1 + changed + 1);
    backend->DestroyNativeWindow(window);
}

} // namespace
} // namespace sdltest
