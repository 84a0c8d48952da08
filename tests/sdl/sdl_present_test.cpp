// The composed image presented at a whole scale with sharp pixels, clicks
// scaled back, and every change of a frame shown however it is scattered.
#include "platform/window_inspection.h"
#include "tests/sdl/sdl_fixture.h"

#include <algorithm>
#include <utility>

namespace sdltest {
namespace {

using support::SeenOf;
using support::WParamsOf;

TEST_F(SdlBackendTest, TheComposedImageIsShownAtAWholeScaleWithSharpPixelsAndClicksScaleBack) {
    HWND window = MakeWindow();
    const int scale = backend->Scale(window);
    ASSERT_GE(scale, 2) << "a 100 x 100 image is scaled up on any desktop SDL offers";
    // The last window pixel of client pixel (10, 20) and the first of (99, 79);
    // the right button is not a click.
    PushButton(window, SDL_BUTTON_LEFT, 10 * scale + scale - 1, (19 + 20) * scale + scale - 1);
    PushButton(window, SDL_BUTTON_RIGHT, 5 * scale, 25 * scale);
    PushButton(window, SDL_BUTTON_LEFT, 99 * scale, (19 + 79) * scale);
    RunLoop(window, [](HWND w, int tick) {
        HDC dc = GetDC(w);
        for (int i = 0; tick == 0 && i < 81; ++i) {
            SetPixel(dc, i, i, RGB(255, 0, 0));      // red diagonal
            SetPixel(dc, 99 - i, i, RGB(0, 0, 255)); // blue diagonal
        }
        ReleaseDC(w, dc);
        return tick < 2;
    });
    std::vector<LPARAM> clicks;
    for (const support::Seen &m : SeenOf(WM_LBUTTONDOWN)) {
        clicks.push_back(m.lParam);
    }
    EXPECT_EQ(clicks, (std::vector<LPARAM>{20 << 16 | 10, 79 << 16 | 99}));

    std::vector<uint32_t> composed;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(zplat::CopyComposedImage(window, &composed, &width, &height));
    ASSERT_EQ(std::pair(width, height), std::pair(100, 100)); // 19-pixel menu bar + 81
    EXPECT_EQ(composed[size_t(19) * width + 0], 0xFF0000u) << "the drawing is in the image";
    EXPECT_EQ(NotScaledUp(Shown(backend->NativeWindow(window)), composed, width, scale), 0);
}

// Only what changed is copied and sent: the window must still show every
// frame exactly, whether the changes lie close together or far apart, with
// the core's hint of where it drew or without one.
TEST_F(SdlBackendTest, ScatteredChangesAreAllShown) {
    HWND window = reinterpret_cast<HWND>(uintptr_t(0xF00D));
    const int width = 300, height = 200;
    ASSERT_TRUE(backend->CreateNativeWindow(window, "scattered", 0, 0, width, height));
    backend->ShowNativeWindow(window, true);
    const int scale = backend->Scale(window);
    std::vector<uint32_t> image(size_t(width) * height, 0x202020);
    uint32_t seed = 1;
    auto next = [&seed](uint32_t n) {
        return ((seed = seed * 1103515245u + 12345u) >> 16 & 0x7FFF) % n;
    };
    for (int frame = 0; frame < 40; ++frame) {
        // A few small changes anywhere, sometimes many, sometimes none.
        int left = width, top = height, right = 0, bottom = 0;
        const int changes = frame % 10 == 9 ? 200 : int(next(6));
        for (int c = 0; c < changes; ++c) {
            const int x = int(next(width - 3)), y = int(next(height - 3));
            for (int dy = 0; dy < 3; ++dy) {
                for (int dx = 0; dx < 3; ++dx) {
                    image[size_t(y + dy) * width + size_t(x + dx)] = next(0xFFFFFF);
                }
            }
            left = std::min(left, x), top = std::min(top, y);
            right = std::max(right, x + 3), bottom = std::max(bottom, y + 3);
        }
        zplat::Frame f{image.data(), width, height, 0, 0, false};
        if (frame % 3 != 0 && changes > 0) { // the hint, when there is one
            f.changedX = left, f.changedY = top;
            f.changedWidth = right - left, f.changedHeight = bottom - top;
        }
        backend->Present(window, f);
        ASSERT_EQ(NotScaledUp(Shown(backend->NativeWindow(window)), image, width, scale), 0)
            << "frame " << frame;
    }
    backend->DestroyNativeWindow(window);
}

} // namespace
} // namespace sdltest
