// Rectangles, and the few boxes of a window's image that changed.
#include "platform/core/changed_boxes.h"

#include <algorithm>
#include <cstdint>

namespace zplat {

namespace {

bool Near(const Box &a, const Box &b) {
    return a.left < b.right + kChangedBoxGap && b.left < a.right + kChangedBoxGap &&
           a.top < b.bottom + kChangedBoxGap && b.top < a.bottom + kChangedBoxGap;
}

int64_t AreaOf(const Box &b) {
    return int64_t(b.right - b.left) * int64_t(b.bottom - b.top);
}

void RemoveAt(ChangedBoxes &changed, int i) {
    changed.boxes[i] = changed.boxes[changed.count - 1];
    --changed.count;
}

} // namespace

Box Box::Intersect(const Box &o) const {
    Box r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
          std::min(bottom, o.bottom)};
    if (r.Empty()) {
        return Box{};
    }
    return r;
}

Box Box::Union(const Box &o) const {
    if (Empty()) {
        return o;
    }
    if (o.Empty()) {
        return *this;
    }
    return Box{std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
               std::max(bottom, o.bottom)};
}

void AddChangedBox(ChangedBoxes &changed, const Box &box) {
    if (box.Empty()) {
        return;
    }
    Box joined = box;
    // A box that grew may now reach others: look again until none is near.
    for (;;) {
        int near = -1;
        for (int i = 0; i < changed.count && near < 0; ++i) {
            if (Near(changed.boxes[i], joined)) {
                near = i;
            }
        }
        if (near < 0 && changed.count < kChangedBoxes) {
            changed.boxes[changed.count++] = joined;
            return;
        }
        if (near < 0) {
            // Every place taken: the join that adds the fewest pixels.
            int64_t least = INT64_MAX;
            for (int i = 0; i < changed.count; ++i) {
                const int64_t growth =
                    AreaOf(changed.boxes[i].Union(joined)) - AreaOf(changed.boxes[i]);
                if (growth < least) {
                    least = growth;
                    near = i;
                }
            }
        }
        joined = joined.Union(changed.boxes[near]);
        RemoveAt(changed, near);
    }
}

void HandOverChangedBoxes(ChangedBoxes &changed, Frame &frame) {
    const Box all{0, 0, frame.width, frame.height};
    Box bounds;
    frame.changedBoxCount = 0;
    for (int i = 0; i < changed.count; ++i) {
        const Box b = changed.boxes[i].Intersect(all);
        if (b.Empty()) {
            continue;
        }
        bounds = bounds.Union(b);
        frame.changedBoxes[frame.changedBoxCount++] =
            Area{b.left, b.top, b.right - b.left, b.bottom - b.top};
    }
    changed.count = 0;
    frame.changedX = bounds.left;
    frame.changedY = bounds.top;
    frame.changedWidth = bounds.right - bounds.left;
    frame.changedHeight = bounds.bottom - bounds.top;
}

} // namespace zplat
