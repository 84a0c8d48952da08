// Collision resolution and the proximity queries over the object table.
#include "world/collisions.h"

#include "world/game_state.h"
#include "world/spawn.h"

static int32_t Abs(int32_t v) {
    return v < 0 ? WrapNeg(v) : v;
}

// Differences are signed 32-bit; boxes 32 or more apart on an axis do not touch.
static bool Overlap(int32_t a, int32_t b) {
    return Abs(WrapSub(objectTable[a].x, objectTable[b].x)) < 32 &&
           Abs(WrapSub(objectTable[a].y, objectTable[b].y)) < 32;
}

static bool IsProjectile(int8_t kind) {
    return kind == KIND_ROCKET || kind == KIND_MISSILE || kind == KIND_FIREBALL;
}

static bool IsInvader(int8_t kind) {
    return kind == KIND_ALIEN || kind == KIND_KAMIKAZE || kind == KIND_CRAZY;
}

// Slots "around i": 1 .. i-1, then i+1 .. 39.  Returns the next slot after j
// in that order (start with j = 0), or OBJECT_SLOTS when done.
static int32_t NextAround(int32_t i, int32_t j) {
    j++;
    if (j == i)
        j++;
    return j;
}

int32_t ResolveCollisions(int32_t i) {
    GameObject &self = objectTable[i];
    if (self.kind == KIND_FREE || self.kind == KIND_EXPLOSION)
        return 0;
    const int32_t entryEnergy = self.energy;
    int32_t hit = 0;
    int32_t last = -1;
    for (int32_t j = 0; j < OBJECT_SLOTS; j++) {
        if (j == i)
            continue;
        GameObject &other = objectTable[j];
        if (other.kind == KIND_FREE || other.delay != 0 || other.kind == KIND_EXPLOSION)
            continue;
        if (!Overlap(i, j))
            continue;
        if (IsProjectile(other.kind)) {
            SpawnExplosion(j);
            other.kind = KIND_FREE;
        } else {
            other.energy = WrapSub(other.energy, entryEnergy);
        }
        last = j;
        hit = 1;
    }
    if (hit) {
        if (IsProjectile(self.kind)) {
            SpawnExplosion(i);
            self.kind = KIND_FREE;
        } else {
            self.energy = WrapSub(self.energy, objectTable[last].energy);
        }
    }
    return hit;
}

int32_t OverlapsNonShip(int32_t i) {
    for (int32_t j = NextAround(i, 0); j < OBJECT_SLOTS; j = NextAround(i, j)) {
        const GameObject &o = objectTable[j];
        if (o.kind != KIND_FREE && o.kind != KIND_SHIP && o.delay == 0 && Overlap(i, j))
            return 1;
    }
    return 0;
}

int32_t OverlapsInvader(int32_t i) {
    for (int32_t j = NextAround(i, 0); j < OBJECT_SLOTS; j = NextAround(i, j)) {
        const GameObject &o = objectTable[j];
        if (IsInvader(o.kind) && o.delay == 0 && Overlap(i, j))
            return 1;
    }
    return 0;
}

int32_t ChooseEscortStep(int32_t i) {
    const int32_t ex = objectTable[i].x;
    int32_t target = 65535;
    for (int32_t j = NextAround(i, 0); j < OBJECT_SLOTS; j = NextAround(i, j)) {
        const GameObject &o = objectTable[j];
        if (IsInvader(o.kind) && o.delay == 0 && Abs(WrapSub(o.x, ex)) < Abs(WrapSub(target, ex)))
            target = o.x;
    }
    if (target == 65535)
        return 0;
    bool otherCloser = false;
    for (int32_t j = 0; j < OBJECT_SLOTS; j++) {
        if (j != i && objectTable[j].kind == KIND_SHIP &&
            Abs(WrapSub(ex, target)) > Abs(WrapSub(objectTable[j].x, target)))
            otherCloser = true;
    }
    if (otherCloser) {
        // Another ship is nearer: follow the first ship, explosion or missile
        // from slot 1 instead (at the latest the escort itself).
        for (int32_t j = 1; j < OBJECT_SLOTS; j++) {
            int8_t k = objectTable[j].kind;
            if (k == KIND_SHIP || k == KIND_EXPLOSION || k == KIND_MISSILE) {
                target = objectTable[j].x;
                break;
            }
        }
    }
    if (Abs(WrapSub(target, ex)) <= 16)
        return 0;
    return ex > target ? -4 : 4;
}

int32_t ShipBetween(int32_t i, int32_t t) {
    for (int32_t k = NextAround(i, 0); k < OBJECT_SLOTS; k = NextAround(i, k)) {
        const GameObject &o = objectTable[k];
        if (o.kind == KIND_SHIP && Abs(WrapSub(o.x, objectTable[i].x)) < 32 &&
            objectTable[t].y < o.y && o.y < objectTable[i].y)
            return 1;
    }
    return 0;
}

int32_t ShipNearStart(int32_t) {
    const int32_t startX = ShipStartX();
    const int32_t startY = ShipStartY();
    for (int32_t j = 0; j < OBJECT_SLOTS; j++) {
        const GameObject &o = objectTable[j];
        if (o.kind == KIND_SHIP && Abs(WrapSub(o.x, startX)) <= 64 &&
            Abs(WrapSub(o.y, startY)) <= 64)
            return 1;
    }
    return 0;
}

int32_t NearOtherShip(int32_t i) {
    for (int32_t j = NextAround(i, 0); j < OBJECT_SLOTS; j = NextAround(i, j)) {
        const GameObject &o = objectTable[j];
        if (o.kind == KIND_SHIP && Abs(WrapSub(o.x, objectTable[i].x)) < 64 &&
            Abs(WrapSub(o.y, objectTable[i].y)) < 64)
            return 1;
    }
    return 0;
}

int32_t FindShotTarget(int32_t i) {
    for (int32_t t = NextAround(i, 0); t < OBJECT_SLOTS; t = NextAround(i, t)) {
        const GameObject &o = objectTable[t];
        if (o.kind == KIND_FREE || o.delay != 0 || o.kind == KIND_SHIP ||
            o.kind == KIND_EXPLOSION || o.kind == KIND_MISSILE)
            continue;
        if (Abs(WrapSub(o.x, objectTable[i].x)) < 32)
            return ShipBetween(i, t) ? 0 : t;
    }
    return 0;
}
