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

// In full screen a dialog (the About window) is shown in the one picture:
// framed, centred on the main window's client area, under the untouched
// caption bar; its clicks are its own; back on the desktop it is a window
// of its own again.
TEST_F(SdlBackendTest, InFullScreenADialogIsComposedFramedOverThePlayfieldAndTakesItsClicks) {
    HWND window = MakeWindow();
    ASSERT_NE(support::RegisterTestClass("T_DIALOG", GameModule()), 0);
    HWND dialog = nullptr;
    SDL_DisplayMode screen;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &screen), 0);
    const int s = zplat::FullScreenScale(screen.w, screen.h, 100, 100);
    const int left = (screen.w - 100 * s) / 2;
    const int top = (screen.h - 119 * s) / 2; // of the caption bar
    // The picture, unscaled: the caption bar's 19 rows over the 100 x 100
    // image, whose client area is rows 38 to 118 of the picture.  The
    // dialog's 40 x 30 image in a 46 x 55 frame, centred on that: the frame
    // at (27, 51), its caption bar at (30, 54), its image at (30, 73).
    const auto expected = [&] {
        std::vector<uint32_t> picture(100 * 119);
        std::vector<uint32_t> image;
        int width = 0;
        int height = 0;
        EXPECT_TRUE(zplat::CopyComposedImage(window, &image, &width, &height));
        zplat::DrawCaptionBar(picture.data(), 100, 19, "Test window", false);
        std::copy(image.begin(), image.end(), picture.begin() + 19 * 100);
        const auto at = [&](int x, int y) -> uint32_t & { return picture[size_t(y) * 100 + x]; };
        // The frame's rings, outside in: face and black, white and grey, face;
        // the light edges stop short of the top-right and bottom-left corners.
        const uint32_t rings[3][2] = {
            {0xC0C0C0, 0x000000}, {0xFFFFFF, 0x808080}, {0xC0C0C0, 0xC0C0C0}};
        for (int i = 0; i < 3; ++i) {
            const int x0 = 27 + i, y0 = 51 + i, x1 = 72 - i, y1 = 105 - i; // inclusive
            for (int x = x0; x <= x1; ++x) {
                at(x, y0) = x < x1 ? rings[i][0] : rings[i][1];
                at(x, y1) = rings[i][1];
            }
            for (int y = y0; y <= y1; ++y) {
                at(x0, y) = y < y1 ? rings[i][0] : rings[i][1];
                at(x1, y) = rings[i][1];
            }
        }
        std::vector<uint32_t> bar(40 * 19);
        zplat::DrawCaptionBar(bar.data(), 40, 19, "About test", true);
        EXPECT_TRUE(zplat::CopyComposedImage(dialog, &image, &width, &height));
        EXPECT_EQ(width * 1000 + height, 40 * 1000 + 30);
        for (int y = 0; y < 49 && width == 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                at(30 + x, 54 + y) =
                    y < 19 ? bar[size_t(y) * 40 + x] : image[size_t(y - 19) * 40 + x];
            }
        }
        return picture;
    };
    // Surface pixels that are not the picture's, scaled and placed.
    const auto wrongPixels = [&](const std::vector<uint32_t> &picture) {
        const headless::Image shown = Shown(backend->NativeWindow(window));
        int wrong = 0;
        for (int y = top; y < top + 119 * s; ++y) {
            for (int x = left; x < left + 100 * s; ++x) {
                wrong +=
                    shown.At(x, y) != picture[size_t((y - top) / s) * 100 + size_t((x - left) / s)];
            }
        }
        return wrong;
    };
    const auto click = [&](HWND w, int pictureX, int pictureY) {
        PushButton(w, SDL_BUTTON_LEFT, left + pictureX * s + s / 2, top + pictureY * s + s / 2);
        PushButton(w, SDL_BUTTON_LEFT, left + pictureX * s + s / 2, top + pictureY * s + s / 2,
                   true);
    };
    RunLoop(window, [&](HWND w, int tick) {
        switch (tick) {
        case 0:
            PushKey(w, SDLK_F11, SDL_SCANCODE_F11);
            break;
        case 2:
            dialog = support::MakeWindow("T_DIALOG", GameModule(), 46, 55, WS_DLGFRAME);
            SetWindowTextA(dialog, "About test");
            ShowWindow(dialog, SW_SHOW);
            break;
        case 4:
            EXPECT_EQ(SDL_GetWindowFlags(backend->NativeWindow(dialog)) & SDL_WINDOW_SHOWN, 0u)
                << "shown in the picture, not as a window of its own";
            EXPECT_EQ(wrongPixels(expected()), 0);
            // A click on the dialog's image at its pixel (5, 7), one on its
            // caption bar, one on the playfield beside it.
            click(w, 35, 80);
            click(w, 40, 60);
            click(w, 10, 60);
            break;
        case 6: {
            std::vector<std::pair<HWND, LPARAM>> clicks;
            for (const support::Seen &m : support::SeenOf(WM_LBUTTONDOWN)) {
                clicks.emplace_back(m.hwnd, m.lParam);
            }
            // The playfield's point is client pixel (10, 60 - 38).
            EXPECT_EQ(clicks, (std::vector<std::pair<HWND, LPARAM>>{{dialog, 7 << 16 | 5},
                                                                    {w, 22 << 16 | 10}}));
            // Back to the desktop: the dialog is a window again.
            PushKey(w, SDLK_F11, SDL_SCANCODE_F11);
            break;
        }
        case 8:
            EXPECT_NE(SDL_GetWindowFlags(backend->NativeWindow(dialog)) & SDL_WINDOW_SHOWN, 0u);
            break;
        default:
            break;
        }
        return tick < 8;
    });
}

} // namespace
} // namespace sdltest
