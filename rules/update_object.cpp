// The per-tick update of one slot, and the rules of ships.
#include "rules/update_object.h"

#include "presentation/draw_object.h"
#include "rules/invaders.h"
#include "rules/score.h"
#include "world/collisions.h"
#include "world/game_state.h"
#include "world/init_object.h"
#include "world/spawn.h"

static void UpdatePlayerShip() {
    GameObject &o = objectTable[0];
    o.x = WrapAdd(o.x, o.dx);
    if (o.x > WallRightX())
        o.x = WallRightX();
    if (o.x < WALL_LEFT_X)
        o.x = WALL_LEFT_X + 1;
    if (fireRequested) {
        SpawnShot(0);
        fireRequested = 0;
    }
    if (o.energy < 0) {
        SpawnExplosion(0);
        AddScore(0, -1);
        if (lives != 0) {
            InitObject(0);
        } else {
            o.kind = KIND_FREE;
            gameOver = 1;
        }
        return;
    }
    // Now and then an escort is called in, when the way from the start
    // position is clear.
    if (Random(1000) <= 990)
        return;
    if (ShipNearStart(0))
        return;
    int32_t j = FindFreeSlot();
    if (j < 0)
        return;
    objectTable[j].kind = KIND_SHIP;
    InitObject(j);
    objectTable[j].dy = -1;
    objectTable[j].energy = 1000;
}

static void UpdateEscort(int32_t i) {
    GameObject &o = objectTable[i];
    o.dx = Byte(ChooseEscortStep(i));
    o.x = WrapAdd(o.x, o.dx);
    o.y = WrapAdd(o.y, o.dy);
    if (NearOtherShip(i)) {
        o.x = WrapSub(o.x, o.dx);
        o.y = WrapSub(o.y, o.dy);
    }
    if (o.y < TOP_EXIT_Y) {
        o.kind = KIND_FREE;
        AddScore(500, 0);
    } else if (o.cooldown != 0) {
        o.cooldown--;
    } else if (FindShotTarget(i)) {
        SpawnShot(i);
        o.cooldown = 64;
    }
    if (o.x > WallRightX() || o.x < WALL_LEFT_X) {
        o.dx = Byte(-o.dx);
        o.x = WrapAdd(o.x, o.dx);
        o.dx = 0;
    }
    if (o.energy < 0) {
        SpawnExplosion(i);
        AddScore(-500, 0);
        o.kind = KIND_FREE;
    }
    o.energy = WrapSub(o.energy, 1);
}

void UpdateObject(int32_t i) {
    if (objectTable[i].kind == KIND_FREE)
        return;
    ResolveCollisions(i);
    DrawObject(i);
    switch (objectTable[i].kind) {
    case KIND_SHIP:
        if (i == 0)
            UpdatePlayerShip();
        else
            UpdateEscort(i);
        break;
    case KIND_ALIEN:
        UpdateAlien(i);
        break;
    case KIND_KAMIKAZE:
        UpdateKamikaze(i);
        break;
    case KIND_CRAZY:
        UpdateCrazy(i);
        break;
    case KIND_BASE:
        UpdateBase(i);
        break;
    case KIND_ROCKET:
        UpdateRocket(i);
        break;
    case KIND_MISSILE:
        UpdateMissile(i);
        break;
    case KIND_FIREBALL:
        UpdateFireball(i);
        break;
    default:
        break;
    }
}

void SteerShipLeft() {
    objectTable[0].dx = -4;
}

void SteerShipRight() {
    objectTable[0].dx = 4;
}
