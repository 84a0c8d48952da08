// Browser keys as Windows virtual keys.
#include "platform/web/web_keys.h"

#include "platform/platform.h"

#include <cstring>

namespace zweb {

namespace {

struct NamedKey {
    const char *key;
    int vk;
};

// KeyboardEvent.key values of the named keys the program hears.  "Enter"
// covers the keypad's Enter as well, "Alt" both Alt keys (but not AltGr).
const NamedKey kNamedKeys[] = {
    {"ArrowLeft", VK_LEFT}, {"ArrowRight", VK_RIGHT}, {"ArrowUp", VK_UP},    {"ArrowDown", VK_DOWN},
    {" ", VK_SPACE},        {"Enter", VK_RETURN},     {"Escape", VK_ESCAPE}, {"Alt", VK_MENU},
    {"Pause", VK_PAUSE},    {"Home", VK_HOME},        {"End", VK_END},
};

// The + and - keys, by where they are: the keypad's, or the main keyboard's
// (+ is on the = key of most layouts, unshifted).
int PlusOrMinus(const char *key, const char *code) {
    if (std::strcmp(code, "NumpadAdd") == 0) {
        return VK_ADD;
    }
    if (std::strcmp(code, "NumpadSubtract") == 0) {
        return VK_SUBTRACT;
    }
    if (std::strcmp(key, "+") == 0 || std::strcmp(key, "=") == 0) {
        return VK_OEM_PLUS;
    }
    if (std::strcmp(key, "-") == 0) {
        return VK_OEM_MINUS;
    }
    return 0;
}

// A key value that is one character outside ASCII (a letter of a non-Latin
// layout, say), as UTF-8.
bool OneNonAsciiCharacter(const char *key) {
    const unsigned char first = uint8_t(key[0]);
    int length = 0;
    if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
    } else if (first >= 0xE0) {
        length = first <= 0xEF ? 3 : 0;
    } else if (first >= 0xC2) {
        length = 2;
    }
    if (length == 0) {
        return false;
    }
    for (int i = 1; i < length; ++i) {
        if ((uint8_t(key[i]) & 0xC0) != 0x80) {
            return false;
        }
    }
    return key[length] == '\0';
}

} // namespace

int VirtualKeyFor(const char *key, const char *code) {
    if (key == nullptr || code == nullptr) {
        return 0;
    }
    for (const NamedKey &named : kNamedKeys) {
        if (std::strcmp(key, named.key) == 0) {
            return named.vk;
        }
    }
    if (const int vk = PlusOrMinus(key, code)) {
        return vk;
    }
    if (key[0] != '\0' && key[1] == '\0') {
        const char c = key[0];
        if (c >= 'a' && c <= 'z') {
            return 'A' + (c - 'a');
        }
        if (c >= 'A' && c <= 'Z') {
            return c;
        }
        if (c >= '0' && c <= '9') {
            return c;
        }
        return 0;
    }
    // Function keys: Alt+F4 closes a window, F10 enters menu mode.
    if (key[0] == 'F' && key[1] >= '1' && key[1] <= '9') {
        const int number = key[2] == '\0' ? key[1] - '0'
                           : key[1] == '1' && key[2] >= '0' && key[2] <= '2' && key[3] == '\0'
                               ? 10 + (key[2] - '0')
                               : 0;
        if (number != 0) {
            return VK_F1 + number - 1;
        }
    }
    // Layouts whose letter keys give no Latin letter: go by the key's place.
    if ((std::strcmp(key, "Dead") == 0 || OneNonAsciiCharacter(key)) &&
        std::strncmp(code, "Key", 3) == 0 && code[3] >= 'A' && code[3] <= 'Z' && code[4] == '\0') {
        return code[3];
    }
    return 0;
}

} // namespace zweb
