// Keys as virtual keys, Alt with a mnemonic choosing a menu item, and the
// menu mode: an Alt tap, the bar's clicks on release, Alt+F4.
#include "tests/sdl/sdl_fixture.h"

#include <vector>

namespace sdltest {
namespace {

using support::SeenOf;
using support::WParamsOf;

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

} // namespace
} // namespace sdltest
