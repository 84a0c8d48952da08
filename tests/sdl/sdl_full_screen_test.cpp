// Full screen: F11 and Alt+Enter switch it, the image and its caption bar
// centred on black at a whole scale, with clicks still mapped.
#include "platform/window_inspection.h"
#include "tests/sdl/sdl_fixture.h"

#include <algorithm>
#include <utility>

namespace sdltest {
namespace {

using support::SeenOf;
using support::WParamsOf;

TEST_F(SdlBackendTest, F11AndAltEnterSwitchFullScreenCentredUnderACaptionBarAndClicksStillMap) {
    HWND window = MakeWindow();
    SDL_Window *sdl = backend->NativeWindow(window);
    const int windowScale = backend->Scale(window);
    SDL_DisplayMode screen;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &screen), 0);
    // The 100 x 100 image and its caption bar, both scaled, on the screen.
    const int s = zplat::FullScreenScale(screen.w, screen.h, 100, 100);
    ASSERT_GE(s, 2);
    const int left = (screen.w - 100 * s) / 2;
    const int captionTop = (screen.h - 119 * s) / 2;
    const int imageTop = captionTop + 19 * s;
    RunLoop(window, [&](HWND w, int tick) {
        switch (tick) {
        case 0:
            PushKey(w, SDLK_F11, SDL_SCANCODE_F11);
            PushKey(w, SDLK_F11, SDL_SCANCODE_F11, KMOD_NONE, 0, true);
            break;
        case 2: {
            EXPECT_TRUE(backend->FullScreen());
            EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
            EXPECT_EQ(backend->PlacementOf(w), (zplat::Placement{s, left, captionTop, 19 * s}));
            std::vector<uint32_t> composed;
            int width = 0;
            int height = 0;
            EXPECT_TRUE(zplat::CopyComposedImage(w, &composed, &width, &height));
            const headless::Image shown = Shown(sdl);
            EXPECT_EQ(std::pair(shown.width, shown.height), std::pair(screen.w, screen.h));
            int wrong = 0;
            int captionInk = 0;
            for (int y = 0; y < shown.height; ++y) {
                for (int x = 0; x < shown.width; ++x) {
                    const uint32_t got = shown.At(x, y);
                    const bool inColumns = x >= left && x < left + 100 * s;
                    uint32_t want = 0; // black around
                    if (inColumns && y >= imageTop && y < imageTop + 100 * s) {
                        want = composed[size_t((y - imageTop) / s) * width + (x - left) / s];
                    } else if (inColumns && y >= captionTop && y < imageTop) {
                        // The caption: the active bar's blue and the title's white.
                        captionInk += got == 0xFFFFFF;
                        want = got == 0xFFFFFF ? got : 0x000080;
                    }
                    wrong += got != want;
                }
            }
            EXPECT_EQ(wrong, 0);
            EXPECT_GT(captionInk, 0) << "the title is written in the caption bar";
            // The caption follows the title.
            const auto caption = [&](const headless::Image &image) {
                std::vector<uint32_t> bar;
                for (int y = captionTop; y < imageTop; ++y) {
                    const auto row = image.pixels.begin() + long(y) * image.width + left;
                    bar.insert(bar.end(), row, row + 100 * s);
                }
                return bar;
            };
            SetWindowTextA(w, "Lives: 05 - Level 01 - Score: 00000");
            EXPECT_NE(caption(Shown(sdl)), caption(shown));
            // A click on "New game", on the black border, on the caption bar
            // and on client pixel (50, 41).
            const int points[][2] = {{left + 24 * s, imageTop + 9 * s},
                                     {left / 2, screen.h / 2},
                                     {left + 50 * s, captionTop + 2},
                                     {left + 50 * s + s - 1, imageTop + 60 * s}};
            for (const auto &p : points) {
                PushButton(w, SDL_BUTTON_LEFT, p[0], p[1]);
                PushButton(w, SDL_BUTTON_LEFT, p[0], p[1], true);
            }
            // The desktop minimises and restores a full-screen window too.
            PushWindowEvent(w, SDL_WINDOWEVENT_MINIMIZED);
            break;
        }
        case 4:
            PushWindowEvent(w, SDL_WINDOWEVENT_RESTORED);
            break;
        case 6:
            EXPECT_EQ(WParamsOf(WM_COMMAND), (std::vector<WPARAM>{1000}));
            EXPECT_EQ(SeenOf(WM_LBUTTONDOWN).size(), 1u);
            if (!SeenOf(WM_LBUTTONDOWN).empty()) {
                EXPECT_EQ(SeenOf(WM_LBUTTONDOWN)[0].lParam, 41 << 16 | 50);
            }
            EXPECT_EQ(WParamsOf(WM_SYSCOMMAND), (std::vector<WPARAM>{SC_MINIMIZE, SC_RESTORE}));
            EXPECT_TRUE(backend->FullScreen());
            // Alt+Enter goes back to the desktop: Alt's release is no Alt
            // tap, so the Enter that follows fires, not a menu item.
            PushKey(w, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT);
            PushKey(w, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT);
            PushKey(w, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT, 0, true);
            PushKey(w, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_NONE, 0, true);
            PushKey(w, SDLK_RETURN, SDL_SCANCODE_RETURN);
            break;
        case 8: {
            EXPECT_FALSE(backend->FullScreen());
            EXPECT_EQ(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
            EXPECT_EQ(backend->PlacementOf(w), (zplat::Placement{windowScale, 0, 0, 0}));
            int width = 0;
            int height = 0;
            SDL_GetWindowSize(sdl, &width, &height);
            EXPECT_EQ(width * 10000 + height, 100 * windowScale * 10001);
            EXPECT_EQ(WParamsOf(WM_KEYDOWN), (std::vector<WPARAM>{VK_RETURN}));
            EXPECT_EQ(WParamsOf(WM_COMMAND), (std::vector<WPARAM>{1000}));
            break;
        }
        default:
            break;
        }
        return tick < 9;
    });
    // Neither F11 nor Enter with Alt ever reached the window (the key downs
    // are checked above).
    const std::vector<WPARAM> ups = WParamsOf(WM_KEYUP);
    EXPECT_EQ(std::count(ups.begin(), ups.end(), WPARAM(0x7A)), 0) << "F11";
    EXPECT_EQ(WParamsOf(WM_SYSKEYDOWN), (std::vector<WPARAM>{VK_MENU}));
    EXPECT_TRUE(WParamsOf(WM_SYSKEYUP).empty());
}

} // namespace
} // namespace sdltest
