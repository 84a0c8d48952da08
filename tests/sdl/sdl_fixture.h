// The SDL2 backend under the real platform core, on SDL's offscreen video
// driver (no display needed).  Input is injected as SDL events, exactly as
// the desktop would deliver it; controllers are SDL's virtual ones.  This is
// what the test files of tests/sdl share: the backend installed for each
// test, a window like the game's, the real message loop, SDL's events, and
// what the window shows.
#ifndef ZORVAK_TESTS_SDL_SDL_FIXTURE_H
#define ZORVAK_TESTS_SDL_SDL_FIXTURE_H

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"
#include "resources/game_module.h"
#include "tests/support/recording_window.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace sdltest {

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
headless::Image Shown(SDL_Window *sdl);

// The shown pixels that are not the image's pixel (x / scale, y / scale); -1
// when the window is not the image's size times scale.
int NotScaledUp(const headless::Image &shown, const std::vector<uint32_t> &image, int width,
                int scale);

} // namespace sdltest

#endif
