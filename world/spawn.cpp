// Explosions, fireballs, missiles and rockets made next to a source object.
#include "world/spawn.h"

#include "platform/platform.h"
#include "presentation/sprites.h"
#include "presentation/window_services.h"
#include "world/game_state.h"

static void Fill(int32_t slot, int8_t kind, int32_t energy, int32_t x, int32_t y, int8_t dy) {
    GameObject &o = objectTable[slot];
    o.kind = kind;
    o.energy = energy;
    o.x = x;
    o.y = y;
    o.dx = 0;
    o.dy = dy;
    o.frame = 1;
    o.frameStep = 1;
    o.delay = 0;
    // cooldown is left as the slot held it: none of these kinds reads it.
}

void SpawnExplosion(int32_t i) {
    const GameObject &src = objectTable[i];
    if (src.kind == KIND_EXPLOSION) {
        return;
    }
    int32_t slot = FindFreeSlot();
    if (slot < 0) {
        // No room for an explosion: at least erase the object's last image.
        DrawIcon(drawDC, src.x, src.y, spriteSet[IC_BLANC]);
        return;
    }
    Fill(slot, KIND_EXPLOSION, 1, src.x, src.y, 0);
}

void SpawnFireball(int32_t i) {
    int32_t slot = FindFreeSlot();
    if (slot < 0) {
        return;
    }
    const GameObject &src = objectTable[i];
    Fill(slot, KIND_FIREBALL, 20000, src.x, WrapAdd(src.y, 32), 4);
    GameObject &o = objectTable[slot];
    if (o.x > objectTable[0].x) {
        o.dx = -2;
    } else if (o.x < objectTable[0].x) {
        o.dx = 2;
    } else {
        o.dx = 0;
    }
}

void SpawnShot(int32_t i) {
    int32_t slot = FindFreeSlot();
    if (slot < 0) {
        return;
    }
    const GameObject &src = objectTable[i];
    if (src.kind == KIND_SHIP) {
        Fill(slot, KIND_MISSILE, 5000, src.x, WrapSub(src.y, 32), -4);
    } else {
        Fill(slot, KIND_ROCKET, 6000, src.x, WrapAdd(src.y, 48), 6);
    }
}
