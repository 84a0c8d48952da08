// The display policy every backend shares: scales, placement, the caption
// bar (drawn as a window frame of its time drew it: a plain bar, the title in
// bold at its left end) and the program's icon.
#include "platform/display.h"

#include "platform/core/menu_look.h"
#include "platform/core/state.h"
#include "platform/module.h"
#include "platform/resource_decode.h"

#include <algorithm>
#include <map>
#include <string>

namespace zplat {

static_assert(kCaptionBarHeight == kCaptionHeight, "one caption height for the frame and the bar");

namespace {

int Clamp(int64_t scale, int largest) {
    return int(std::clamp<int64_t>(scale, 1, largest));
}

int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

int FitScale(int roomWidth, int roomHeight, int imageWidth, int imageHeight) {
    if (imageWidth <= 0 || imageHeight <= 0) {
        return 1;
    }
    return Clamp(std::min(int64_t(roomWidth) / imageWidth, int64_t(roomHeight) / imageHeight),
                 kLargestScale);
}

int DesktopScale(int desktopWidth, int desktopHeight, int imageWidth, int imageHeight) {
    if (imageWidth <= 0 || imageHeight <= 0) {
        return 1;
    }
    const int64_t roomWidth = int64_t(desktopWidth) * 9 / 10;
    const int64_t roomHeight = int64_t(desktopHeight) * 5 / 6;
    return Clamp(std::min(roomWidth / imageWidth, roomHeight / imageHeight), 16);
}

int FullScreenScale(int screenWidth, int screenHeight, int imageWidth, int imageHeight) {
    return FitScale(screenWidth, screenHeight, imageWidth, imageHeight + kCaptionBarHeight);
}

Placement PlaceImage(int surfaceWidth, int surfaceHeight, int imageWidth, int imageHeight,
                     bool fullScreen, int desktopScale) {
    Placement place;
    if (!fullScreen) {
        place.scale = std::max(desktopScale, 1);
        return place;
    }
    place.scale = FullScreenScale(surfaceWidth, surfaceHeight, imageWidth, imageHeight);
    place.captionHeight = kCaptionBarHeight * place.scale;
    place.left = std::max(0, (surfaceWidth - imageWidth * place.scale) / 2);
    place.top = std::max(0, (surfaceHeight - imageHeight * place.scale - place.captionHeight) / 2);
    return place;
}

void SurfaceToImage(const Placement &place, int x, int y, int *imageX, int *imageY) {
    const int scale = std::max(place.scale, 1);
    *imageX = FloorDiv(x - place.left, scale);
    *imageY = FloorDiv(y - place.top - place.captionHeight, scale);
}

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
    for (char c : text) {
        out += c == '&' ? std::string("&&") : std::string(1, c);
    }
    return out;
}

// The title as it fits in `room` pixels of bold text.
std::string FittedTitle(const char *title, int room) {
    std::string text = title != nullptr ? title : "";
    if (TextWidth(Literal(text)) + 1 <= room) {
        return Literal(text);
    }
    while (!text.empty() && TextWidth(Literal(text) + "...") + 1 > room) {
        text.pop_back();
    }
    return Literal(text) + "...";
}

} // namespace

void DrawCaptionBar(uint32_t *pixels, int width, int height, const char *title, bool active) {
    if (pixels == nullptr || width <= 0 || height <= 0) {
        return;
    }
    const Painter p{pixels, width, height};
    p.Fill(0, 0, width, height, active ? kActiveBar : kInactiveBar);
    const std::string text = FittedTitle(title, width - 2 * kTextLeft);
    const uint32_t ink = active ? kActiveText : kInactiveText;
    // Bold: the text twice, one pixel apart.
    DrawText(pixels, width, height, kTextLeft, kTextTop, text, ink, false);
    DrawText(pixels, width, height, kTextLeft + 1, kTextTop, text, ink, false);
}

const IconImage &ProgramIcon(HINSTANCE module) {
    // One program has one module; tests register a few.
    static std::map<HINSTANCE, IconImage> decodedIcons;
    auto found = decodedIcons.find(module);
    if (found != decodedIcons.end()) {
        return found->second;
    }
    IconImage &icon = decodedIcons[module];
    DecodedIcon decoded;
    const Resource *resource = FindResourceIn(module, RES_ICON, "ICON_1");
    if (resource != nullptr && DecodeIcon(resource->data, resource->size, &decoded)) {
        icon.width = decoded.width;
        icon.height = decoded.height;
        icon.argb.resize(decoded.color.size());
        for (size_t i = 0; i < decoded.color.size(); ++i) {
            icon.argb[i] = (decoded.transparent[i] ? 0x00000000u : 0xFF000000u) |
                           (decoded.color[i] & 0x00FFFFFFu);
        }
    }
    return icon;
}

} // namespace zplat
