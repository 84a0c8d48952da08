// The random source, placement, spawning, collisions and the queries.
#include "support.h"
#include "world/collisions.h"
#include "world/init_object.h"
#include "world/spawn.h"

#include <cstring>

using namespace gt;

namespace {

TEST(RandomSource, MatchesTheGeneratorAndItsRangeEnds) {
    SeedRandom(1); // the state before seeding; raw draws 41, 18467, 6334
    EXPECT_EQ(Random(32768), 41);
    EXPECT_EQ(Random(32768), 18467);
    EXPECT_EQ(Random(1000), 193);
    EXPECT_EQ(Random(0) + Random(1), 0);
    // States whose next raw draw is 32767 and 0 (the step inverted modulo 2^32).
    const uint32_t ranges[] = {1000, 6, 10, 0xFFFFFFFFu};
    const int32_t atMax[] = {999, 5, 9, int32_t(0xFFFFFFFFull * 32767 / 32768)}; // 47-bit product
    for (int k = 0; k < 4; k++) {
        SeedRandom(1106900357u);
        EXPECT_EQ(Random(ranges[k]), atMax[k]);
        SeedRandom(4082038149u);
        EXPECT_EQ(Random(ranges[k]), 0);
    }
}

TEST_F(GameTest, NewInvadersArePlacedByFullCollisionTrials) {
    // From state 1: dx from raw 41 (-2), dy 4, frame 1, delay 2021 & 255, column 288.
    enemyCount = 5;
    objectTable[1].kind = KIND_ALIEN;
    InitObject(1);
    const GameObject &a = objectTable[1];
    EXPECT_TRUE(a.dx == -2 && a.dy == 4 && a.frame == 1 && a.delay == 229 && a.x == 288 &&
                a.y == -32 && a.energy == 5000);
    EXPECT_EQ(Random(32768), 15724); // exactly five draws
    // The crazy's columns from state 1 are 279, then 138: a missile in the first.
    SeedRandom(1);
    Put(2, KIND_MISSILE, 279, -20).dy = -4;
    Put(4, KIND_ALIEN, 138, -32).delay = 3; // dormant objects and explosions
    Put(5, KIND_EXPLOSION, 138, -32, 1);    // do not take part
    objectTable[1].kind = KIND_CRAZY;
    InitObject(1);
    EXPECT_EQ(a.x, 138);
    EXPECT_EQ(a.energy, 4000 - 5000); // not set again after the trials
    EXPECT_TRUE(objectTable[2].kind == KIND_FREE && objectTable[3].kind == KIND_EXPLOSION);
    // Crazies placed next to an active formation row trade energy with it.
    for (int k = 0; k < 5; k++)
        Put(1 + k, KIND_ALIEN, 64 + 64 * k, -32);
    for (int n = 0; n < 60; n++) {
        objectTable[6].kind = KIND_CRAZY;
        InitObject(6);
        int32_t x = objectTable[6].x;
        ASSERT_TRUE(x >= 352 || x == 96 || x == 160 || x == 224 || x == 288) << x;
    }
    int traded = 0;
    for (int k = 1; k <= 5; k++)
        traded += objectTable[k].energy != 5000;
    EXPECT_GT(traded, 0);
}

TEST_F(GameTest, CollisionsExchangeEnergy) {
    Put(1, KIND_ALIEN, 200, 100);
    Put(2, KIND_ALIEN, 232, 69);
    EXPECT_EQ(ResolveCollisions(1) + OverlapsNonShip(1), 0); // 32 apart on one axis
    objectTable[2].x = 169;
    objectTable[2].y = 68;
    EXPECT_EQ(ResolveCollisions(1) + OverlapsInvader(1), 0);
    objectTable[2].y = 69;
    EXPECT_EQ(ResolveCollisions(1) + OverlapsInvader(1), 2); // 31 on both
    EXPECT_TRUE(objectTable[1].energy == 5000 && objectTable[2].energy == 0);
    ResolveCollisions(2);
    EXPECT_TRUE(objectTable[1].energy == 5000 && objectTable[2].energy == -5000);
    // Three contacts, slot 0 among them: each loses the entry energy; the
    // resolved object loses what the last one in scan order holds afterwards.
    Put(0, KIND_SHIP, 300, 200);
    Put(5, KIND_CRAZY, 300, 200, 1000);
    Put(3, KIND_ALIEN, 310, 190, 7000);
    Put(7, KIND_KAMIKAZE, 290, 215, 2500);
    Put(8, KIND_ALIEN, 300, 200).delay = 1; // dormant: takes no part
    Put(9, KIND_EXPLOSION, 300, 200, 1);    // nor do explosions
    EXPECT_EQ(ResolveCollisions(5), 1);
    EXPECT_TRUE(objectTable[0].energy == 4000 && objectTable[3].energy == 6000 &&
                objectTable[7].energy == 1500 && objectTable[8].energy == 5000);
    EXPECT_EQ(objectTable[5].energy, 1000 - 1500);
    objectTable[0].kind = KIND_FREE;
    EXPECT_EQ(ResolveCollisions(9) + ResolveCollisions(0), 0);
    EXPECT_EQ(ResolveCollisions(8), 1);     // a dormant object being resolved acts
    EXPECT_EQ(objectTable[8].energy, 8500); // slot 7 now holds -3500
    Put(10, KIND_ALIEN, 400, 300, INT32_MIN);
    Put(11, KIND_CRAZY, 400, 300, 1);
    ResolveCollisions(10); // energies wrap as 32-bit two's complement values
    EXPECT_TRUE(objectTable[11].energy == INT32_MIN + 1 && objectTable[10].energy == -1);
}

TEST_F(GameTest, ProjectilesSpawnClearOfTheirSourceAndExplodeOnContact) {
    Put(0, KIND_FREE, 200, 250); // fireballs steer toward slot 0 even when it is free
    Put(3, KIND_SHIP, 200, 400);
    Put(4, KIND_ALIEN, 300, 100);
    SpawnShot(3);
    SpawnShot(4);
    SpawnFireball(4);
    const GameObject &m = objectTable[1], &r = objectTable[2], &f = objectTable[5];
    EXPECT_TRUE(m.kind == KIND_MISSILE && m.y == 368 && m.dy == -4 && m.energy == 5000);
    EXPECT_TRUE(r.kind == KIND_ROCKET && r.y == 148 && r.dy == 6 && r.energy == 6000);
    EXPECT_TRUE(f.kind == KIND_FIREBALL && f.y == 132 && f.dx == -2 && f.energy == 20000);
    // A missile against a rocket: the rocket explodes first, then the missile.
    Put(6, KIND_MISSILE, 100, 100);
    Put(7, KIND_ROCKET, 100, 120, 6000);
    EXPECT_EQ(ResolveCollisions(6), 1);
    EXPECT_EQ(objectTable[6].kind, KIND_FREE);
    EXPECT_TRUE(objectTable[8].kind == KIND_EXPLOSION && objectTable[8].y == 120);
    // The missile's explosion took the slot just freed by the rocket.
    EXPECT_TRUE(objectTable[7].kind == KIND_EXPLOSION && objectTable[7].y == 100);
    Put(6, KIND_MISSILE, 300, 120);
    ResolveCollisions(4); // the alien loses the missile's full energy
    EXPECT_TRUE(objectTable[4].energy == 0 && objectTable[6].kind == KIND_FREE);
    EXPECT_EQ(objectTable[6].energy, 5000); // a freed projectile keeps its energy
    SpawnExplosion(9);                      // an explosion does not explode again
    EXPECT_EQ(objectTable[6].kind, KIND_FREE);
    // A full table: nothing is created, a touching rocket is still freed, and
    // the cell of what would explode is erased instead.
    FillTable();
    Put(7, KIND_ROCKET, 100, 300, 6000);
    Put(10, KIND_ALIEN, 100, 310);
    DrawIcon(drawDC, 100, 300, spriteSet[IC_ROCKET1]);
    DrawIcon(drawDC, 300, 100, spriteSet[IC_ALIEN1]);
    GameObject before[OBJECT_SLOTS];
    std::memcpy(before, objectTable, sizeof before);
    SpawnShot(4);
    SpawnFireball(4);
    EXPECT_EQ(std::memcmp(before, objectTable, sizeof before), 0);
    ResolveCollisions(7);
    EXPECT_TRUE(objectTable[7].kind == KIND_FREE && objectTable[10].energy == -1000);
    EXPECT_TRUE(CellIsBlack(Client(), 100, 300));
    EXPECT_EQ(SpriteAt(Client(), 300, 100), IC_ALIEN1);
}

TEST_F(GameTest, EscortQueries) {
    Put(0, KIND_SHIP, 33, 250);
    Put(5, KIND_SHIP, 200, 200);
    EXPECT_EQ(ChooseEscortStep(5), 0); // no invader
    const int columns[][2] = {{216, 0}, {217, 4}, {183, -4}};
    for (auto [x, step] : columns) {
        Put(9, KIND_ALIEN, x, 20);
        EXPECT_EQ(ChooseEscortStep(5), step) << x;
    }
    Put(9, KIND_CRAZY, 150, 20);
    Put(7, KIND_KAMIKAZE, 250, 20); // the same distance: the lower slot wins
    EXPECT_EQ(ChooseEscortStep(5), 4);
    objectTable[0].x = 240;            // closer to it: the escort follows the first ship,
    EXPECT_EQ(ChooseEscortStep(5), 0); // explosion or missile from slot 1: itself
    // Shot targets: the first in scan order within 31 pixels, no escort between.
    Put(12, KIND_FIREBALL, 180, 100);
    Put(4, KIND_MISSILE, 200, 50);
    Put(6, KIND_ALIEN, 200, 50).delay = 3;
    Put(0, KIND_SHIP, 200, 150); // slot 0 never stands between
    objectTable[7].x = objectTable[9].x = 400;
    EXPECT_EQ(FindShotTarget(5), 12);
    Put(11, KIND_SHIP, 220, 150);
    EXPECT_EQ(FindShotTarget(5), 0);
    objectTable[11].y = 100; // at the target's height: not between
    EXPECT_EQ(FindShotTarget(5), 12);
    // Nearness: at most 64 from the start position, under 64 between escorts.
    objectTable[11].kind = KIND_FREE;
    objectTable[5].y = 100;
    Put(0, KIND_SHIP, START_X + 64, START_Y + 64);
    EXPECT_EQ(ShipNearStart(0), 1);
    objectTable[0].x = START_X - 65;
    EXPECT_EQ(ShipNearStart(0), 0);
    Put(20, KIND_SHIP, 263, 37).delay = 2; // dormancy is not tested
    EXPECT_EQ(NearOtherShip(5), 1);
    objectTable[20].x = 264;
    EXPECT_EQ(NearOtherShip(5), 0);
}

} // namespace
