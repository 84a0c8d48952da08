// The SDL2 backend under the real platform core, on SDL's offscreen video
// driver (no display needed): input turned into window messages, images
// presented at a whole scale, full screen, the minimised icon, closing,
// game controllers and the beep.  Input is injected as SDL events, exactly
// as the desktop would deliver it; controllers are SDL's virtual ones.
#include "platform/backend.h"
#include "platform/module.h"
#include "platform/platform.h"
#include "platform/resource_decode.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window_inspection.h"
#include "resources/game_module.h"
#include "tests/support/recording_window.h"
#include "tests/support/virtual_pad.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using support::SeenOf;
using support::WParamsOf;

class SdlBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        // No window has the keyboard on the offscreen driver, and SDL drops
        // controller input for a program that does not have it.
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
        support::seen.clear();
        support::hook = nullptr;
        Install();
    }
    void TearDown() override { Uninstall(); }

    void Install() {
        backend = std::make_unique<zsdl::SdlBackend>(GameModule());
        zplat::SetBackend(backend.get());
    }
    void Uninstall() {
        zplat::ShutdownPlatform();
        zplat::SetBackend(nullptr);
        backend.reset();
    }

    // A fixed-frame window like the game's, with the game's menu bar and a
    // 100 x 81 client area (a 3-pixel dialog frame, a 19-pixel caption and a
    // 19-pixel menu bar around it): a 100 x 100 image.
    HWND MakeWindow() {
        EXPECT_NE(support::RegisterTestClass("T_WINDOW", GameModule(), "MENU_1"), 0);
        HWND window = support::MakeWindow("T_WINDOW", GameModule(), 106, 81 + 25 + 19);
        SetWindowTextA(window, "Test window");
        ShowWindow(window, SW_SHOW);
        return window;
    }

    // Runs the real message loop until the tick callback, called at every
    // timer message (every 20 ms), says to stop, or the window is destroyed.
    void RunLoop(HWND window, std::function<bool(HWND, int)> tick) {
        support::hook = [tick, ticks = 0](HWND hwnd, UINT message, WPARAM, LPARAM,
                                          LRESULT *result) mutable {
            *result = 0;
            if ((message == WM_TIMER && !tick(hwnd, ticks++)) || message == WM_DESTROY) {
                PostQuitMessage(0);
            }
            return message == WM_TIMER || message == WM_DESTROY;
        };
        SetTimer(window, 7, 20, NULL);
        support::RunLoop();
    }

    Uint32 SdlId(HWND window) { return SDL_GetWindowID(backend->NativeWindow(window)); }
    static void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }
    void PushKey(HWND window, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod = KMOD_NONE,
                 Uint8 repeat = 0, bool up = false) {
        SDL_Event event = {};
        event.key.type = up ? SDL_KEYUP : SDL_KEYDOWN;
        event.key.windowID = SdlId(window);
        event.key.state = up ? SDL_RELEASED : SDL_PRESSED;
        event.key.repeat = repeat;
        event.key.keysym = {scancode, sym, mod, 0};
        Push(event);
    }
    // Alt pressed and released alone; SDL reports Alt held on the press only.
    void PushAltTap(HWND window) {
        PushKey(window, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT);
        PushKey(window, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_NONE, 0, true);
    }
    void PushWindowEvent(HWND window, Uint8 what) {
        SDL_Event event = {};
        event.window = {SDL_WINDOWEVENT, 0, SdlId(window), what, 0, 0, 0, 0, 0};
        Push(event);
    }
    void PushButton(HWND window, Uint8 button, int x, int y, bool up = false) {
        SDL_Event event = {};
        event.button.type = up ? SDL_MOUSEBUTTONUP : SDL_MOUSEBUTTONDOWN;
        event.button.windowID = SdlId(window);
        event.button.button = button;
        event.button.state = up ? SDL_RELEASED : SDL_PRESSED;
        event.button.clicks = 1;
        event.button.x = x;
        event.button.y = y;
        Push(event);
    }
    void PushDrag(HWND window, int x, int y) {
        SDL_Event event = {};
        event.motion = {SDL_MOUSEMOTION, 0, SdlId(window), 0, SDL_BUTTON_LMASK, x, y, 0, 0};
        Push(event);
    }

    std::unique_ptr<zsdl::SdlBackend> backend;
};

