// The full-screen picture every backend shows (platform/display.h): the
// caption bar, the main window's image, and the windows shown over it, each
// in a dialog frame of the time: a raised edge of three rings (face and
// black outside, white and grey inside, face innermost) around its caption
// bar and its image.
#include "platform/core/menu_look.h"
#include "platform/core/state.h"
#include "platform/display.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zplat {

static_assert(kFrameBorder == kFrameWidth, "one frame for the layer's windows and the overlays");

namespace {

// A rectangle as its edges.
struct Edges {
    int left, top, right, bottom;
};

Edges EdgesOf(const Area &a) {
    return {a.x, a.y, a.x + a.width, a.y + a.height};
}

Edges Clip(const Edges &a, const Edges &b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// Fills [x0, x1) x [y0, y1) of the picture, within clip.
void Fill(uint32_t *picture, int width, const Edges &clip, Edges r, uint32_t rgb) {
    r = Clip(r, clip);
    if (r.right <= r.left) {
        return;
    }
    for (int y = r.top; y < r.bottom; ++y) {
        std::fill(picture + size_t(y) * width + r.left, picture + size_t(y) * width + r.right, rgb);
    }
}

// Copies an image of sourceWidth columns, its top-left corner at (x, y) of
// the picture, within clip.
void Copy(uint32_t *picture, int width, const Edges &clip, const uint32_t *source, int sourceWidth,
          int sourceHeight, int x, int y) {
    const Edges r = Clip(Edges{x, y, x + sourceWidth, y + sourceHeight}, clip);
    for (int row = r.top; row < r.bottom; ++row) {
        if (r.right > r.left) {
            std::memcpy(picture + size_t(row) * width + r.left,
                        source + size_t(row - y) * sourceWidth + (r.left - x),
                        size_t(r.right - r.left) * 4);
        }
    }
}

// The frame and caption bar of an overlay whose image is at `image`.
void DrawFrame(uint32_t *picture, int width, const Edges &clip, const Overlay &overlay,
               const Area &image) {
    const int b = kFrameBorder;
    const Edges outer = {image.x - b, image.y - kCaptionBarHeight - b, image.x + image.width + b,
                         image.y + image.height + b};
    if (Clip(outer, clip).right <= Clip(outer, clip).left ||
        Clip(outer, clip).bottom <= Clip(outer, clip).top) {
        return;
    }
    // Rings from the outside in: top-left colour, bottom-right colour.
    const uint32_t rings[3][2] = {{kFace, kDark}, {kLight, kShadow}, {kFace, kFace}};
    for (int i = 0; i < 3; ++i) {
        const Edges r = {outer.left + i, outer.top + i, outer.right - i, outer.bottom - i};
        // The light edges stop short of the far corners, which are dark.
        Fill(picture, width, clip, {r.left, r.top, r.right - 1, r.top + 1}, rings[i][0]);
        Fill(picture, width, clip, {r.left, r.top, r.left + 1, r.bottom - 1}, rings[i][0]);
        Fill(picture, width, clip, {r.left, r.bottom - 1, r.right, r.bottom}, rings[i][1]);
        Fill(picture, width, clip, {r.right - 1, r.top, r.right, r.bottom}, rings[i][1]);
    }
    // The caption bar, drawn whole aside and copied where the box needs it.
    const Edges bar = {image.x, image.y - kCaptionBarHeight, image.x + image.width, image.y};
    const Edges shown = Clip(bar, clip);
    if (shown.right > shown.left && shown.bottom > shown.top) {
        static std::vector<uint32_t> caption; // reused: no allocation once grown
        caption.resize(size_t(image.width) * kCaptionBarHeight);
        DrawCaptionBar(caption.data(), image.width, kCaptionBarHeight, overlay.title,
                       overlay.active);
        Copy(picture, width, clip, caption.data(), image.width, kCaptionBarHeight, bar.left,
             bar.top);
    }
}

} // namespace

Area PlaceOverlay(int imageWidth, int imageHeight, int clientY, int width, int height) {
    const int framedWidth = width + 2 * kFrameBorder;
    const int framedHeight = height + kCaptionBarHeight + 2 * kFrameBorder;
    const int pictureHeight = FullScreenHeight(imageHeight);
    const int clientTop = kCaptionBarHeight + clientY;
    const int clientHeight = imageHeight - clientY;
    int top = clientTop + (clientHeight - framedHeight) / 2;
    // Inside the picture where it fits, and never over the caption bar.
    top = std::max(std::min(top, pictureHeight - framedHeight), kCaptionBarHeight);
    const int left = (imageWidth - framedWidth) / 2;
    return Area{left + kFrameBorder, top + kFrameBorder + kCaptionBarHeight, width, height};
}

void ComposeFullScreen(const FullScreenScene &scene, const Area &box, uint32_t *picture) {
    const int width = scene.width;
    const Edges clip = Clip(EdgesOf(box), Edges{0, 0, width, FullScreenHeight(scene.height)});
    if (clip.right <= clip.left || clip.bottom <= clip.top) {
        return;
    }
    if (clip.top < kCaptionBarHeight) {
        DrawCaptionBar(picture, width, kCaptionBarHeight, scene.title, scene.active);
    }
    Copy(picture, width, clip, scene.pixels, width, scene.height, 0, kCaptionBarHeight);
    for (int i = 0; i < scene.overlayCount; ++i) {
        const Overlay &overlay = scene.overlays[i];
        const Area image =
            PlaceOverlay(width, scene.height, scene.clientY, overlay.width, overlay.height);
        DrawFrame(picture, width, clip, overlay, image);
        Copy(picture, width, clip, overlay.pixels, overlay.width, overlay.height, image.x, image.y);
    }
}

int FindOverlay(const FullScreenScene &scene, int pictureX, int pictureY, int *overlayX,
                int *overlayY) {
    for (int i = scene.overlayCount - 1; i >= 0; --i) {
        const Overlay &overlay = scene.overlays[i];
        const Area image =
            PlaceOverlay(scene.width, scene.height, scene.clientY, overlay.width, overlay.height);
        const int x = pictureX - image.x;
        const int y = pictureY - image.y;
        if (x >= -kFrameBorder && x < image.width + kFrameBorder &&
            y >= -kFrameBorder - kCaptionBarHeight && y < image.height + kFrameBorder) {
            *overlayX = x;
            *overlayY = y;
            return i;
        }
    }
    return -1;
}

} // namespace zplat
