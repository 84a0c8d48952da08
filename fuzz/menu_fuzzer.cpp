// Menu templates as a real window's menu bar, worked with Alt+letters, clicks
// and keys through the message loop.  The input is one byte n, then n bytes
// of actions, then the template.  Checks: the window is made whatever the
// template (without a menu bar when it does not decode); Alt+ each item's
// mnemonic letter chooses the first item that has it; every command that
// arrives is one of the template's items.
#include "fuzz/fuzz_support.h"
#include "platform/headless/headless.h"
#include "platform/resource_decode.h"

#include <cctype>
#include <string>

namespace {

std::vector<WPARAM> commands;

LRESULT CALLBACK RecordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        commands.push_back(wParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The letter that Alt chooses an item by: the one after the first single '&'.
// Written here apart from the platform's own reading of it, so that the check
// does not take the platform's word for what it tests.
char Mnemonic(const std::string &text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
            if (text[i + 1] != '&') {
                return char(std::tolower(uint8_t(text[i + 1])));
            }
            ++i;
        }
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t actionCount = std::min<size_t>(data[0] % 33, size - 1);
    const uint8_t *actions = data + 1;
    const uint8_t *menu = data + 1 + actionCount;
    const size_t menuSize = size - 1 - actionCount;

    HINSTANCE module = fuzz::ModuleWith(zplat::RES_MENU, "MENU_FUZZ", menu, menuSize);
    std::vector<zplat::DecodedMenuItem> items;
    const bool decodes = zplat::DecodeMenu(menu, menuSize, &items);
    commands.clear();
    static HWND window;
    window = fuzz::FreshWindow(module, "MenuFuzz", "MENU_FUZZ", 300, 100, RecordCommands);
    fuzz::Require(window != NULL, "a window is made whatever its menu template says");
    const int barHeight = decodes ? 19 : 0;

    // First, Alt+ each distinct mnemonic letter or digit: its first item.
    std::vector<WPARAM> expected;
    std::string tried;
    uint64_t t = headless::Now() + 10;
    for (const zplat::DecodedMenuItem &item : items) {
        const char letter = Mnemonic(item.text);
        if (!std::isalnum(uint8_t(letter)) || tried.find(letter) != std::string::npos ||
            tried.size() == 8) {
            continue;
        }
        tried += letter;
        expected.push_back(item.id);
        headless::At(t, [letter] { headless::AltLetter(window, letter); });
        t += 10;
    }
    // Then whatever the actions say.
    for (size_t i = 0; i < actionCount; ++i) {
        const uint8_t b = actions[i];
        const int arg = b >> 2;
        headless::At(t, [b, arg, barHeight] {
            switch (b & 3) {
            case 0:
                headless::AltLetter(window, char(arg < 26   ? 'a' + arg
                                                 : arg < 36 ? '0' + arg - 26
                                                            : ' '));
                break;
            case 1:
                headless::Click(window, arg * 5, barHeight / 2);
                break;
            case 2:
                headless::Click(window, (arg & 7) * 40, barHeight + (arg >> 3) * 12);
                break;
            default: {
                static const int keys[] = {VK_ESCAPE, VK_DOWN,  VK_UP,    VK_RETURN,
                                           VK_LEFT,   VK_RIGHT, VK_SPACE, 'X'};
                headless::Key(window, keys[arg & 7]);
                break;
            }
            }
        });
        t += 10;
    }
    headless::At(t + 10, [] { PostQuitMessage(0); });
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    fuzz::Require(commands.size() >= expected.size() &&
                      std::equal(expected.begin(), expected.end(), commands.begin()),
                  "Alt+ an item's mnemonic chooses the first item that has it");
    for (WPARAM id : commands) {
        bool known = false;
        for (const zplat::DecodedMenuItem &item : items) {
            known = known || item.id == id;
        }
        fuzz::Require(known, "every command is one of the menu's items");
    }
    return 0;
}