// The window surface as 0x00RRGGBB pixels.
headless::Image Shown(SDL_Window *sdl) {
    headless::Image shown;
    SDL_Surface *surface =
        SDL_ConvertSurfaceFormat(SDL_GetWindowSurface(sdl), SDL_PIXELFORMAT_RGB888, 0);
    if (surface == nullptr) {
        ADD_FAILURE() << SDL_GetError();
        return shown;
    }
    shown.width = surface->w;
    shown.height = surface->h;
    for (int y = 0; y < surface->h; ++y) {
        const Uint32 *row = reinterpret_cast<const Uint32 *>(
            static_cast<const Uint8 *>(surface->pixels) + size_t(y) * surface->pitch);
        for (int x = 0; x < surface->w; ++x) {
            shown.pixels.push_back(row[x] & 0xFFFFFF);
        }
    }
    SDL_FreeSurface(surface);
    return shown;
}

// The shown pixels that are not the image's pixel (x / scale, y / scale); -1
// when the window is not the image's size times scale.
int NotScaledUp(const headless::Image &shown, const std::vector<uint32_t> &image, int width,
                int scale) {
    if (shown.width != width * scale || shown.pixels.size() != image.size() * scale * scale) {
        return -1;
    }
    int wrong = 0;
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            wrong += shown.At(x, y) != image[size_t(y / scale) * width + size_t(x / scale)];
        }
    }
    return wrong;
}

TEST_F(SdlBackendTest, WaitingEndsNoEarlierThanItsDeadlineOrAtInput) {
    HWND window = MakeWindow();
    for (int i = 0; i < 5; ++i) {
        const uint64_t deadline = backend->NowMs() + 7;
        backend->Wait(deadline);
        EXPECT_GE(backend->NowMs(), deadline);
    }
    // With input waiting there is no deadline to wait for.
    PushKey(window, SDLK_a, SDL_SCANCODE_A);
    backend->Wait(zplat::Backend::kNoDeadline);
}

TEST_F(SdlBackendTest, KeysArriveAsVirtualKeysAndAltChoosesMenuItems) {
    HWND window = MakeWindow();
    // Which virtual key each key is, is the web tests' (WebKeys): here, that
    // the keys reach the window, a repeat marked, a modifier alone not passed
    // on, and a Cyrillic ef on the A key going by its place.
    PushKey(window, SDLK_LEFT, SDL_SCANCODE_LEFT);
    PushKey(window, SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_NONE, 1);
    PushKey(window, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT);
    PushKey(window, SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER);
    PushKey(window, 0x0444, SDL_SCANCODE_A);
    // Alt held: system key messages; with a menu item's mnemonic, its command.
    PushKey(window, SDLK_x, SDL_SCANCODE_X, KMOD_LALT);
    PushKey(window, SDLK_n, SDL_SCANCODE_N, KMOD_LALT);
    PushKey(window, SDLK_q, SDL_SCANCODE_Q, KMOD_RALT);
    RunLoop(window, [](HWND, int tick) { return tick < 2; });

    EXPECT_EQ(WParamsOf(WM_KEYDOWN), (std::vector<WPARAM>{VK_LEFT, VK_LEFT, VK_RETURN, 'A'}));
    const std::vector<support::Seen> down = SeenOf(WM_KEYDOWN);
    ASSERT_GE(down.size(), 2u);
    EXPECT_EQ(down[0].lParam & (1 << 30), 0) << "a first press is not a repeat";
    EXPECT_NE(down[1].lParam & (1 << 30), 0) << "auto-repeat sets the previous-state bit";
    EXPECT_EQ(WParamsOf(WM_SYSKEYDOWN), (std::vector<WPARAM>{'X', 'N', 'Q'}));
    EXPECT_NE(SeenOf(WM_SYSKEYDOWN)[0].lParam & (1 << 29), 0) << "Alt sets the context bit";
    EXPECT_EQ(WParamsOf(WM_COMMAND), (std::vector<WPARAM>{1000, 1003}));
}

