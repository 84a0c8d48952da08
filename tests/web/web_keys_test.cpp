// The browser's keys mean to the program what the same keys mean on the
// desktop.
#include "platform/sdl/sdl_backend.h"
#include "platform/web/web_keys.h"

#include <gtest/gtest.h>

namespace {

// One key press as the browser (KeyboardEvent.key, .code) and SDL (key
// symbol, scancode) report it, and the virtual key the program must get.
struct KeyPress {
    const char *key;
    const char *code;
    SDL_Keycode sym;
    SDL_Scancode scancode;
    int vk;
};

const KeyPress kPresses[] = {
    {"ArrowLeft", "ArrowLeft", SDLK_LEFT, SDL_SCANCODE_LEFT, VK_LEFT},
    {"ArrowRight", "ArrowRight", SDLK_RIGHT, SDL_SCANCODE_RIGHT, VK_RIGHT},
    {"ArrowUp", "ArrowUp", SDLK_UP, SDL_SCANCODE_UP, VK_UP},
    {"ArrowDown", "ArrowDown", SDLK_DOWN, SDL_SCANCODE_DOWN, VK_DOWN},
    {" ", "Space", SDLK_SPACE, SDL_SCANCODE_SPACE, VK_SPACE},
    {"Enter", "Enter", SDLK_RETURN, SDL_SCANCODE_RETURN, VK_RETURN},
    {"Enter", "NumpadEnter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {"Escape", "Escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, VK_ESCAPE},
    {"Alt", "AltLeft", SDLK_LALT, SDL_SCANCODE_LALT, VK_MENU},
    {"Alt", "AltRight", SDLK_RALT, SDL_SCANCODE_RALT, VK_MENU},
    {"F1", "F1", SDLK_F1, SDL_SCANCODE_F1, VK_F1},
    {"F4", "F4", SDLK_F4, SDL_SCANCODE_F4, VK_F4},
    {"F10", "F10", SDLK_F10, SDL_SCANCODE_F10, VK_F10},
    {"F12", "F12", SDLK_F12, SDL_SCANCODE_F12, VK_F12},
    // Pause, and the keys that steer a replay being watched.
    {"Pause", "Pause", SDLK_PAUSE, SDL_SCANCODE_PAUSE, VK_PAUSE},
    {"Home", "Home", SDLK_HOME, SDL_SCANCODE_HOME, VK_HOME},
    {"End", "End", SDLK_END, SDL_SCANCODE_END, VK_END},
    {"+", "NumpadAdd", SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, VK_ADD},
    {"-", "NumpadSubtract", SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},
    {"=", "Equal", SDLK_EQUALS, SDL_SCANCODE_EQUALS, VK_OEM_PLUS},
    {"-", "Minus", SDLK_MINUS, SDL_SCANCODE_MINUS, VK_OEM_MINUS},
    // Letters by the layout where it has Latin letters (AZERTY's A and Q),
    // with or without Shift.
    {"n", "KeyN", SDLK_n, SDL_SCANCODE_N, 'N'},
    {"N", "KeyN", SDLK_n, SDL_SCANCODE_N, 'N'},
    {"a", "KeyQ", SDLK_a, SDL_SCANCODE_Q, 'A'},
    {"q", "KeyA", SDLK_q, SDL_SCANCODE_A, 'Q'},
    {"z", "KeyZ", SDLK_z, SDL_SCANCODE_Z, 'Z'},
    // Otherwise by the key's place: a Cyrillic layout, and AltGr+E giving a
    // euro sign (SDL's symbol is the unmodified letter there).
    {"\xD1\x82", "KeyN", 0x442, SDL_SCANCODE_N, 'N'},
    {"\xE2\x82\xAC", "KeyE", SDLK_e, SDL_SCANCODE_E, 'E'},
    {"7", "Digit7", SDLK_7, SDL_SCANCODE_7, '7'},
    // Keys the program does not hear: the digit row of a French layout,
    // modifiers, Tab.
    {"\xC3\xA9", "Digit2", 0xE9, SDL_SCANCODE_2, 0},
    {"&", "Digit1", SDLK_AMPERSAND, SDL_SCANCODE_1, 0},
    {"Shift", "ShiftLeft", SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 0},
    {"Control", "ControlLeft", SDLK_LCTRL, SDL_SCANCODE_LCTRL, 0},
    {"Tab", "Tab", SDLK_TAB, SDL_SCANCODE_TAB, 0},
};

TEST(WebKeys, SameVirtualKeysAsTheDesktopProgram) {
    for (const KeyPress &press : kPresses) {
        EXPECT_EQ(zweb::VirtualKeyFor(press.key, press.code), press.vk)
            << "browser key \"" << press.key << "\" " << press.code;
        EXPECT_EQ(zsdl::VirtualKeyFor(press.sym, press.scancode), press.vk)
            << "SDL key " << press.sym;
    }
}

TEST(WebKeys, DeadKeysAndOddValues) {
    // A dead key (Option+N on a Mac) goes by its place.
    EXPECT_EQ(zweb::VirtualKeyFor("Dead", "KeyN"), 'N');
    for (const char *key :
         {"F13", "F0", "Fn", "F1x", "", "Unidentified", "ab", "\xC3", "\xC3\xA9x"}) {
        EXPECT_EQ(zweb::VirtualKeyFor(key, "KeyA"), 0) << '"' << key << '"';
    }
    EXPECT_EQ(zweb::VirtualKeyFor("\xC3\xA9", "KeyAB"), 0);
    EXPECT_EQ(zweb::VirtualKeyFor("Dead", "Digit1"), 0);
    EXPECT_EQ(zweb::VirtualKeyFor(nullptr, "KeyA"), 0);
    EXPECT_EQ(zweb::VirtualKeyFor("a", nullptr), 0);
}

} // namespace
