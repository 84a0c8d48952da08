// The SDL2 backend under the real platform core, on SDL's offscreen video
// driver (no display needed): input turned into window messages, images
// presented at a whole scale, the minimised icon, closing, and the beep.
// Input is injected as SDL events, exactly as the desktop would deliver it.
#include "platform/backend.h"
#include "platform/core/core.h"
#include "platform/core/resource_decode.h"
#include "platform/module.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Seen> seen;
// Runs on every WM_TIMER of the test window; returns false to end the loop.
std::function<bool(HWND, int)> onTick;
int ticks = 0;
const UINT_PTR kTestTimer = 7;

LRESULT CALLBACK TestWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (!onTick || !onTick(window, ticks++)) {
            PostQuitMessage(0);
        }
        return 0;
    case WM_DESTROY:
        seen.push_back({message, wParam, lParam});
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_LBUTTONDOWN:
    case WM_PAINT:
    case WM_CLOSE:
        seen.push_back({message, wParam, lParam});
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<Seen> SeenOf(UINT message) {
    std::vector<Seen> out;
    for (const Seen &s : seen) {
        if (s.message == message) {
            out.push_back(s);
        }
    }
    return out;
}

class SdlBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        seen.clear();
        onTick = nullptr;
        ticks = 0;
        Install();
    }
    void TearDown() override { Uninstall(); }

    void Install() {
        backend = std::make_unique<zsdl::SdlBackend>(zplat::GameModule());
        zplat::SetBackend(backend.get());
    }
    void Uninstall() {
        zplat::ShutdownPlatform();
        zplat::SetBackend(nullptr);
        backend.reset();
    }

    // A fixed-frame window like the game's, optionally with the game's menu
    // bar, whose client area is clientWidth x clientHeight.
    HWND MakeWindow(bool withMenu, int clientWidth, int clientHeight) {
        WNDCLASSA wc = {};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = TestWndProc;
        wc.hInstance = zplat::GameModule();
        wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
        wc.lpszMenuName = withMenu ? "MENU_1" : NULL;
        wc.lpszClassName = withMenu ? "T_MENU" : "T_PLAIN";
        if (RegisterClassA(&wc) == 0) {
            return NULL;
        }
        // Outer size: a 3-pixel dialog frame, a 19-pixel caption and, with a
        // menu, a 19-pixel menu bar.
        const int width = clientWidth + 6;
        const int height = clientHeight + 6 + 19 + (withMenu ? 19 : 0);
        HWND window = CreateWindowExA(0, wc.lpszClassName, "Test window",
                                      WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX, 40, 30, width,
                                      height, NULL, NULL, zplat::GameModule(), NULL);
        if (window != NULL) {
            ShowWindow(window, SW_SHOW);
        }
        return window;
    }

    // Runs the real message loop until the tick callback ends it (or the
    // window is destroyed); the timer beats every 20 ms.
    int RunLoop(HWND window, std::function<bool(HWND, int)> tick) {
        onTick = std::move(tick);
        SetTimer(window, kTestTimer, 20, NULL);
        MSG msg;
        BOOL got;
        while ((got = GetMessageA(&msg, NULL, 0, 0)) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return got == 0 ? (int)msg.wParam : -1;
    }

    Uint32 SdlId(HWND window) { return SDL_GetWindowID(backend->NativeWindow(window)); }

    void PushKey(HWND window, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod = KMOD_NONE,
                 bool repeat = false) {
        SDL_Event event = {};
        event.type = SDL_KEYDOWN;
        event.key.windowID = SdlId(window);
        event.key.state = SDL_PRESSED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.sym = sym;
        event.key.keysym.scancode = scancode;
        event.key.keysym.mod = mod;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    void PushWindowEvent(HWND window, Uint8 what) {
        SDL_Event event = {};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = SdlId(window);
        event.window.event = what;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    void PushButton(HWND window, Uint8 button, int x, int y) {
        SDL_Event event = {};
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.windowID = SdlId(window);
        event.button.button = button;
        event.button.state = SDL_PRESSED;
        event.button.clicks = 1;
        event.button.x = x;
        event.button.y = y;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    std::unique_ptr<zsdl::SdlBackend> backend;
};

// ---- Scale --------------------------------------------------------------------

TEST(ChooseScale, FollowsTheDesktopAndAlwaysFits) {
    // The game's composed image (menu bar + client) is 511 x 349.
    EXPECT_EQ(zsdl::ChooseScale(1920, 1080, 511, 349), 2);
    EXPECT_EQ(zsdl::ChooseScale(1366, 768, 511, 349), 1);
    // A desktop smaller than the image still shows it, unscaled.
    EXPECT_EQ(zsdl::ChooseScale(640, 480, 511, 349), 1);
    EXPECT_EQ(zsdl::ChooseScale(0, 0, 511, 349), 1);

    const int desktops[][2] = {{1024, 768},  {1280, 800},  {1440, 900},  {1600, 900},
                               {1680, 1050}, {1920, 1200}, {2560, 1080}, {2560, 1440},
                               {3440, 1440}, {3840, 2160}, {5120, 2880}, {7680, 4320}};
    int previous = 1;
    for (const auto &d : desktops) {
        const int scale = zsdl::ChooseScale(d[0], d[1], 511, 349);
        SCOPED_TRACE(testing::Message() << d[0] << " x " << d[1] << " -> " << scale);
        // The scaled window leaves room for its title bar and the panels.
        EXPECT_LE(511 * scale, d[0] - 100);
        EXPECT_LE(349 * scale, d[1] - 100);
        // Bigger desktops never get a smaller scale.
        EXPECT_GE(scale, previous);
        previous = scale;
    }
    EXPECT_GE(zsdl::ChooseScale(3840, 2160, 511, 349), 4);
}

// ---- Keys -----------------------------------------------------------------------

TEST_F(SdlBackendTest, KeysArriveAsWindowsVirtualKeysWithRepeatAndAlt) {
    HWND window = MakeWindow(false, 100, 80);
    ASSERT_NE(window, (HWND)NULL);
    PushKey(window, SDLK_LEFT, SDL_SCANCODE_LEFT);
    PushKey(window, SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_NONE, true);
    PushKey(window, SDLK_RIGHT, SDL_SCANCODE_RIGHT);
    PushKey(window, SDLK_UP, SDL_SCANCODE_UP);
    PushKey(window, SDLK_DOWN, SDL_SCANCODE_DOWN);
    PushKey(window, SDLK_SPACE, SDL_SCANCODE_SPACE);
    PushKey(window, SDLK_RETURN, SDL_SCANCODE_RETURN);
    PushKey(window, SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER);
    PushKey(window, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    PushKey(window, SDLK_F1, SDL_SCANCODE_F1);         // not passed on
    PushKey(window, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT); // not passed on
    PushKey(window, SDLK_a, SDL_SCANCODE_A);
    PushKey(window, SDLK_z, SDL_SCANCODE_Z);
    PushKey(window, SDLK_7, SDL_SCANCODE_7);
    // A layout whose letter key gives a non-Latin letter (Cyrillic ef on the
    // A key): the key's place decides.
    PushKey(window, 0x0444, SDL_SCANCODE_A);
    PushKey(window, SDLK_x, SDL_SCANCODE_X, KMOD_LALT);
    ASSERT_EQ(RunLoop(window, [](HWND, int) { return false; }), 0);

    std::vector<WPARAM> keys;
    for (const Seen &s : SeenOf(WM_KEYDOWN)) {
        keys.push_back(s.wParam);
    }
    const std::vector<WPARAM> expected = {0x25, 0x25, 0x27, 0x26, 0x28, 0x20, 0x0D,
                                          0x0D, 0x1B, 0x41, 0x5A, 0x37, 0x41};
    EXPECT_EQ(keys, expected);
    const std::vector<Seen> down = SeenOf(WM_KEYDOWN);
    ASSERT_GE(down.size(), 2u);
    EXPECT_EQ(down[0].lParam & (1 << 30), 0) << "a first press is not a repeat";
    EXPECT_NE(down[1].lParam & (1 << 30), 0) << "auto-repeat sets the previous-state bit";
    // Alt held: the system key message, with the context bit.
    const std::vector<Seen> system = SeenOf(WM_SYSKEYDOWN);
    ASSERT_EQ(system.size(), 1u);
    EXPECT_EQ(system[0].wParam, (WPARAM)'X');
    EXPECT_NE(system[0].lParam & (1 << 29), 0);
}

TEST_F(SdlBackendTest, AltAndAMnemonicLetterChooseTheMenuItem) {
    HWND window = MakeWindow(true, 100, 80);
    ASSERT_NE(window, (HWND)NULL);
    PushKey(window, SDLK_n, SDL_SCANCODE_N, KMOD_LALT);
    PushKey(window, SDLK_q, SDL_SCANCODE_Q, KMOD_RALT);
    RunLoop(window, [](HWND, int tick) { return tick < 2; });
    std::vector<WPARAM> commands;
    for (const Seen &s : SeenOf(WM_COMMAND)) {
        commands.push_back(LOWORD(s.wParam));
    }
    EXPECT_EQ(commands, (std::vector<WPARAM>{1000, 1003}));
}

// ---- Images and the mouse -------------------------------------------------------------

TEST_F(SdlBackendTest, WindowShowsTheComposedImageAtAWholeScaleWithSharpPixels) {
    HWND window = MakeWindow(true, 100, 81);
    ASSERT_NE(window, (HWND)NULL);
    const int scale = backend->Scale(window);
    ASSERT_GE(scale, 2) << "a 100 x 100 image is scaled up on any desktop SDL offers";
    RunLoop(window, [](HWND w, int tick) {
        if (tick == 0) {
            HDC dc = GetDC(w);
            for (int i = 0; i < 81; ++i) {
                SetPixel(dc, i, i, RGB(255, 0, 0));      // red diagonal
                SetPixel(dc, 99 - i, i, RGB(0, 0, 255)); // blue diagonal
            }
            SetPixel(dc, 0, 80, RGB(0, 255, 0));
            SetPixel(dc, 99, 0, RGB(255, 255, 0));
            ReleaseDC(w, dc);
        }
        return tick < 2;
    });

    std::vector<uint32_t> composed;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(zplat::CopyComposedImage(window, &composed, &width, &height));
    ASSERT_EQ(width, 100);
    ASSERT_EQ(height, 100); // 19-pixel menu bar + 81
    EXPECT_EQ(composed[(size_t)19 * width + 0], 0xFF0000u) << "the drawing is in the image";

    SDL_Window *sdl = backend->NativeWindow(window);
    int shownWidth = 0;
    int shownHeight = 0;
    SDL_GetWindowSize(sdl, &shownWidth, &shownHeight);
    EXPECT_EQ(shownWidth, width * scale);
    EXPECT_EQ(shownHeight, height * scale);
    SDL_Surface *surface = SDL_GetWindowSurface(sdl);
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(SDL_BYTESPERPIXEL(surface->format->format), 4);
    int wrong = 0;
    for (int y = 0; y < shownHeight; ++y) {
        const Uint32 *row = reinterpret_cast<const Uint32 *>(
            static_cast<const Uint8 *>(surface->pixels) + (size_t)y * surface->pitch);
        for (int x = 0; x < shownWidth; ++x) {
            Uint8 r, g, b;
            SDL_GetRGB(row[x], surface->format, &r, &g, &b);
            const uint32_t want = composed[(size_t)(y / scale) * width + x / scale];
            if (((uint32_t)r << 16 | (uint32_t)g << 8 | b) != want && wrong++ < 5) {
                ADD_FAILURE() << "shown pixel (" << x << ", " << y << ") is not image pixel ("
                              << x / scale << ", " << y / scale << ")";
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(SdlBackendTest, ClicksAreScaledBackToImagePixels) {
    HWND window = MakeWindow(false, 100, 80);
    ASSERT_NE(window, (HWND)NULL);
    const int scale = backend->Scale(window);
    // The last window pixel of image pixel (10, 20), and the first of (99, 79).
    PushButton(window, SDL_BUTTON_LEFT, 10 * scale + scale - 1, 20 * scale + scale - 1);
    PushButton(window, SDL_BUTTON_RIGHT, 5 * scale, 5 * scale); // not a click
    PushButton(window, SDL_BUTTON_LEFT, 99 * scale, 79 * scale);
    RunLoop(window, [](HWND, int) { return false; });
    const std::vector<Seen> clicks = SeenOf(WM_LBUTTONDOWN);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(LOWORD(clicks[0].lParam), 10);
    EXPECT_EQ(HIWORD(clicks[0].lParam), 20);
    EXPECT_EQ(LOWORD(clicks[1].lParam), 99);
    EXPECT_EQ(HIWORD(clicks[1].lParam), 79);
}

// ---- Desktop states ----------------------------------------------------------------------

TEST_F(SdlBackendTest, MinimisedWindowShowsItsClientOriginAsIconAndRepaintsOnRestore) {
    HWND window = MakeWindow(true, 100, 81);
    ASSERT_NE(window, (HWND)NULL);
    const zplat::Resource *resource =
        zplat::FindResourceIn(zplat::GameModule(), zplat::RES_ICON, "ICON_1");
    ASSERT_NE(resource, nullptr);
    zplat::DecodedIcon icon1;
    ASSERT_TRUE(zplat::DecodeIcon(resource->data, resource->size, &icon1));
    auto expectIcon1 = [&](const char *when) {
        int width = 0;
        int height = 0;
        std::vector<uint32_t> shown = backend->IconPixels(window, &width, &height);
        SCOPED_TRACE(when);
        ASSERT_EQ(width, icon1.width);
        ASSERT_EQ(height, icon1.height);
        for (size_t i = 0; i < shown.size(); ++i) {
            if (icon1.transparent[i]) {
                EXPECT_EQ(shown[i] >> 24, 0u) << "pixel " << i << " is see-through";
            } else {
                EXPECT_EQ(shown[i], 0xFF000000u | icon1.color[i]) << "pixel " << i;
            }
        }
    };
    expectIcon1("a new window");

    std::vector<uint32_t> iconWhileMinimised;
    size_t paintsBeforeRestore = 0;
    RunLoop(window, [&](HWND w, int tick) {
        if (tick == 0) {
            PushWindowEvent(w, SDL_WINDOWEVENT_MINIMIZED);
        } else if (tick == 2) {
            // What a program draws at its client origin while minimised.
            HDC dc = GetDC(w);
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    SetPixel(dc, x, y, RGB(x * 8, y * 8, 200));
                }
            }
            ReleaseDC(w, dc);
        } else if (tick == 4) {
            int width = 0;
            int height = 0;
            iconWhileMinimised = backend->IconPixels(w, &width, &height);
            EXPECT_EQ(width, 32);
            EXPECT_EQ(height, 32);
            paintsBeforeRestore = SeenOf(WM_PAINT).size();
            PushWindowEvent(w, SDL_WINDOWEVENT_RESTORED);
        }
        return tick < 6;
    });

    const std::vector<Seen> commands = SeenOf(WM_SYSCOMMAND);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].wParam, (WPARAM)SC_MINIMIZE);
    EXPECT_EQ(commands[1].wParam, (WPARAM)SC_RESTORE);
    ASSERT_EQ(iconWhileMinimised.size(), 32u * 32u);
    for (int y = 0; y < 32; y += 7) {
        for (int x = 0; x < 32; x += 5) {
            EXPECT_EQ(iconWhileMinimised[(size_t)y * 32 + x],
                      0xFF000000u | (uint32_t)(x * 8) << 16 | (uint32_t)(y * 8) << 8 | 200u)
                << "icon pixel (" << x << ", " << y << ")";
        }
    }
    EXPECT_GT(SeenOf(WM_PAINT).size(), paintsBeforeRestore)
        << "a restored window is repainted through WM_PAINT";
    expectIcon1("after restoring");
}

TEST_F(SdlBackendTest, CloseButtonEndsInTheWindowsDestructionAndTitleFollowsTheProgram) {
    HWND window = MakeWindow(false, 100, 80);
    ASSERT_NE(window, (HWND)NULL);
    const Uint32 id = SdlId(window);
    SetWindowTextA(window, "Lives: 05 - Level 01 - Score: 00000");
    EXPECT_STREQ(SDL_GetWindowTitle(backend->NativeWindow(window)),
                 "Lives: 05 - Level 01 - Score: 00000");
    PushWindowEvent(window, SDL_WINDOWEVENT_CLOSE);
    // The window's WM_DESTROY ends the loop; the timer would only be a
    // safety net.
    RunLoop(window, [](HWND, int tick) { return tick < 50; });
    ASSERT_FALSE(SeenOf(WM_SYSCOMMAND).empty());
    EXPECT_EQ(SeenOf(WM_SYSCOMMAND)[0].wParam, (WPARAM)SC_CLOSE);
    EXPECT_EQ(SeenOf(WM_CLOSE).size(), 1u);
    EXPECT_EQ(SeenOf(WM_DESTROY).size(), 1u);
    EXPECT_EQ(backend->NativeWindow(window), nullptr);
    EXPECT_EQ(SDL_GetWindowFromID(id), nullptr) << "the SDL window is gone too";
}

// ---- Without a display or a sound device ----------------------------------------------------

// Restores an environment variable when it goes out of scope.
class SavedEnv {
public:
    explicit SavedEnv(const char *name) : name_(name) {
        const char *value = std::getenv(name);
        had_ = value != nullptr;
        value_ = had_ ? value : "";
    }
    ~SavedEnv() {
        if (had_) {
            setenv(name_, value_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char *name_;
    bool had_;
    std::string value_;
};

TEST_F(SdlBackendTest, WithoutADisplayWindowCreationFails) {
    SavedEnv display("DISPLAY");
    SavedEnv wayland("WAYLAND_DISPLAY");
    SavedEnv runtime("XDG_RUNTIME_DIR");
    auto expectNoWindow = [&](const char *situation) {
        SCOPED_TRACE(situation);
        Uninstall();
        Install();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TestWndProc;
        wc.lpszClassName = "T_NODISPLAY";
        ASSERT_NE(RegisterClassA(&wc), 0);
        EXPECT_EQ(CreateWindowExA(0, "T_NODISPLAY", "x", WS_DLGFRAME, 0, 0, 200, 100, NULL, NULL,
                                  NULL, NULL),
                  (HWND)NULL);
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
}

// ---- Waiting ----------------------------------------------------------------------------------

TEST_F(SdlBackendTest, WaitEndsAtTheDeadlineNeverBeforeAndAtInputAtOnce) {
    HWND window = MakeWindow(false, 100, 80);
    ASSERT_NE(window, (HWND)NULL);
    for (int i = 0; i < 5; ++i) {
        const uint64_t deadline = backend->NowMs() + 7;
        backend->Wait(deadline);
        EXPECT_GE(backend->NowMs(), deadline);
    }
    // With input waiting there is no deadline to wait for.
    PushKey(window, SDLK_SPACE, SDL_SCANCODE_SPACE);
    backend->Wait(zplat::Backend::kNoDeadline);
    MSG msg;
    ASSERT_GT(GetMessageA(&msg, NULL, 0, 0), 0);
    EXPECT_EQ(msg.message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(msg.wParam, (WPARAM)VK_SPACE);
}

} // namespace
