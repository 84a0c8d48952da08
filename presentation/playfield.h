// The playfield frame, erasing the objects, and the full-size pictures.
#ifndef ZORVAK_PRESENTATION_PLAYFIELD_H
#define ZORVAK_PRESENTATION_PLAYFIELD_H

#include "platform/platform.h"

void DrawPlayfield(HDC dc);
void EraseObjects();
void ShowBitmap(HDC dc, int x, int y, const char *name);

#endif
