// The browser backend: showing the composed image in the window's canvas.
// Only the boxes that differ from what the canvas shows are converted and
// handed to the page (as the SDL backend sends only what changed); a frame
// that changed nothing costs no call into the page; while the page is
// hidden nothing is drawn or converted; a minimised window shows only its
// icon, and only when that changed.
#include "platform/display.h"
#include "platform/web/web_backend.h"
#include "platform/web/web_page.h"
#include "platform/window_inspection.h"

#include <algorithm>

namespace zweb {

namespace {

// The minimised window's icon: the 32 x 32 pixels at the client's origin.
constexpr int kIconSize = 32;

} // namespace

void WebBackend::ToRgba(const uint32_t *pixels, size_t count, uint8_t *rgba) {
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        rgba[4 * i] = uint8_t(p >> 16);
        rgba[4 * i + 1] = uint8_t(p >> 8);
        rgba[4 * i + 2] = uint8_t(p);
        rgba[4 * i + 3] = 0xFF;
    }
}

void WebBackend::Present(HWND window, const zplat::Frame &frame) {
    Native *native = Find(window);
    if (native == nullptr || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) {
        return;
    }
    if (zweb_page_hidden() != 0) {
        native->stale = true; // drawn again when the page is shown
        return;
    }
    if (frame.minimized) {
        PresentIcon(*native, frame);
        return;
    }
    if (!native->shownIcon.empty()) {
        native->shownIcon.clear();
        zweb_page_show_icon(native->id, nullptr); // the program's own again
    }
    PresentImage(*native, frame);
}

void WebBackend::PresentImage(Native &native, const zplat::Frame &frame) {
    const size_t count = size_t(frame.width) * size_t(frame.height);
    zplat::Frame compared = frame;
    if (native.shownImage.size() != count) {
        // A new canvas, blank: all of it differs (the image is opaque).
        native.shownImage.assign(count, 0xFF000000u);
        compared.changedWidth = 0;
    } else if (native.stale) {
        compared.changedWidth = 0; // what the core says changed is since a frame not shown
    }
    native.stale = false;
    zplat::Area areas[zplat::kMaxChangedAreas];
    const int n =
        zplat::ChangedAreas(native.shownImage.data(), compared, areas, zplat::kMaxChangedAreas);
    if (n == 0) {
        return;
    }
    size_t bytes = 0;
    for (int i = 0; i < n; ++i) {
        bytes += size_t(areas[i].width) * size_t(areas[i].height) * 4;
    }
    rgba_.resize(bytes);
    boxes_.clear();
    uint8_t *to = rgba_.data();
    for (int i = 0; i < n; ++i) {
        const zplat::Area &a = areas[i];
        for (int row = a.y; row < a.y + a.height; ++row) {
            const size_t from = size_t(row) * size_t(frame.width) + size_t(a.x);
            ToRgba(frame.pixels + from, size_t(a.width), to);
            std::copy_n(frame.pixels + from, a.width, native.shownImage.begin() + long(from));
            to += size_t(a.width) * 4;
        }
        boxes_.insert(boxes_.end(), {a.x, a.y, a.width, a.height});
    }
    zweb_page_present(native.id, rgba_.data(), boxes_.data(), n, frame.width, frame.height);
}

void WebBackend::PresentIcon(Native &native, const zplat::Frame &frame) {
    native.stale = true; // the canvas is not shown, nor kept up to date
    const int left = std::clamp(frame.clientX, 0, std::max(frame.width - kIconSize, 0));
    const int top = std::clamp(frame.clientY, 0, std::max(frame.height - kIconSize, 0));
    const int width = std::min(kIconSize, frame.width);
    const int height = std::min(kIconSize, frame.height);
    icon_.assign(size_t(kIconSize) * kIconSize, 0);
    for (int row = 0; row < height; ++row) {
        std::copy_n(frame.pixels + size_t(top + row) * size_t(frame.width) + size_t(left), width,
                    icon_.begin() + long(row) * kIconSize);
    }
    if (icon_ == native.shownIcon) {
        return;
    }
    native.shownIcon = icon_;
    rgba_.resize(icon_.size() * 4);
    ToRgba(icon_.data(), icon_.size(), rgba_.data());
    zweb_page_show_icon(native.id, rgba_.data());
}

void WebBackend::RedrawStale() {
    for (Native &native : windows_) {
        zplat::WindowInfo info;
        std::vector<uint32_t> pixels;
        int width = 0;
        int height = 0;
        if (!native.stale || !zplat::GetWindowInfo(native.window, &info) ||
            !zplat::CopyComposedImage(native.window, &pixels, &width, &height)) {
            continue;
        }
        const zplat::Frame frame = {pixels.data(),      width,         height, 0,
                                    info.menuBarHeight, info.minimized};
        Present(native.window, frame);
    }
}

} // namespace zweb
