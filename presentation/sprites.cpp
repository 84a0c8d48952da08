// Loading and freeing the icon sprites.
#include "presentation/sprites.h"

#include "presentation/window_services.h"

HICON spriteSet[SPRITE_COUNT];

const char *const spriteNames[SPRITE_COUNT] = {
    "IC_ALIEN1",   "IC_ALIEN2",   "IC_ALIEN3",   "IC_ALIEN4",   "IC_ALIEN5",   "IC_ROCKET1",
    "IC_ROCKET2",  "IC_LAND1",    "IC_LAND2",    "IC_LAND3",    "IC_LAND4",    "IC_EXPLOSE1",
    "IC_EXPLOSE2", "IC_EXPLOSE3", "IC_EXPLOSE4", "IC_BLANC",    "IC_KAMIK1",   "IC_KAMIK2",
    "IC_SHIP1",    "IC_SHIP2",    "IC_SHIP3",    "IC_MISSILE1", "IC_MISSILE2", "IC_BASE1",
    "IC_BASE2",    "IC_BASE3",    "IC_BASE4",    "IC_CRAZY1",   "IC_CRAZY2",   "IC_WALL1",
    "IC_WALL2",    "IC_WALL3",    "IC_WALL4",
};

void LoadSprites() {
    // The handles are not tested: a missing icon stays null and draws nothing.
    for (int s = 0; s < SPRITE_COUNT; s++) {
        spriteSet[s] = LoadIconA(appInstance, spriteNames[s]);
    }
}

void FreeSprites() {
    for (int s = SPRITE_COUNT - 1; s >= 0; s--) {
        DestroyIcon(spriteSet[s]);
        spriteSet[s] = NULL;
    }
}
