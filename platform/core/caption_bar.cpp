// The layer's own caption bar, as a window frame of its time drew it: a
// plain bar, the title in bold at its left end.
#include "platform/caption_bar.h"

#include "platform/core/menu_look.h"
#include "platform/core/state.h"

#include <string>

namespace zplat {

static_assert(kCaptionBarHeight == kCaptionHeight, "one caption height for the frame and the bar");

namespace {

constexpr uint32_t kActiveBar = kHighlight;
constexpr uint32_t kActiveText = kHighlightText;
constexpr uint32_t kInactiveBar = kShadow;
constexpr uint32_t kInactiveText = kFace;
constexpr int kTextLeft = 5;
constexpr int kTextTop = 6;

// Text that DrawText shows as it is: '&' marks no mnemonic here.
std::string Literal(const std::string &text) {
    std::string out;
    for (char c : text)
        out += c == '&' ? std::string("&&") : std::string(1, c);
    return out;
}

// The title as it fits in `room` pixels of bold text.
std::string FittedTitle(const char *title, int room) {
    std::string text = title != nullptr ? title : "";
    if (TextWidth(Literal(text)) + 1 <= room)
        return Literal(text);
    while (!text.empty() && TextWidth(Literal(text) + "...") + 1 > room)
        text.pop_back();
    return Literal(text) + "...";
}

} // namespace

void DrawCaptionBar(uint32_t *pixels, int width, int height, const char *title, bool active) {
    if (pixels == nullptr || width <= 0 || height <= 0)
        return;
    const Painter p{pixels, width, height};
    p.Fill(0, 0, width, height, active ? kActiveBar : kInactiveBar);
    const std::string text = FittedTitle(title, width - 2 * kTextLeft);
    const uint32_t ink = active ? kActiveText : kInactiveText;
    // Bold: the text twice, one pixel apart.
    DrawText(pixels, width, height, kTextLeft, kTextTop, text, ink, false);
    DrawText(pixels, width, height, kTextLeft + 1, kTextTop, text, ink, false);
}

} // namespace zplat
