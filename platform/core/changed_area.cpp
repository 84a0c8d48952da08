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

int ChangedAreas(const uint32_t *before, const Frame &frame, Area *areas, int maxAreas) {
    const Area within = Within(frame);
    if (within.width == 0 || maxAreas <= 0) {
        return 0;
    }
    // Which cells of a band changed; kept between calls, so that a steady
    // stream of frames allocates nothing.
    static std::vector<uint8_t> cells;
    const int firstCell = within.x / kCell;
    const int endCell = (within.x + within.width + kCell - 1) / kCell;
    if (cells.size() < size_t(endCell)) {
        cells.resize(size_t(endCell));
    }
    int count = 0;
    const int right = within.x + within.width;
    for (int bandTop = within.y; bandTop < within.y + within.height; bandTop += kBandRows) {
        const int bandBottom = std::min(bandTop + kBandRows, within.y + within.height);
        int top = -1;
        int bottom = -1;
        for (int y = bandTop; y < bandBottom; ++y) {
            const uint32_t *now = frame.pixels + size_t(y) * size_t(frame.width);
            const uint32_t *was = before + size_t(y) * size_t(frame.width);
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
        // Spans of changed cells, in pixels (a cell's pixels within `within`).
        int spanLeft = -1;
        int spanRight = -1;
        for (int c = firstCell; c <= endCell; ++c) {
            const bool changed = c < endCell && cells[size_t(c)] != 0;
            const int x = std::max(c * kCell, within.x);
            if (changed && spanLeft >= 0 && x - spanRight > kMergeGap) {
                if (count == maxAreas - 1) {
                    // Out of room: the rest of the image is one rectangle.
                    areas[count++] =
                        Area{within.x, top, within.width, within.y + within.height - top};
                    return count;
                }
                areas[count++] = Area{spanLeft, top, spanRight - spanLeft + 1, bottom - top + 1};
                spanLeft = -1;
            }
            if (changed) {
                spanLeft = spanLeft < 0 ? x : spanLeft;
                spanRight = std::min(c * kCell + kCell, right) - 1;
            }
        }
        if (spanLeft >= 0) {
            if (count == maxAreas - 1 && bandBottom < within.y + within.height) {
                areas[count++] = Area{within.x, top, within.width, within.y + within.height - top};
                return count;
            }
            areas[count++] = Area{spanLeft, top, spanRight - spanLeft + 1, bottom - top + 1};
        }
    }
    return count;
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
