// Rules of the invaders (alien, kamikaze, crazy, base) and the projectiles
// (rocket, missile, fireball).  Each step runs on what the previous left,
// and a step that frees the slot does not end the update.
#include "rules/invaders.h"

#include "rules/game_tick.h"
#include "rules/score.h"
#include "world/collisions.h"
#include "world/game_state.h"
#include "world/spawn.h"

static const LevelEntry &CurrentLevel() {
    return levelTable[level];
}

// A threshold event: a fresh Random(1000) strictly above the threshold.
static bool Exceeds(int32_t draw, uint32_t threshold) {
    return static_cast<uint32_t>(draw) > threshold;
}

// Crazy invaders hover a box and a half above the ground line.
static int32_t CrazyFloorY() {
    return GroundLineY() - 48;
}

static void StepY(int32_t i, int32_t (*blocked)(int32_t)) {
    GameObject &o = objectTable[i];
    o.y = WrapAdd(o.y, o.dy);
    if (blocked(i))
        o.y = WrapSub(o.y, o.dy);
}

static void StepX(int32_t i, int32_t (*blocked)(int32_t)) {
    GameObject &o = objectTable[i];
    o.x = WrapAdd(o.x, o.dx);
    if (blocked(i))
        o.x = WrapSub(o.x, o.dx);
}

static void WallBounce(GameObject &o) {
    if (o.x > WallRightX() || o.x < WALL_LEFT_X) {
        o.dx = Byte(-o.dx);
        o.x = WrapAdd(o.x, o.dx);
    }
}

static void ChaseShip(GameObject &o) {
    if (o.x > objectTable[0].x)
        o.dx = -2;
    if (o.x < objectTable[0].x)
        o.dx = 2;
}

static void NewAlienDx(GameObject &o) {
    int32_t dx = Random(10) - 2;
    o.dx = Byte(dx > 2 ? 0 : dx);
}

static void NewKamikazeDx(GameObject &o) {
    int32_t dx = Random(15) - 6;
    o.dx = Byte(dx > 6 ? 0 : dx);
}

static void LaunchKamikaze(GameObject &o) {
    o.y = WrapSub(o.y, o.dy);
    o.x = WrapSub(o.x, o.dx);
    NewKamikazeDx(o);
    o.dy = Byte(-Random(2) - 1);
    o.frame = 1;
    o.frameStep = 1;
    o.energy = 1000;
    o.delay = 0;
}

static void Destroy(int32_t i, int32_t points) {
    SpawnExplosion(i);
    objectTable[i].kind = KIND_FREE;
    AddScore(points, 0);
}

static void DestroyProjectile(int32_t i) {
    SpawnExplosion(i);
    objectTable[i].kind = KIND_FREE;
}

static void Age(GameObject &o) {
    o.energy = WrapSub(o.energy, 1);
}

void UpdateAlien(int32_t i) {
    GameObject &o = objectTable[i];
    const LevelEntry &lv = CurrentLevel();
    const bool formation = lv.wanderThreshold == FORMATION_MARK;
    StepY(i, OverlapsNonShip);
    StepX(i, OverlapsNonShip);
    WallBounce(o);
    if (Exceeds(Random(1000), lv.wanderThreshold) && o.y < clientHeight / 2 && !formation) {
        NewAlienDx(o);
        o.dy = Byte(Random(6) + 1);
    }
    if (o.y > GroundLineY()) {
        o.kind = KIND_KAMIKAZE;
        LaunchKamikaze(o);
    }
    if (o.cooldown != 0)
        o.cooldown--;
    if (Exceeds(Random(1000), lv.rocketThreshold) && o.y < clientHeight / 3 && o.cooldown == 0) {
        if (!formation) {
            o.dy = Byte(Random(6) + 1);
            NewAlienDx(o);
        }
        if (!OverlapsInvader(i)) {
            SpawnShot(i);
            o.cooldown = 128;
        }
    }
    if (Exceeds(Random(1000), lv.fireballThreshold) && o.y < clientHeight / 2 && o.cooldown == 0 &&
        !OverlapsInvader(i)) {
        SpawnFireball(i);
        o.cooldown = 128;
    }
    if (o.energy < 0)
        Destroy(i, 50);
    Age(o);
}

void UpdateKamikaze(int32_t i) {
    GameObject &o = objectTable[i];
    const LevelEntry &lv = CurrentLevel();
    StepY(i, OverlapsNonShip);
    StepX(i, OverlapsNonShip);
    WallBounce(o);
    if (o.y > GroundLineY())
        LaunchKamikaze(o);
    if (o.y < TOP_EXIT_Y) {
        o.kind = KIND_FREE;
        AddScore(-200, 0);
    }
    if (Exceeds(Random(1000), lv.wanderThreshold) && lv.wanderThreshold != FORMATION_MARK)
        NewKamikazeDx(o);
    if (o.energy < 0)
        Destroy(i, 200);
    Age(o);
}

void UpdateCrazy(int32_t i) {
    GameObject &o = objectTable[i];
    ChaseShip(o);
    o.y = WrapAdd(o.y, o.dy);
    o.x = WrapAdd(o.x, o.dx);
    WallBounce(o);
    if (o.y > CrazyFloorY()) {
        o.y = WrapSub(o.y, o.dy);
        o.dy = 0;
    }
    if (o.cooldown != 0)
        o.cooldown--;
    if (o.cooldown == 0 && !OverlapsInvader(i)) {
        SpawnShot(i);
        o.cooldown = 64;
    }
    if (o.energy < 0 || objectTable[0].kind != KIND_SHIP)
        Destroy(i, 500);
    Age(o);
}

void UpdateBase(int32_t i) {
    GameObject &o = objectTable[i];
    o.y = WrapAdd(o.y, o.dy);
    o.x = WrapAdd(o.x, o.dx);
    WallBounce(o);
    if (o.y > clientHeight / 2)
        o.dy = Byte(-o.dy);
    if (Random(500) > 200 && !OverlapsInvader(i)) {
        SpawnShot(i);
        SpawnFireball(i);
    }
}

void UpdateRocket(int32_t i) {
    GameObject &o = objectTable[i];
    StepY(i, OverlapsInvader);
    if (o.y > GroundLineY() || o.energy < 0)
        DestroyProjectile(i);
    Age(o);
}

void UpdateMissile(int32_t i) {
    GameObject &o = objectTable[i];
    o.y = WrapAdd(o.y, o.dy);
    if (o.y < TOP_EXIT_Y)
        o.kind = KIND_FREE;
}

void UpdateFireball(int32_t i) {
    GameObject &o = objectTable[i];
    ChaseShip(o);
    StepY(i, OverlapsInvader);
    StepX(i, OverlapsInvader);
    WallBounce(o);
    if (o.y > GroundLineY()) {
        o.y = WrapSub(o.y, o.dy);
        o.dy = 0;
    }
    if (o.energy < 0)
        DestroyProjectile(i);
    Age(o);
}
