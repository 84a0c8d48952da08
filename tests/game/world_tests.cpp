// The random source, start values and placement, spawning, collisions and
// the queries.
#include "tests/support/game_fixture.h"
#include "world/collisions.h"
#include "world/init_object.h"
#include "world/spawn.h"

#include <cstring>
#include <functional>
#include <initializer_list>
#include <vector>

using namespace support;

namespace {

class WorldTest : public GameTest {};

std::vector<int32_t> Energies(std::initializer_list<int> slots) {
    std::vector<int32_t> energies;
    for (int slot : slots) {
        energies.push_back(objectTable[slot].energy);
    }
    return energies;
}

TEST_F(WorldTest, RandomFollowsTheGeneratorUpToItsRangeEnds) {
    SeedRandom(1); // the state before seeding; raw draws 41, 18467, 6334
    EXPECT_EQ(Random(32768), 41);
    EXPECT_EQ(Random(32768), 18467);
    EXPECT_EQ(Random(1000), 193);
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(1), 0);
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

// Each kind from a slot whose every field is 99, with the generator at state
// 77 and three enemies counted, in an otherwise empty table: the start values
// by kind, their draws in order, and the fields a kind leaves alone.
TEST_F(WorldTest, InitObjectGivesEachKindItsStartValues) {
    const uint32_t columns = CLIENT_W - 128; // x from 64 to clientWidth - 65
    const std::pair<int, std::function<GameObject(Generator &)>> rows[] = {
        {KIND_SHIP, [](Generator &) { return Obj(KIND_SHIP, 5000, 239, 250); }},
        {KIND_ALIEN,
         [=](Generator &g) {
             const int dx = g.Next(10) - 2, dy = g.Next(6) + 1, frame = g.Next(5) + 1;
             const int delay = g.Next(500 * 3) % 256;
             return Obj(KIND_ALIEN, 5000, g.Next(columns) + 64, -32, dy, dx > 2 ? 0 : dx, delay,
                        frame);
         }},
        {KIND_CRAZY,
         [=](Generator &g) {
             const int delay = g.Next(500 * 3) % 256;
             return Obj(KIND_CRAZY, 4000, g.Next(columns) + 64, -32, 2, 2, delay);
         }},
        {KIND_BASE,
         [=](Generator &g) {
             const int x = g.Next(columns) + 64;
             return Obj(KIND_BASE, 10000, x, -32, 1, 0, 0, g.Next(5) + 1, 1, 99);
         }},
        {KIND_STAR,
         [=](Generator &g) {
             const int delay = (g.Next(500) + 10) % 256, x = g.Next(columns) + 64;
             return Obj(KIND_STAR, 10000, x, g.Next(CLIENT_H - 64) + 32, 1, 1, delay, 99, 99);
         }},
        // Kinds made elsewhere, and codes outside the kinds, are left alone.
        {KIND_FREE, nullptr},
        {KIND_EXPLOSION, nullptr},
        {KIND_ROCKET, nullptr},
        {KIND_MISSILE, nullptr},
        {KIND_FIREBALL, nullptr},
        {11, nullptr},
    };
    for (const auto &[kind, start] : rows) {
        objectTable[5] = Obj(kind, 99, 99, 99, 99, 99, 99, 99, 99, 99);
        enemyCount = 3;
        SeedRandom(77);
        Generator g{77};
        const GameObject expected = start ? start(g) : objectTable[5];
        InitObject(5);
        EXPECT_EQ(Differences(objectTable[5], expected), "") << "kind " << kind;
    }
}

TEST_F(WorldTest, NewInvadersArePlacedByFullCollisionTrials) {
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
    EXPECT_EQ((std::vector<int>{objectTable[2].kind, objectTable[3].kind}),
              (std::vector<int>{KIND_FREE, KIND_EXPLOSION}));
}

// The source in slot 3 at (300, 100), the player's ship at x 200, 400 or
// 300; the new object takes slot 1, whose stale cooldown (77) it keeps.
TEST_F(WorldTest, SpawnedObjectsStartNextToTheirSource) {
    const struct {
        int source;
        void (*spawn)(int32_t);
        int32_t shipX;
        GameObject expected;
    } rows[] = {
        {KIND_ALIEN, SpawnExplosion, 200, Obj(KIND_EXPLOSION, 1, 300, 100, 0, 0, 0, 1, 1, 77)},
        {KIND_SHIP, SpawnShot, 200, Obj(KIND_MISSILE, 5000, 300, 68, -4, 0, 0, 1, 1, 77)},
        {KIND_ALIEN, SpawnShot, 200, Obj(KIND_ROCKET, 6000, 300, 148, 6, 0, 0, 1, 1, 77)},
        {KIND_CRAZY, SpawnShot, 200, Obj(KIND_ROCKET, 6000, 300, 148, 6, 0, 0, 1, 1, 77)},
        {KIND_BASE, SpawnShot, 200, Obj(KIND_ROCKET, 6000, 300, 148, 6, 0, 0, 1, 1, 77)},
        {KIND_ALIEN, SpawnFireball, 200, Obj(KIND_FIREBALL, 20000, 300, 132, 4, -2, 0, 1, 1, 77)},
        {KIND_ALIEN, SpawnFireball, 400, Obj(KIND_FIREBALL, 20000, 300, 132, 4, 2, 0, 1, 1, 77)},
        {KIND_ALIEN, SpawnFireball, 300, Obj(KIND_FIREBALL, 20000, 300, 132, 4, 0, 0, 1, 1, 77)},
    };
    for (const auto &row : rows) {
        Put(0, KIND_SHIP, row.shipX, 250);
        objectTable[1] = Obj(KIND_FREE, 9, 9, 9, 9, 9, 9, 9, 9, 77);
        Put(3, row.source, 300, 100);
        row.spawn(3);
        EXPECT_EQ(objectTable[1], row.expected) << "from kind " << row.source;
        EXPECT_EQ(CountKind(KIND_FREE), 37) << "from kind " << row.source;
    }
    Put(1, KIND_EXPLOSION, 300, 100, 1);
    SpawnExplosion(1); // an explosion does not explode again
    EXPECT_EQ(CountKind(KIND_FREE), 37);
}

TEST_F(WorldTest, CollisionsExchangeEnergy) {
    Put(1, KIND_ALIEN, 200, 100);
    Put(2, KIND_ALIEN, 232, 69);
    EXPECT_EQ(ResolveCollisions(1), 0); // 32 apart on one axis
    EXPECT_EQ(OverlapsNonShip(1), 0);
    objectTable[2].x = 169;
    objectTable[2].y = 68;
    EXPECT_EQ(ResolveCollisions(1), 0);
    EXPECT_EQ(OverlapsInvader(1), 0);
    objectTable[2].y = 69; // 31 apart on both
    EXPECT_EQ(OverlapsInvader(1), 1);
    EXPECT_EQ(ResolveCollisions(1), 1);
    EXPECT_EQ(Energies({1, 2}), (std::vector<int32_t>{5000, 0}));
    ResolveCollisions(2);
    EXPECT_EQ(Energies({1, 2}), (std::vector<int32_t>{5000, -5000}));
    // Three contacts, slot 0 among them: each loses the entry energy; the
    // resolved object loses what the last one in scan order holds afterwards.
    Put(0, KIND_SHIP, 300, 200);
    Put(5, KIND_CRAZY, 300, 200, 1000);
    Put(3, KIND_ALIEN, 310, 190, 7000);
    Put(7, KIND_KAMIKAZE, 290, 215, 2500);
    Put(8, KIND_ALIEN, 300, 200).delay = 1; // dormant: takes no part
    Put(9, KIND_EXPLOSION, 300, 200, 1);    // nor do explosions
    EXPECT_EQ(ResolveCollisions(5), 1);
    EXPECT_EQ(Energies({0, 3, 7, 8, 5}), (std::vector<int32_t>{4000, 6000, 1500, 5000, -500}));
    objectTable[0].kind = KIND_FREE;
    EXPECT_EQ(ResolveCollisions(9), 0);
    EXPECT_EQ(ResolveCollisions(0), 0);
    EXPECT_EQ(ResolveCollisions(8), 1);     // a dormant object being resolved acts
    EXPECT_EQ(objectTable[8].energy, 8500); // slot 7 now holds -3500
    Put(10, KIND_ALIEN, 400, 300, INT32_MIN);
    Put(11, KIND_CRAZY, 400, 300, 1);
    ResolveCollisions(10); // energies wrap as 32-bit two's complement values
    EXPECT_EQ(Energies({11, 10}), (std::vector<int32_t>{INT32_MIN + 1, -1}));
}

TEST_F(WorldTest, ProjectilesExplodeOnContact) {
    for (int i = 1; i <= 5; i++) {
        Put(i, KIND_ALIEN, 100000, 100000).delay = 200;
    }
    // A missile against a rocket: the rocket explodes first, then the missile,
    // whose explosion takes the slot just freed by the rocket.
    Put(6, KIND_MISSILE, 100, 100);
    Put(7, KIND_ROCKET, 100, 120, 6000);
    EXPECT_EQ(ResolveCollisions(6), 1);
    EXPECT_EQ(int(objectTable[6].kind), KIND_FREE);
    EXPECT_EQ(objectTable[8], Obj(KIND_EXPLOSION, 1, 100, 120));
    EXPECT_EQ(objectTable[7], Obj(KIND_EXPLOSION, 1, 100, 100));
    // The alien loses the missile's full energy; the freed missile keeps its own.
    Put(4, KIND_ALIEN, 300, 100);
    Put(6, KIND_MISSILE, 300, 120);
    ResolveCollisions(4);
    EXPECT_EQ(
        (std::vector<int32_t>{objectTable[4].energy, objectTable[6].kind, objectTable[6].energy}),
        (std::vector<int32_t>{0, KIND_FREE, 5000}));
}

TEST_F(WorldTest, AFullTableCreatesNothingAndErasesWhatCannotExplode) {
    FillTable();
    Put(4, KIND_ALIEN, 300, 100);
    Put(7, KIND_ROCKET, 100, 300, 6000);
    Put(10, KIND_ALIEN, 100, 310);
    DrawIcon(drawDC, 100, 300, spriteSet[IC_ROCKET1]);
    DrawIcon(drawDC, 300, 100, spriteSet[IC_ALIEN1]);
    GameObject before[OBJECT_SLOTS];
    std::memcpy(before, objectTable, sizeof before);
    SpawnShot(4);
    SpawnFireball(4);
    EXPECT_EQ(std::memcmp(before, objectTable, sizeof before), 0);
    // A touching rocket is still freed, and its cell erased.
    ResolveCollisions(7);
    EXPECT_EQ(int(objectTable[7].kind), KIND_FREE);
    EXPECT_EQ(objectTable[10].energy, -1000);
    EXPECT_TRUE(CellIsBlack(Client(), 100, 300));
    EXPECT_EQ(SpriteAt(Client(), 300, 100), IC_ALIEN1);
}

// The escort in slot 5 at x 200; {invaders (slot, x), the player's ship's
// x, the escort's step}.
TEST_F(WorldTest, EscortsSteerTowardTheNearestInvader) {
    const struct {
        std::vector<std::pair<int, int32_t>> invaders;
        int32_t playerX;
        int32_t step;
    } rows[] = {
        {{}, 400, 0},
        {{{9, 216}}, 400, 0},            // 16 pixels away: close enough
        {{{9, 217}}, 400, 4},            // 17: a step toward it
        {{{9, 183}}, 400, -4},           //
        {{{3, 100}, {9, 300}}, 400, -4}, // equally far: the lower slot
        {{{3, 300}, {9, 100}}, 400, 4},  //
        {{{3, 100}, {9, 260}}, 400, 4},  // the nearer one
        {{{9, 300}}, 300, 0},            // the player's ship is nearer: the first
                                         // ship from slot 1 is the escort itself
    };
    for (const auto &row : rows) {
        for (GameObject &o : objectTable) {
            o.kind = KIND_FREE;
        }
        Put(0, KIND_SHIP, row.playerX, 250);
        Put(5, KIND_SHIP, 200, 200);
        for (auto [slot, x] : row.invaders) {
            Put(slot, KIND_ALIEN, x, 50);
        }
        Put(12, KIND_ALIEN, 200, 50).delay = 9; // dormant: not a target
        EXPECT_EQ(ChooseEscortStep(5), row.step) << "row " << &row - rows;
    }
    // An explosion (as a missile or a ship would) before the escort: followed.
    Put(2, KIND_EXPLOSION, 100, 150, 1);
    EXPECT_EQ(ChooseEscortStep(5), -4);
}

// The escort in slot 5 at (200, 200) aims at the first object from slot 1
// less than 32 pixels aside that is no ship, missile or explosion and not
// dormant, unless an escort less than 32 pixels aside stands strictly
// between their heights (the player's ship never does).
TEST_F(WorldTest, EscortsAimAtTheFirstTargetInLineWithNoEscortBetween) {
    Put(5, KIND_SHIP, 200, 200);
    Put(2, KIND_ALIEN, 232, 100); // 32 aside: out of line
    Put(3, KIND_EXPLOSION, 200, 60, 1);
    Put(4, KIND_MISSILE, 200, 50);
    Put(6, KIND_ALIEN, 200, 50).delay = 3;
    Put(12, KIND_FIREBALL, 169, 100); // 31 aside
    Put(0, KIND_SHIP, 200, 150);
    EXPECT_EQ(FindShotTarget(5), 12);
    // An escort in slot 11 at {x, y}, then the target.
    const int32_t escorts[][3] = {{231, 150, 0}, {232, 150, 12}, {200, 100, 12}, {200, 200, 12}};
    for (const auto &e : escorts) {
        Put(11, KIND_SHIP, e[0], e[1]);
        EXPECT_EQ(FindShotTarget(5), e[2]) << "escort at " << e[0] << ", " << e[1];
    }
}

// In a client area narrower than the rules assume (the shell never makes
// one, but nothing else guards the arithmetic) the entry column's 32-bit sum
// wraps as two's complement instead of overflowing.
TEST_F(WorldTest, EntryColumnsWrapInAFieldNarrowerThanTheWalls) {
    // A state whose next raw draw is 16384, half the generator's range:
    // Random(n) then gives n / 2.
    const uint32_t halfDraw = 3782276673u;
    SeedRandom(halfDraw);
    ASSERT_EQ(Random(32768), 16384);
    // clientWidth 100: Random(100 - 128, taken as 2^32 - 28) is 2^31 - 14, and
    // 64 more wraps to -2^31 + 50.
    clientWidth = 100;
    SeedRandom(halfDraw);
    objectTable[1].kind = KIND_BASE;
    InitObject(1);
    EXPECT_EQ(objectTable[1].x, INT32_MIN + 50);
    EXPECT_EQ(objectTable[1].y, -32);
}

} // namespace
