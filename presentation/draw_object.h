// Draws one object's current frame at its place and advances its animation.
#ifndef ZORVAK_PRESENTATION_DRAW_OBJECT_H
#define ZORVAK_PRESENTATION_DRAW_OBJECT_H

#include <cstdint>

void DrawObject(int32_t i);

#endif
