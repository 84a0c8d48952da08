// Start values of every kind, the trial placement of new invaders, and the
// table of a new game.
#include "world/init_object.h"

#include "world/collisions.h"
#include "world/game_state.h"

// A column from 64 to clientWidth - 65: clear of the walls by a box.  The
// sum wraps, as the game's 32-bit values do, so that even a client area too
// narrow for the rule cannot overflow.
static int32_t RandomColumn() {
    return WrapAdd(Random(uint32_t(WrapSub(clientWidth, 128))), 64);
}

// Draws columns until the new object's box touches nothing.  Each trial is a
// full collision step: whatever a rejected column touches trades energy with
// the new object (or explodes, for a projectile).
static void PlaceByTrial(int32_t slot) {
    GameObject &o = objectTable[slot];
    o.x = RandomColumn();
    while (ResolveCollisions(slot)) {
        o.x = RandomColumn();
    }
}

static uint8_t RandomStartDelay() {
    // The range grows with the wave's size; the byte keeps the low 8 bits.
    return uint8_t(Random(500u * enemyCount));
}

void InitObject(int32_t slot) {
    GameObject &o = objectTable[slot];
    switch (o.kind) {
    case KIND_SHIP:
        o.x = ShipStartX();
        o.y = ShipStartY();
        o.dx = 0;
        o.dy = 0;
        o.frame = 1;
        o.frameStep = 1;
        o.energy = 5000;
        o.cooldown = 0;
        o.delay = 0;
        break;
    case KIND_ALIEN: {
        o.y = ENTRY_Y;
        int32_t dx = Random(10) - 2;
        if (dx > 2) {
            dx = 0;
        }
        o.dx = Byte(dx);
        o.dy = Byte(Random(6) + 1);
        o.frame = Byte(Random(5) + 1);
        o.frameStep = 1;
        o.energy = 5000;
        o.delay = RandomStartDelay();
        o.cooldown = 0;
        PlaceByTrial(slot);
        break;
    }
    case KIND_CRAZY:
        o.y = ENTRY_Y;
        o.dx = 2;
        o.dy = 2;
        o.frame = 1;
        o.frameStep = 1;
        o.energy = 4000;
        o.delay = RandomStartDelay();
        o.cooldown = 0;
        PlaceByTrial(slot);
        break;
    case KIND_BASE:
        o.x = RandomColumn();
        o.y = ENTRY_Y;
        o.dx = 0;
        o.dy = 1;
        o.frame = Byte(Random(5) + 1);
        o.frameStep = 1;
        o.energy = 10000;
        o.delay = 0;
        break;
    case KIND_STAR:
        o.dx = 1;
        o.dy = 1;
        o.energy = 10000;
        o.delay = uint8_t(Random(500) + 10);
        o.cooldown = 0;
        o.x = RandomColumn();
        o.y = WrapAdd(Random(uint32_t(WrapSub(clientHeight, 64))), 32);
        break;
    default:
        break;
    }
}

void ResetObjects() {
    for (int32_t i = 0; i < OBJECT_SLOTS; i++) {
        objectTable[i].kind = KIND_FREE;
    }
    objectTable[0].kind = KIND_SHIP;
    InitObject(0);
    enemyCount = 0;
}