TEST_F(SdlBackendTest, AltTapAltF4AndMenuBarReleasesWorkAsOnWindows) {
    HWND window = MakeWindow();
    const int scale = backend->Scale(window);
    // "New game", the bar's first item, and a point of the client area.
    const int itemX = 24 * scale;
    const int itemY = 9 * scale;
    std::vector<WPARAM> commands;
    RunLoop(window, [&](HWND w, int tick) {
        switch (tick) {
        case 0:
            // An Alt tap lights "New game"; Right and Enter choose "About".
            PushAltTap(w);
            PushKey(w, SDLK_RIGHT, SDL_SCANCODE_RIGHT);
            PushKey(w, SDLK_RETURN, SDL_SCANCODE_RETURN);
            break;
        case 2:
            commands = WParamsOf(WM_COMMAND);
            EXPECT_EQ(commands, (std::vector<WPARAM>{1001}));
            EXPECT_TRUE(WParamsOf(WM_KEYDOWN).empty()) << "the keys were the menu's";
            // The release SDL makes up when the window loses the keyboard
            // is no Alt tap: Enter is the window's again.
            PushAltTap(w);
            PushWindowEvent(w, SDL_WINDOWEVENT_FOCUS_LOST);
            PushKey(w, SDLK_RETURN, SDL_SCANCODE_RETURN);
            break;
        case 4:
            EXPECT_EQ(WParamsOf(WM_KEYDOWN), (std::vector<WPARAM>{VK_RETURN}));
            // The bar chooses on release, not on press ...
            PushButton(w, SDL_BUTTON_LEFT, itemX, itemY);
            break;
        case 6:
            EXPECT_EQ(WParamsOf(WM_COMMAND), commands);
            // ... and not when the button is let go elsewhere.
            PushDrag(w, 50 * scale, 60 * scale);
            PushButton(w, SDL_BUTTON_LEFT, 50 * scale, 60 * scale, true);
            break;
        case 8:
            EXPECT_EQ(WParamsOf(WM_COMMAND), commands);
            EXPECT_TRUE(SeenOf(WM_LBUTTONUP).empty()) << "the press was the menu's";
            PushButton(w, SDL_BUTTON_LEFT, itemX, itemY);
            PushButton(w, SDL_BUTTON_LEFT, itemX, itemY, true);
            break;
        case 10:
            EXPECT_EQ(WParamsOf(WM_COMMAND), (std::vector<WPARAM>{1001, 1000}));
            // Alt+F4 closes the window without any window manager.
            PushKey(w, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT);
            PushKey(w, SDLK_F4, SDL_SCANCODE_F4, KMOD_LALT);
            break;
        default:
            break;
        }
        return tick < 50; // WM_DESTROY ends the loop before
    });
    EXPECT_EQ(WParamsOf(WM_SYSCOMMAND).back(), WPARAM(SC_CLOSE));
    EXPECT_EQ(SeenOf(WM_DESTROY).size(), 1u);
    EXPECT_EQ(backend->NativeWindow(window), nullptr);
}

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

