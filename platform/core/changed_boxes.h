// Rectangles of a window's image, and where it changed since it was last
// shown: a few boxes rather than one around everything, so that a tick that
// moves sprites far apart is looked at only where they are.  Internal to
// platform/core.
#ifndef ZORVAK_PLATFORM_CORE_CHANGED_BOXES_H
#define ZORVAK_PLATFORM_CORE_CHANGED_BOXES_H

#include "platform/backend.h"

namespace zplat {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    Box Intersect(const Box &o) const;
    Box Union(const Box &o) const; // the bounding box of both
};

// Boxes closer than this (in pixels, either way) are kept as one: looking
// at a few pixels more costs less than another rectangle.
constexpr int kChangedBoxGap = 8;

struct ChangedBoxes {
    Box boxes[kChangedBoxes];
    int count = 0;
};

// Adds a box (an empty one adds nothing).  Boxes that overlap it or come
// within kChangedBoxGap join it; when every place is taken, it joins the
// one whose bounds grow least.  No two boxes kept overlap.
void AddChangedBox(ChangedBoxes &changed, const Box &box);

// Puts the boxes, clipped to the frame, in its hint, and forgets them.
void HandOverChangedBoxes(ChangedBoxes &changed, Frame &frame);

} // namespace zplat

#endif
