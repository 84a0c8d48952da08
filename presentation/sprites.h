// The 33 icon sprites, loaded once by name from appInstance.
#ifndef ZORVAK_PRESENTATION_SPRITES_H
#define ZORVAK_PRESENTATION_SPRITES_H

#include "platform/platform.h"

// Indices into spriteSet, in load order; each is named after its resource.
enum SpriteName {
    IC_ALIEN1,
    IC_ALIEN2,
    IC_ALIEN3,
    IC_ALIEN4,
    IC_ALIEN5,
    IC_ROCKET1,
    IC_ROCKET2,
    IC_LAND1,
    IC_LAND2,
    IC_LAND3,
    IC_LAND4,
    IC_EXPLOSE1,
    IC_EXPLOSE2,
    IC_EXPLOSE3,
    IC_EXPLOSE4,
    IC_BLANC,
    IC_KAMIK1,
    IC_KAMIK2,
    IC_SHIP1,
    IC_SHIP2,
    IC_SHIP3,
    IC_MISSILE1,
    IC_MISSILE2,
    IC_BASE1,
    IC_BASE2,
    IC_BASE3,
    IC_BASE4,
    IC_CRAZY1,
    IC_CRAZY2,
    IC_WALL1,
    IC_WALL2,
    IC_WALL3,
    IC_WALL4,
    SPRITE_COUNT
};

extern HICON spriteSet[SPRITE_COUNT];
// Resource names, in the same order ("IC_ALIEN1" ...).
extern const char *const spriteNames[SPRITE_COUNT];

void LoadSprites();
void FreeSprites();

#endif