// The desktop's requests: minimise (the icon shows the client origin),
// restore, and close, which destroys the window and its SDL window.
TEST_F(SdlBackendTest, MinimisedTheIconShowsTheClientOriginRestoredItRepaintsClosedItIsGone) {
    HWND window = MakeWindow();
    const Uint32 id = SdlId(window);
    const zplat::Resource *resource =
        zplat::FindResourceIn(GameModule(), zplat::RES_ICON, "ICON_1");
    zplat::DecodedIcon icon;
    ASSERT_NE(resource, nullptr);
    ASSERT_TRUE(zplat::DecodeIcon(resource->data, resource->size, &icon));
    std::vector<uint32_t> icon1(icon.color.size());
    for (size_t i = 0; i < icon1.size(); ++i) {
        icon1[i] = icon.transparent[i] ? 0u : 0xFF000000u | icon.color[i];
    }
    // The icon shown, 32 x 32, with every see-through pixel as 0.
    auto shownIcon = [&] {
        int width = 0;
        int height = 0;
        std::vector<uint32_t> shown = backend->IconPixels(window, &width, &height);
        EXPECT_EQ(std::pair(width, height), std::pair(32, 32));
        for (uint32_t &p : shown) {
            p = p >> 24 == 0 ? 0u : p;
        }
        return shown;
    };
    EXPECT_EQ(shownIcon(), icon1) << "a new window shows ICON_1";

    std::vector<uint32_t> iconWhileMinimised;
    size_t paintsBeforeRestore = 0;
    RunLoop(window, [&](HWND w, int tick) {
        if (tick == 0) {
            PushWindowEvent(w, SDL_WINDOWEVENT_MINIMIZED);
        } else if (tick == 2) {
            // What a program draws at its client origin while minimised.
            HDC dc = GetDC(w);
            for (int i = 0; i < 32 * 32; ++i) {
                SetPixel(dc, i % 32, i / 32, RGB(i % 32 * 8, i / 32 * 8, 200));
            }
            ReleaseDC(w, dc);
        } else if (tick == 4) {
            iconWhileMinimised = shownIcon();
            paintsBeforeRestore = SeenOf(WM_PAINT).size();
            PushWindowEvent(w, SDL_WINDOWEVENT_RESTORED);
        } else if (tick == 6) {
            EXPECT_GT(SeenOf(WM_PAINT).size(), paintsBeforeRestore)
                << "a restored window is repainted through WM_PAINT";
            EXPECT_EQ(shownIcon(), icon1) << "a restored window shows ICON_1 again";
            SetWindowTextA(w, "Lives: 05 - Level 01 - Score: 00000");
            EXPECT_STREQ(SDL_GetWindowTitle(backend->NativeWindow(w)),
                         "Lives: 05 - Level 01 - Score: 00000");
            PushWindowEvent(w, SDL_WINDOWEVENT_CLOSE);
        }
        return tick < 50; // WM_DESTROY ends the loop before
    });
    ASSERT_EQ(iconWhileMinimised.size(), 32u * 32u);
    for (int i = 0; i < 32 * 32; i += 37) {
        EXPECT_EQ(iconWhileMinimised[i],
                  0xFF0000C8u | uint32_t(i % 32 * 8) << 16 | uint32_t(i / 32 * 8) << 8)
            << "icon pixel " << i;
    }
    EXPECT_EQ(WParamsOf(WM_SYSCOMMAND), (std::vector<WPARAM>{SC_MINIMIZE, SC_RESTORE, SC_CLOSE}));
    EXPECT_EQ(SeenOf(WM_CLOSE).size(), 1u);
    EXPECT_EQ(SeenOf(WM_DESTROY).size(), 1u);
    EXPECT_EQ(backend->NativeWindow(window), nullptr);
    EXPECT_EQ(SDL_GetWindowFromID(id), nullptr) << "the SDL window is gone too";
}

