// The random source, placement, spawning, collisions and the queries.
#include "tests/support/game_fixture.h"
#include "world/collisions.h"
#include "world/init_object.h"
#include "world/spawn.h"

#include <cstring>

using namespace support;

namespace {

class WorldTest : public GameTest {};

TEST(RandomSource, MatchesTheGeneratorAndItsRangeEnds) {
    SeedRandom(1); // the state before seeding; raw draws 41, 18467, 6334
    EXPECT_TRUE(Random(32768) == 41 && Random(32768) == 18467 && Random(1000) == 193);
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

TEST_F(WorldTest, NewInvadersArePlacedByFullCollisionTrials) {
    // The start values of each kind are pinned down by the regression guard.
    // The crazy's columns from state 1 are 279, then 138: a missile in the first.
    enemyCount = 5;
    const GameObject &a = objectTable[1];
    Put(2, KIND_MISSILE, 279, -20).dy = -4;
    Put(4, KIND_ALIEN, 138, -32).delay = 3; // dormant objects and explosions
    Put(5, KIND_EXPLOSION, 138, -32, 1);    // do not take part
    objectTable[1].kind = KIND_CRAZY;
    InitObject(1);
    EXPECT_EQ(a.x, 138);
    EXPECT_EQ(a.energy, 4000 - 5000); // not set again after the trials
    EXPECT_TRUE(objectTable[2].kind == KIND_FREE && objectTable[3].kind == KIND_EXPLOSION);
    // (That the trials trade energy in play is pinned down by the regression guard.)
}

TEST_F(WorldTest, CollisionsExchangeEnergy) {
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
                objectTable[7].energy == 1500 && objectTable[8].energy == 5000 &&
                objectTable[5].energy == 1000 - 1500);
    objectTable[0].kind = KIND_FREE;
    EXPECT_EQ(ResolveCollisions(9) + ResolveCollisions(0), 0);
    EXPECT_EQ(ResolveCollisions(8), 1);     // a dormant object being resolved acts
    EXPECT_EQ(objectTable[8].energy, 8500); // slot 7 now holds -3500
    Put(10, KIND_ALIEN, 400, 300, INT32_MIN);
    Put(11, KIND_CRAZY, 400, 300, 1);
    ResolveCollisions(10); // energies wrap as 32-bit two's complement values
    EXPECT_TRUE(objectTable[11].energy == INT32_MIN + 1 && objectTable[10].energy == -1);
}

TEST_F(WorldTest, ProjectilesExplodeOnContactAndAFullTableMakesNothing) {
    // (Where shots start is pinned down by the regression guard.)
    for (int i = 1; i <= 5; i++)
        Put(i, KIND_ALIEN, 100000, 100000).delay = 200;
    Put(4, KIND_ALIEN, 300, 100);
    // A missile against a rocket: the rocket explodes first, then the missile.
    Put(6, KIND_MISSILE, 100, 100);
    Put(7, KIND_ROCKET, 100, 120, 6000);
    EXPECT_EQ(ResolveCollisions(6), 1);
    // The missile's explosion took the slot just freed by the rocket.
    EXPECT_TRUE(objectTable[6].kind == KIND_FREE && objectTable[8].kind == KIND_EXPLOSION &&
                objectTable[8].y == 120 && objectTable[7].kind == KIND_EXPLOSION &&
                objectTable[7].y == 100);
    Put(6, KIND_MISSILE, 300, 120);
    ResolveCollisions(4);
    // The alien loses the missile's full energy; the freed missile keeps its own.
    EXPECT_TRUE(objectTable[4].energy == 0 && objectTable[6].kind == KIND_FREE &&
                objectTable[6].energy == 5000);
    SpawnExplosion(9); // an explosion does not explode again
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
    EXPECT_TRUE(CellIsBlack(Client(), 100, 300) && SpriteAt(Client(), 300, 100) == IC_ALIEN1);
}

TEST_F(WorldTest, EscortsAimAtTheFirstTargetInLineWithNoEscortBetween) {
    // (Which way an escort steers is pinned down by the regression guard.)
    Put(5, KIND_SHIP, 200, 200);
    Put(12, KIND_FIREBALL, 180, 100);
    Put(4, KIND_MISSILE, 200, 50);
    Put(6, KIND_ALIEN, 200, 50).delay = 3;
    Put(0, KIND_SHIP, 200, 150); // slot 0 never stands between
    EXPECT_EQ(FindShotTarget(5), 12);
    Put(11, KIND_SHIP, 220, 150);
    EXPECT_EQ(FindShotTarget(5), 0);
    objectTable[11].y = 100; // at the target's height: not between
    EXPECT_EQ(FindShotTarget(5), 12);
}

} // namespace
