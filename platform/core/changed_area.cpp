// What changed between two frames, for backends that update the display by
// the rectangle.
#include "platform/backend.h"

#include <algorithm>
#include <cstring>

namespace zplat {

Area ChangedArea(const uint32_t *before, const Frame &frame) {
    int left = frame.width;
    int right = -1;
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < frame.height; ++y) {
        const uint32_t *now = frame.pixels + (size_t)y * frame.width;
        const uint32_t *was = before + (size_t)y * frame.width;
        if (std::memcmp(now, was, (size_t)frame.width * 4) == 0) {
            continue;
        }
        if (top < 0) {
            top = y;
        }
        bottom = y;
        int x = 0;
        while (now[x] == was[x]) {
            ++x;
        }
        left = std::min(left, x);
        x = frame.width - 1;
        while (now[x] == was[x]) {
            --x;
        }
        right = std::max(right, x);
    }
    if (top < 0) {
        return Area{0, 0, 0, 0};
    }
    return Area{left, top, right - left + 1, bottom - top + 1};
}

} // namespace zplat
