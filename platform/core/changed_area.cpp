// What changed between two frames, for backends that update the display by
// the rectangle.
#include "platform/backend.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zplat {

namespace {

// The image is looked at in bands of this many rows, each row in cells of
// kCell pixels; in a band, changed cells closer than kMergeGap pixels make
// one rectangle.
constexpr int kBandRows = 32;
constexpr int kCell = 8;
constexpr int kMergeGap = 16;

// Where the frame says it may differ: all of it unless it says less.
Area Within(const Frame &frame) {
    if (frame.changedWidth <= 0 || frame.changedHeight <= 0) {
        return Area{0, 0, frame.width, frame.height};
    }
    const int left = std::max(frame.changedX, 0);
    const int top = std::max(frame.changedY, 0);
    const int right = std::min(frame.changedX + frame.changedWidth, frame.width);
    const int bottom = std::min(frame.changedY + frame.changedHeight, frame.height);
    if (right <= left || bottom <= top) {
        return Area{0, 0, 0, 0};
    }
    return Area{left, top, right - left, bottom - top};
}

// Marks the cells of a row that hold a pixel of [x0, x1) differing between
// now and was.  A whole cell is compared without a branch, which the
// compiler does a cell at a time.
void MarkChangedCells(const uint32_t *now, const uint32_t *was, int x0, int x1, uint8_t *cells) {
    int x = x0;
    while (x < x1) {
        const int cellEnd = std::min((x / kCell + 1) * kCell, x1);
        uint32_t differ = 0;
        if (cellEnd - x == kCell) {
            for (int i = 0; i < kCell; ++i) {
                differ |= now[x + i] ^ was[x + i];
            }
        } else {
            for (int i = x; i < cellEnd; ++i) {
                differ |= now[i] ^ was[i];
            }
        }
        cells[x / kCell] |= uint8_t(differ != 0);
        x = cellEnd;
    }
}

} // namespace

namespace {

struct Scan {
    const uint32_t *before;
    const Frame &frame;
    Area *areas;
    int room;
    int count;
};

// Looks for changes within one rectangle of the frame, in bands, adding
// their rectangles.  Out of room, the last rectangle covers the rest of
// this one from the band where room ran out, and false is returned.
// moreAfter: other rectangles are still to be looked at.
bool ScanWithin(Scan &scan, const Area &within, bool moreAfter) {
    // Which cells of a band changed; kept between calls, so that a steady
    // stream of frames allocates nothing.
    static std::vector<uint8_t> cells;
    const Frame &frame = scan.frame;
    const int firstCell = within.x / kCell;
    const int endCell = (within.x + within.width + kCell - 1) / kCell;
    if (cells.size() < size_t(endCell)) {
        cells.resize(size_t(endCell));
    }
    const int right = within.x + within.width;
    const int end = within.y + within.height;
    for (int bandTop = within.y; bandTop < end; bandTop += kBandRows) {
        const int bandBottom = std::min(bandTop + kBandRows, end);
        int top = -1;
        int bottom = -1;
        for (int y = bandTop; y < bandBottom; ++y) {
            const uint32_t *now = frame.pixels + size_t(y) * size_t(frame.width);
            const uint32_t *was = scan.before + size_t(y) * size_t(frame.width);
            if (std::memcmp(now + within.x, was + within.x, size_t(within.width) * 4) == 0) {
                continue;
            }
            if (top < 0) {
                std::memset(cells.data() + firstCell, 0, size_t(endCell - firstCell));
                top = y;
            }
            bottom = y;
            MarkChangedCells(now, was, within.x, right, cells.data());
        }
        if (top < 0) {
            continue;
        }
        const Area rest = {within.x, top, within.width, end - top};
        // Spans of changed cells, in pixels (a cell's pixels within `within`).
        int spanLeft = -1;
        int spanRight = -1;
        for (int c = firstCell; c <= endCell; ++c) {
            const bool changed = c < endCell && cells[size_t(c)] != 0;
            const int x = std::max(c * kCell, within.x);
            if (changed && spanLeft >= 0 && x - spanRight > kMergeGap) {
                if (scan.count == scan.room - 1) {
                    scan.areas[scan.count++] = rest;
                    return false;
                }
                scan.areas[scan.count++] =
                    Area{spanLeft, top, spanRight - spanLeft + 1, bottom - top + 1};
                spanLeft = -1;
            }
            if (changed) {
                spanLeft = spanLeft < 0 ? x : spanLeft;
                spanRight = std::min(c * kCell + kCell, right) - 1;
            }
        }
        if (spanLeft >= 0) {
            if (scan.count == scan.room - 1 && (bandBottom < end || moreAfter)) {
                scan.areas[scan.count++] = rest;
                return false;
            }
            scan.areas[scan.count++] =
                Area{spanLeft, top, spanRight - spanLeft + 1, bottom - top + 1};
        }
    }
    return true;
}

Area Bounds(const Area &a, const Area &b) {
    const int left = std::min(a.x, b.x);
    const int top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.width, b.x + b.width);
    const int bottom = std::max(a.y + a.height, b.y + b.height);
    return Area{left, top, right - left, bottom - top};
}

} // namespace

int ChangedAreas(const uint32_t *before, const Frame &frame, Area *areas, int maxAreas) {
    const Area within = Within(frame);
    if (within.width == 0 || maxAreas <= 0) {
        return 0;
    }
    Scan scan = {before, frame, areas, maxAreas, 0};
    // The boxes narrow the hint only where there is one.
    if (frame.changedWidth <= 0 || frame.changedHeight <= 0 || frame.changedBoxCount <= 0 ||
        frame.changedBoxCount > kChangedBoxes) {
        ScanWithin(scan, within, false);
        return scan.count;
    }
    // Only the boxes the frame names, each clipped to the frame.
    Area boxes[kChangedBoxes];
    int count = 0;
    for (int i = 0; i < frame.changedBoxCount; ++i) {
        const Area &b = frame.changedBoxes[i];
        const int left = std::max(b.x, within.x);
        const int top = std::max(b.y, within.y);
        const int right = std::min(b.x + b.width, within.x + within.width);
        const int bottom = std::min(b.y + b.height, within.y + within.height);
        if (right > left && bottom > top) {
            boxes[count++] = Area{left, top, right - left, bottom - top};
        }
    }
    for (int i = 0; i < count; ++i) {
        if (!ScanWithin(scan, boxes[i], i + 1 < count)) {
            // Out of room: the last rectangle grows over the boxes not
            // looked at.
            for (int j = i + 1; j < count; ++j) {
                areas[scan.count - 1] = Bounds(areas[scan.count - 1], boxes[j]);
            }
            break;
        }
    }
    return scan.count;
}

Area ChangedArea(const uint32_t *before, const Frame &frame) {
    Area parts[kMaxChangedAreas];
    const int count = ChangedAreas(before, frame, parts, kMaxChangedAreas);
    if (count == 0) {
        return Area{0, 0, 0, 0};
    }
    int left = frame.width, top = frame.height, right = 0, bottom = 0;
    for (int i = 0; i < count; ++i) {
        left = std::min(left, parts[i].x);
        top = std::min(top, parts[i].y);
        right = std::max(right, parts[i].x + parts[i].width);
        bottom = std::max(bottom, parts[i].y + parts[i].height);
    }
    return Area{left, top, right - left, bottom - top};
}

} // namespace zplat
