// What the menu bar and the drop-downs share: colours, sizes, a clipped
// painter and the item texts' mnemonics.  Internal to platform/core.
#ifndef ZORVAK_PLATFORM_CORE_MENU_LOOK_H
#define ZORVAK_PLATFORM_CORE_MENU_LOOK_H

#include "platform/core/state.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace zplat {

constexpr uint32_t kFace = 0xC0C0C0;
constexpr uint32_t kLight = 0xFFFFFF;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kDark = 0x000000;
constexpr uint32_t kText = 0x000000;
constexpr uint32_t kGrayText = 0x808080;
constexpr uint32_t kHighlight = 0x000080;
constexpr uint32_t kHighlightText = 0xFFFFFF;

constexpr int kSysBoxWidth = 19;

struct Painter {
    uint32_t *pixels;
    int width, height;
    void Fill(int x0, int y0, int x1, int y1, uint32_t rgb) const {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, width);
        y1 = std::min(y1, height);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                pixels[size_t(y) * size_t(width) + size_t(x)] = rgb;
    }
};

inline bool HasSysBox(const Window &w) {
    return (w.style & WS_SYSMENU) != 0;
}

// The letter after the first single '&', lower case; 0 when there is none.
inline char MnemonicOf(const std::string &text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
            if (text[i + 1] != '&')
                return char(std::tolower(static_cast<unsigned char>(text[i + 1])));
            ++i;
        }
    }
    return 0;
}

// A key that stands for a mnemonic letter or digit; 0 for any other key.
inline char MnemonicKey(int vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return char(std::tolower(vk));
    return 0;
}

} // namespace zplat

#endif
