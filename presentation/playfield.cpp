// The wall and ground frame, erasing the objects, and the full-size pictures.
#include "presentation/playfield.h"

#include "presentation/sprites.h"
#include "presentation/window_services.h"
#include "world/game_state.h"

void DrawPlayfield(HDC dc) {
    const int32_t w = clientWidth;
    const int32_t h = clientHeight;
    for (int32_t y = 0; y < h - 32; y += 32) {
        DrawIcon(dc, 0, y, spriteSet[IC_BLANC]);
        DrawIcon(dc, w - 32, y, spriteSet[IC_BLANC]);
    }
    for (int32_t x = 0; x < w - 32; x += 32) {
        DrawIcon(dc, x, h - 32, spriteSet[IC_BLANC]);
    }
    DrawIcon(dc, 0, h - 32, spriteSet[IC_BLANC]);
    DrawIcon(dc, w - 32, h - 32, spriteSet[IC_BLANC]);

    for (int32_t y = 0; y < h - 32; y += 32) {
        DrawIcon(dc, 0, y, spriteSet[IC_WALL4]);
        DrawIcon(dc, w - 32, y, spriteSet[IC_WALL3]);
    }
    // A fresh random ground at every call.
    for (int32_t x = 0; x < w - 32; x += 32) {
        DrawIcon(dc, x, h - 32, spriteSet[IC_LAND1 + Random(4)]);
    }
    DrawIcon(dc, 0, h - 32, spriteSet[IC_WALL1]);
    DrawIcon(dc, w - 32, h - 32, spriteSet[IC_WALL2]);
}

void EraseObjects() {
    // Dormant objects are not on screen; every other object loses one cell.
    for (int32_t i = 0; i < OBJECT_SLOTS; i++) {
        const GameObject &o = objectTable[i];
        if (o.kind != KIND_FREE && o.delay == 0) {
            DrawIcon(drawDC, o.x, o.y, spriteSet[IC_BLANC]);
        }
    }
}

void ShowBitmap(HDC dc, int x, int y, const char *name) {
    // Each failed step beeps and the rest goes on; only the copy itself is
    // skipped when there is no bitmap (its size is then unknown).
    if (dc == NULL) {
        MessageBeep(0xFFFFFFFF);
    }
    SetMapMode(dc, MM_TEXT);
    HBITMAP bitmap = LoadBitmapA(appInstance, name);
    if (bitmap == NULL) {
        MessageBeep(0xFFFFFFFF);
    }
    BITMAP info;
    info.bmWidth = 0;
    info.bmHeight = 0;
    if (bitmap != NULL) {
        GetObjectA(bitmap, sizeof info, &info);
    }
    HDC memory = CreateCompatibleDC(dc);
    if (memory == NULL) {
        MessageBeep(0xFFFFFFFF);
    } else {
        if (bitmap != NULL) {
            HGDIOBJ previous = SelectObject(memory, bitmap);
            BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
            SelectObject(memory, previous);
        }
        DeleteDC(memory);
    }
    if (bitmap != NULL) {
        DeleteObject(bitmap);
    }
}