TEST_F(SdlBackendTest, WithoutADisplayWindowCreationFails) {
    // The other tests here need none of what this one takes away.
    auto expectNoWindow = [this](const char *situation) {
        SCOPED_TRACE(situation);
        Uninstall();
        Install();
        EXPECT_EQ(MakeWindow(), nullptr);
        RECT desktop = {};
        ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &desktop));
        EXPECT_GT(desktop.right, 0);
        EXPECT_GT(desktop.bottom, 0);
    };
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    expectNoWindow("a video driver that does not exist");
    // No desktop at all: SDL itself would settle for a driver that shows
    // nothing, which is no display for a player.
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("XDG_RUNTIME_DIR", "/nonexistent-zorvak-runtime", 1);
    expectNoWindow("no desktop");
    unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(SdlBackendTest, BeepPlaysOnASoundDeviceAndIsSilentWithoutOne) {
    MessageBeep(0xFFFFFFFF);
    EXPECT_EQ(backend->BeepsPlayed(), 1);
    // A burst is not queued up into a long drone.
    for (int i = 0; i < 20; ++i) {
        MessageBeep(0xFFFFFFFF);
    }
    EXPECT_LT(backend->BeepsPlayed(), 6);
    Uninstall();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    Install();
    MessageBeep(0xFFFFFFFF);
    MessageBeep(0xFFFFFFFF);
    EXPECT_EQ(backend->BeepsPlayed(), 0);

    // A sound library that finds no device says nothing about it: the
    // beep is just silent.
    Uninstall();
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("AUDIODEV", "no-such-device", 1);
    Install();
    testing::internal::CaptureStderr();
    MessageBeep(0xFFFFFFFF);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    unsetenv("AUDIODEV");
    EXPECT_EQ(backend->BeepsPlayed(), 0);
}

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

// An SDL virtual controller with every button and axis of a game controller.
class VirtualPad {
public:
    VirtualPad() {
        const int device = support::AttachVirtualPad("test pad");
        EXPECT_GE(device, 0) << SDL_GetError();
        id_ = SDL_JoystickGetDeviceInstanceID(device);
        joystick_ = SDL_JoystickOpen(device);
    }
    ~VirtualPad() {
        SDL_JoystickClose(joystick_);
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id_) {
                SDL_JoystickDetachVirtual(i);
            }
        }
    }
    void Axis(SDL_GameControllerAxis axis, Sint16 value) {
        EXPECT_EQ(SDL_JoystickSetVirtualAxis(joystick_, axis, value), 0);
    }
    void Button(SDL_GameControllerButton button, bool down) {
        EXPECT_EQ(SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0), 0);
    }
    void Press(SDL_GameControllerButton button) {
        Button(button, true);
        SDL_GameControllerUpdate(); // seen down, then up
        Button(button, false);
    }

private:
    SDL_JoystickID id_ = -1;
    SDL_Joystick *joystick_ = nullptr;
};

TEST_F(SdlBackendTest, ControllersPluggedInAnyTimeGiveTheArrowsSpaceNewGameAndTheSystemMenu) {
    HWND window = MakeWindow();
    std::unique_ptr<VirtualPad> pad;
    std::vector<std::pair<UINT, WPARAM>> expected; // key messages, in order
    auto keys = [] {
        std::vector<std::pair<UINT, WPARAM>> out;
        for (const support::Seen &m : support::seen) {
            if (m.message == WM_KEYDOWN || m.message == WM_KEYUP || m.message == WM_SYSKEYDOWN ||
                m.message == WM_SYSKEYUP) {
                out.emplace_back(m.message, m.wParam);
            }
        }
        return out;
    };
    // The stick's path to the left, a step each tick: inside the dead zone,
    // pushed, wobbling but still pushed, then let go.
    const Sint16 stickLeft[] = {-6000,  -12000, -17000, -24000, -32768,
                                -20000, -12000, -30000, -8000,  0};
    RunLoop(window, [&](HWND w, int tick) {
        const int step = tick - 2;
        if (tick == 0) {
            EXPECT_EQ(backend->GamepadCount(), 0);
            pad = std::make_unique<VirtualPad>(); // plugged in while the game runs
        } else if (step >= 0 && step < int(std::size(stickLeft))) {
            if (step == 0) {
                EXPECT_EQ(backend->GamepadCount(), 1);
            }
            if (step == 2) {
                EXPECT_TRUE(keys().empty()) << "a quarter and a third of the way are no push";
            }
            pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, stickLeft[step]);
            // The other stick and the triggers are no arrows.
            pad->Axis(SDL_CONTROLLER_AXIS_RIGHTX, Sint16(step % 2 ? -32768 : 32767));
        } else if (tick == 14) {
            expected = {{WM_KEYDOWN, VK_LEFT}, {WM_KEYUP, VK_LEFT}};
            EXPECT_EQ(keys(), expected) << "one press for the whole push";
            // The D-pad, with the stick pushed the same way meanwhile: still
            // one press.
            pad->Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
        } else if (tick == 15) {
            pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, 30000);
        } else if (tick == 16) {
            pad->Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
        } else if (tick == 17) {
            pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
            pad->Press(SDL_CONTROLLER_BUTTON_A);
        } else if (tick == 18) {
            pad->Press(SDL_CONTROLLER_BUTTON_B);
            pad->Press(SDL_CONTROLLER_BUTTON_X); // no key
        } else if (tick == 20) {
            expected.insert(expected.end(), {{WM_KEYDOWN, VK_RIGHT},
                                             {WM_KEYUP, VK_RIGHT},
                                             {WM_KEYDOWN, VK_SPACE},
                                             {WM_KEYUP, VK_SPACE},
                                             {WM_KEYDOWN, VK_SPACE},
                                             {WM_KEYUP, VK_SPACE}});
            EXPECT_EQ(keys(), expected);
            EXPECT_TRUE(WParamsOf(WM_COMMAND).empty());
            pad->Press(SDL_CONTROLLER_BUTTON_START);
        } else if (tick == 22) {
            EXPECT_EQ(WParamsOf(WM_COMMAND), (std::vector<WPARAM>{1000}));
            pad->Press(SDL_CONTROLLER_BUTTON_BACK);
        } else if (tick == 24) {
            zplat::WindowInfo info;
            EXPECT_TRUE(zplat::GetWindowInfo(w, &info) && info.dropDownOpen)
                << "Back opens the system menu";
            // Down moves in it, Back again closes it.
            pad->Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
        } else if (tick == 25) {
            pad->Press(SDL_CONTROLLER_BUTTON_BACK);
        } else if (tick == 27) {
            zplat::WindowInfo info;
            EXPECT_TRUE(zplat::GetWindowInfo(w, &info) && !info.dropDownOpen);
            // Alt+Space's own request for the menu, and nothing chosen.
            EXPECT_EQ(WParamsOf(WM_SYSCOMMAND), (std::vector<WPARAM>{SC_KEYMENU}));
            // Pulled out with the D-pad held: the key comes up.
            pad->Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
        } else if (tick == 28) {
            pad.reset();
        } else if (tick == 30) {
            EXPECT_EQ(backend->GamepadCount(), 0);
            const auto got = keys();
            EXPECT_GE(got.size(), 2u);
            if (got.size() >= 2) {
                EXPECT_EQ(got[got.size() - 2], (std::pair<UINT, WPARAM>{WM_KEYDOWN, VK_LEFT}));
                EXPECT_EQ(got.back(), (std::pair<UINT, WPARAM>{WM_KEYUP, VK_LEFT}));
            }
            // And in again.
            pad = std::make_unique<VirtualPad>();
        } else if (tick == 32) {
            EXPECT_EQ(backend->GamepadCount(), 1);
            pad->Press(SDL_CONTROLLER_BUTTON_A);
        }
        return tick < 34;
    });
    const auto got = keys();
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got[got.size() - 2], (std::pair<UINT, WPARAM>{WM_KEYDOWN, VK_SPACE}));
    for (const support::Seen &m : SeenOf(WM_KEYDOWN)) {
        EXPECT_EQ(m.lParam & (1 << 30), 0) << "a controller never repeats a key";
    }
    pad.reset();
}

} // namespace
