// Waves and the tick, the behaviour of every kind, and the score.
#include "rules/game_tick.h"
#include "rules/score.h"
#include "rules/update_object.h"
#include "tests/support/game_fixture.h"

#include <cstdlib>
#include <vector>

using namespace support;

namespace {

class RulesTest : public GameTest {};

void Update(int slot, int times = 1) {
    for (int n = 0; n < times; n++) {
        UpdateObject(slot);
    }
}

// What the tick and the waves look at: level, enemies counted, aliens, crazy
// invaders and free slots in slots 1 to 39.
std::vector<int> WaveState() {
    return {level, enemyCount, CountKind(KIND_ALIEN), CountKind(KIND_CRAZY), CountKind(KIND_FREE)};
}

TEST_F(RulesTest, FormationsAreOneRowOfFiveThatClosesUpWhenTheTableIsFull) {
    NewGame();
    level = 4;
    StartWave(); // level 5: a formation of five, then three crazy invaders
    EXPECT_EQ(WaveState(), (std::vector<int>{5, 0, 5, 3, 31}));
    for (int i = 1; i <= 5; i++) {
        // The energy is left out: the crazy invaders' trials trade it.
        const GameObject &o = objectTable[i];
        EXPECT_EQ(Obj(o.kind, 0, o.x, o.y, o.dy, o.dx, o.delay),
                  Obj(KIND_ALIEN, 0, 64 * i, -32, 2, 0, 0))
            << "slot " << i;
    }
    for (int i = 6; i <= 8; i++) { // no alien count to spread the crazy invaders over
        EXPECT_EQ(int(objectTable[i].delay), 0) << "slot " << i;
    }
    // Three free slots, the last among them: three columns side by side, no
    // crazy invader.
    ResetObjects();
    FillTable();
    objectTable[5].kind = objectTable[17].kind = objectTable[39].kind = KIND_FREE;
    level = 2;
    StartWave();
    EXPECT_EQ((std::vector<int32_t>{objectTable[5].x, objectTable[17].x, objectTable[39].x}),
              (std::vector<int32_t>{64, 128, 192}));
    EXPECT_EQ(CountKind(KIND_CRAZY), 0);
}

TEST_F(RulesTest, TheLastExplosionHoldsBackTheNextWave) {
    NewGame();
    enemyCount = 1;
    Put(3, KIND_EXPLOSION, 100, 100, 1);
    for (int t = 1; t <= 10; t++) {
        GameTick();
        ASSERT_EQ(enemyCount, t < 10 ? 1 : 0) << t;
        ASSERT_EQ(int(level), 0);
    }
    GameTick();
    EXPECT_EQ(int(level), 1);
}

// One object in slot 5 and no game (no player's ship, no lives): a dormant
// object is counted by its kind; an object that its update frees is counted
// as an enemy, since its kind is then neither a ship nor a missile.
TEST_F(RulesTest, TheTickCountsEveryKindButShipsAndMissilesAsEnemies) {
    const struct {
        int kind, delay, y, enemies;
    } rows[] = {
        {KIND_SHIP, 5, 100, 0},      {KIND_ALIEN, 5, 100, 1},    {KIND_KAMIKAZE, 5, 100, 1},
        {KIND_EXPLOSION, 5, 100, 1}, {KIND_ROCKET, 5, 100, 1},   {KIND_MISSILE, 5, 100, 0},
        {KIND_BASE, 5, 100, 1},      {KIND_FIREBALL, 5, 100, 1}, {KIND_CRAZY, 5, 100, 1},
        {KIND_STAR, 5, 100, 1},      {KIND_MISSILE, 0, -30, 1}, // leaves through the top
    };
    for (const auto &row : rows) {
        objectTable[5] = Obj(row.kind, 5000, 200, row.y, -4, 0, row.delay);
        GameTick();
        EXPECT_EQ((std::vector<int>{enemyCount, objectCount, level}),
                  (std::vector<int>{row.enemies, 1, 0}))
            << "kind " << row.kind << ", delay " << row.delay;
    }
}

// {slot, kind, x, dx, then x and dx after one update} with the walls at 32
// and clientWidth - 64 = 447: the player's ship is held inside (at 33 on the
// left), the others bounce back; an escort takes its step back and stops.
// The aliens play a formation level, so that they keep their course;
// escorts steer toward an alien 35 pixels ahead; crazy invaders and
// fireballs chase the player's ship, standing at the wall they move toward.
TEST_F(RulesTest, WallsStopTheShipAndTurnEverythingElse) {
    const struct {
        int slot, kind, x, dx, xAfter, dxAfter;
    } rows[] = {
        {0, KIND_SHIP, 34, -4, 33, -4},      {0, KIND_SHIP, 36, -4, 32, -4},
        {0, KIND_SHIP, 447, 4, 447, 4},      {0, KIND_SHIP, 445, 4, 447, 4},
        {5, KIND_ALIEN, 446, 2, 446, -2},    {5, KIND_ALIEN, 445, 2, 447, 2},
        {5, KIND_ALIEN, 33, -2, 33, 2},      {5, KIND_ALIEN, 34, -2, 32, -2},
        {5, KIND_ALIEN, 20, 2, 20, -2}, // beyond the wall by more than a step: stuck
        {5, KIND_KAMIKAZE, 446, 2, 446, -2}, {5, KIND_CRAZY, 446, 2, 446, -2},
        {5, KIND_FIREBALL, 33, -2, 33, 2},   {5, KIND_SHIP, 445, 4, 445, 0},
        {5, KIND_SHIP, 35, -4, 35, 0},
    };
    for (const auto &row : rows) {
        for (GameObject &o : objectTable) {
            o.kind = KIND_FREE;
        }
        level = 3;
        const bool chaser = row.kind == KIND_CRAZY || row.kind == KIND_FIREBALL;
        Put(0, KIND_SHIP, chaser ? (row.dx > 0 ? 447 : 33) : START_X, START_Y);
        const int dy = row.kind == KIND_KAMIKAZE || row.kind == KIND_SHIP ? -1 : 0;
        GameObject &o = objectTable[row.slot] =
            Obj(row.kind, 5000, row.x, 100, dy, row.dx, 0, 1, 1, 500);
        if (row.slot != 0 && row.kind == KIND_SHIP) {
            Put(9, KIND_ALIEN, row.x + (row.dx > 0 ? 35 : -35), 50);
        }
        Update(row.slot);
        EXPECT_EQ((std::vector<int>{o.x, o.dx}), (std::vector<int>{row.xAfter, row.dxAfter}))
            << "kind " << row.kind << " from x " << row.x;
    }
}

TEST_F(RulesTest, APlayersFireRequestIsUsedUpEvenWithNoRoomForAMissile) {
    NewGame();
    FillTable();
    fireRequested = 1;
    Update(0);
    EXPECT_EQ(fireRequested, 0);
    EXPECT_EQ(CountKind(KIND_MISSILE), 0);
}

TEST_F(RulesTest, ThePlayersShipLosesALifeBelowZeroEnergy) {
    NewGame();
    lives = 3;
    objectTable[0].energy = 0, objectTable[0].dx = 4; // 0 is not destroyed
    Update(0);
    EXPECT_EQ(objectTable[0].x, START_X + 4);
    objectTable[0].energy = -1;
    Update(0);
    EXPECT_EQ(lives, 2);
    EXPECT_EQ(objectTable[1], Obj(KIND_EXPLOSION, 1, START_X + 8, START_Y));
    // Back at the start in the same tick, at rest, with full energy.
    EXPECT_EQ(objectTable[0], Obj(KIND_SHIP, 5000, START_X, START_Y));
    lives = 1, objectTable[0].energy = -1;
    Update(0);
    EXPECT_EQ((std::vector<int>{lives, gameOver, objectTable[0].kind}),
              (std::vector<int>{0, 1, KIND_FREE}));
    SteerShipLeft(); // still writes the free slot
    EXPECT_EQ(int(objectTable[0].dx), -4);
}

TEST_F(RulesTest, EscortsScoreAsTheyClimbOutOrAreDestroyed) {
    NewGame();
    objectTable[0].x = 33;
    GameObject &e = Put(5, KIND_SHIP, 200, -32, 100);
    e.dy = -1;
    Put(9, KIND_ROCKET, 200, -200, 6000); // a target in its column, not fired at
    Update(5);
    EXPECT_EQ((std::vector<int>{e.kind, score, CountKind(KIND_MISSILE)}),
              (std::vector<int>{KIND_FREE, 500, 0}));
    Put(5, KIND_SHIP, 300, -32, -1).dy = -1; // through the top and destroyed at once
    scoreLog.clear();
    Update(5);
    ASSERT_EQ(scoreLog.size(), 2u);
    EXPECT_EQ(scoreLog[0].points, 500);
    EXPECT_EQ(scoreLog[1].points, -500);
}

// The player's ship calls an escort in when its Random(1000) is above 990,
// no ship stands within 64 pixels of the start in both axes and a slot is
// free: {the ship's x, another ship's x and y (none at 0), the draw, the
// table full, an escort called}.
TEST_F(RulesTest, AnEscortIsCalledAboveTheThresholdWhenTheStartIsClear) {
    const struct {
        int32_t shipX, otherX, otherY, draw;
        bool full, called;
    } rows[] = {
        {START_X + 65, 0, 0, 991, false, true},
        {START_X + 65, 0, 0, 990, false, false},
        {START_X - 65, 0, 0, 999, false, true},
        {START_X + 64, 0, 0, 999, false, false}, // the player's ship near the start
        {START_X - 64, 0, 0, 999, false, false},
        {START_X + 100, START_X + 64, START_Y - 64, 999, false, false}, // an escort near it
        {START_X + 100, START_X - 65, START_Y - 64, 999, false, true},
        {START_X + 100, START_X + 64, START_Y - 65, 999, false, true},
        {START_X + 100, 0, 0, 999, true, false}, // no free slot
    };
    for (const auto &row : rows) {
        NewGame();
        objectTable[0].x = row.shipX;
        if (row.otherX != 0) {
            Put(3, KIND_SHIP, row.otherX, row.otherY).dy = -1;
        }
        if (row.full) {
            FillTable();
        }
        const GameObject before = objectTable[1];
        SeedRandom(StateGiving({{1000, row.draw, row.draw}}));
        Update(0);
        EXPECT_EQ(objectTable[1], row.called ? Obj(KIND_SHIP, 1000, START_X, START_Y, -1) : before)
            << "ship at " << row.shipX << ", other at " << row.otherX << ", " << row.otherY
            << ", draw " << row.draw;
    }
}

// After a shot an escort waits 64 updates and a crazy invader 63 (it
// counts down before it fires): one shot every 65 and 64 updates.
TEST_F(RulesTest, EscortsAndCrazyInvadersFireAtTheirPace) {
    for (const auto &[kind, shots] : {std::pair{KIND_SHIP, std::vector<int>{1, 66, 131}},
                                      std::pair{KIND_CRAZY, std::vector<int>{1, 65, 129}}}) {
        NewGame();
        Put(9, KIND_ALIEN, 200, 50); // the escort's target
        Put(5, kind, 200, 200);
        std::vector<int> fired;
        for (int t = 1; t <= 131; t++) {
            const int before = CountKind(KIND_MISSILE) + CountKind(KIND_ROCKET);
            Update(5);
            if (CountKind(KIND_MISSILE) + CountKind(KIND_ROCKET) > before) {
                fired.push_back(t);
            }
        }
        EXPECT_EQ(fired, shots) << "kind " << kind;
    }
    // A crazy invader does not fire from inside another invader.
    NewGame();
    Put(5, KIND_CRAZY, 200, 200);
    Put(6, KIND_ALIEN, 210, 210);
    Update(5);
    EXPECT_EQ(CountKind(KIND_ROCKET), 0);
}

// An escort at (200, 200) stepping (4, -1) toward an invader takes the
// whole step back when it then lies less than 64 pixels from another
// escort in both axes; the player's ship (44 aside, 51 below) never counts.
TEST_F(RulesTest, AnEscortNearAnotherTakesItsWholeStepBack) {
    const int32_t others[][3] = {
        {-63, -63, 1}, {-63, 63, 1}, {-64, 0, 0}, {-10, 64, 0}, {-10, -64, 0}};
    for (const auto &o : others) {
        NewGame();
        objectTable[0].x = 160;
        Put(9, KIND_ALIEN, 400, 50);
        GameObject &e = Put(5, KIND_SHIP, 200, 200);
        e.dy = -1;
        Put(6, KIND_SHIP, 204 + o[0], 199 + o[1]).dy = -1;
        Update(5);
        EXPECT_EQ((std::vector<int>{e.x, e.y}),
                  (o[2] ? std::vector<int>{200, 200} : std::vector<int>{204, 199}))
            << "the other at " << o[0] << ", " << o[1];
    }
}

// The design's level table: alien count, crazy count, then the rocket,
// fireball and wander thresholds (65535: a formation, no wandering).
const int kLevels[16][5] = {
    {5, 0, 990, 990, 990}, {5, 0, 920, 990, 992},   {5, 1, 990, 830, 800}, {4, 0, 730, 990, 65535},
    {5, 0, 940, 990, 930}, {0, 3, 890, 890, 65535}, {7, 2, 820, 890, 892}, {8, 3, 890, 830, 65535},
    {5, 1, 730, 990, 900}, {3, 1, 840, 890, 830},   {2, 2, 790, 790, 400}, {2, 3, 720, 790, 200},
    {3, 4, 790, 730, 100}, {3, 5, 730, 790, 65535}, {2, 6, 640, 690, 600}, {1, 7, 640, 690, 910}};

// Each level's wave (a formation is one row of five), and its thresholds:
// an alien at rest in the upper third draws for a new course, a rocket and
// a fireball, each happening strictly above its threshold (a rocket also
// sets a new course outside formations).  The draws not under test lie
// below every threshold.
TEST_F(RulesTest, EveryLevelHasItsWaveAndItsAliensThresholds) {
    // No wave while an enemy is left or without lives; the level stays.
    NewGame();
    for (auto [enemies, left] : {std::pair{1, 5}, {0, 0}}) {
        enemyCount = uint8_t(enemies), lives = left;
        StartWave();
        EXPECT_EQ(WaveState(), (std::vector<int>{0, enemies, 0, 0, 39}));
    }
    for (int lv = 0; lv < 16; lv++) {
        const int *l = kLevels[lv];
        const bool formation = l[4] == 65535;
        NewGame();
        level = int8_t((lv + 15) % 16);
        StartWave();
        EXPECT_EQ((std::vector<int>{level, CountKind(KIND_ALIEN), CountKind(KIND_CRAZY)}),
                  (std::vector<int>{lv, formation ? 5 : l[0], l[1]}));
        // Draw 0 is the wander draw, 1 the rocket's, 2 the fireball's.
        for (int draw = 0; draw < 3; draw++) {
            for (int above = 0; above < 2; above++) {
                ResetObjects();
                const GameObject &a = objectTable[3] =
                    Obj(KIND_ALIEN, 5000, 200, 100, 0, 0, 0, 1, 1, draw == 0 ? 1000 : 0);
                const int threshold = l[draw == 0 ? 4 : draw + 1];
                std::vector<Draw> draws = {{1000, 0, 99}, {1000, 0, 599}, {1000, 0, 599}};
                draws[size_t(draw)] =
                    Draw{1000, std::min(threshold + above, 999), std::min(threshold + above, 999)};
                SeedRandom(StateGiving(draws));
                Update(3);
                const bool event = above && !(draw == 0 && formation);
                EXPECT_EQ(
                    (std::vector<int>{a.dy != 0, CountKind(KIND_ROCKET), CountKind(KIND_FIREBALL)}),
                    (std::vector<int>{event && draw < 2 && !formation, event && draw == 1,
                                      event && draw == 2}))
                    << "level " << lv << ", draw " << draw << " at " << threshold + above;
            }
        }
    }
}

// The lines of an alien's events: a new course (level 1) and a fireball
// (level 3) strictly above H / 2, a rocket (level 3) strictly above H / 3,
// each draw above its threshold; after a shot it waits 128 updates.
// {level, y, which draw is 999, then a new course, a rocket, a fireball}.
TEST_F(RulesTest, AnAliensEventsHappenOnlyStrictlyAboveTheirLines) {
    const int h2 = CLIENT_H / 2, h3 = CLIENT_H / 3;
    const int rows[][6] = {{1, h2 - 1, 0, 1, 0, 0}, {1, h2, 0, 0, 0, 0},
                           {3, h3 - 1, 1, 0, 1, 0}, {3, h3, 1, 0, 0, 0},
                           {3, h2 - 1, 2, 0, 0, 1}, {3, h2, 2, 0, 0, 0}};
    for (const auto &r : rows) {
        NewGame();
        level = int8_t(r[0]);
        const GameObject &a = objectTable[3] =
            Obj(KIND_ALIEN, 5000, 200, r[1], 0, 0, 0, 1, 1, r[2] == 0 ? 1000 : 0);
        std::vector<Draw> draws = {{1000, 0, 99}, {1000, 0, 599}, {1000, 0, 599}};
        draws[size_t(r[2])] = Draw{1000, 999, 999};
        SeedRandom(StateGiving(draws));
        Update(3);
        const int cooldown = r[4] || r[5] ? 128 : r[2] == 0 ? 999 : 0;
        EXPECT_EQ((std::vector<int>{a.dy != 0, CountKind(KIND_ROCKET), CountKind(KIND_FIREBALL),
                                    int(a.cooldown)}),
                  (std::vector<int>{r[3], r[4], r[5], cooldown}))
            << "level " << r[0] << ", y " << r[1];
    }
}

// Each limit holds at its line itself and acts one pixel past it: aliens
// turn kamikaze below the ground line (H - 80); kamikazes (-200 points),
// missiles and escorts (+500) leave above -32; rockets explode and
// fireballs land below the ground line; crazy invaders stop below H - 128;
// bases turn below H / 2.  {kind, y, dy, then kind (free: 0), y and dy
// (free: 0), explosions, score}.  The draws launch a kamikaze with a step
// of 13 - 6 = 7, more than 6 and so 0, and a climb of 2.
TEST_F(RulesTest, EveryLimitHoldsAtItsLineAndActsOnePixelPast) {
    const int g = CLIENT_H - 80, c = CLIENT_H - 128, m = CLIENT_H / 2;
    const int rows[][8] = {{KIND_ALIEN, g - 2, 2, KIND_ALIEN, g, 2, 0, 0},
                           {KIND_ALIEN, g - 1, 2, KIND_KAMIKAZE, g - 1, -2, 0, 0},
                           {KIND_KAMIKAZE, -30, -2, KIND_KAMIKAZE, -32, -2, 0, 0},
                           {KIND_KAMIKAZE, -31, -2, KIND_FREE, 0, 0, 0, -200},
                           {KIND_MISSILE, -28, -4, KIND_MISSILE, -32, -4, 0, 0},
                           {KIND_MISSILE, -29, -4, KIND_FREE, 0, 0, 0, 0},
                           {KIND_SHIP, -31, -1, KIND_SHIP, -32, -1, 0, 0},
                           {KIND_SHIP, -32, -1, KIND_FREE, 0, 0, 0, 500},
                           {KIND_ROCKET, g - 6, 6, KIND_ROCKET, g, 6, 0, 0},
                           {KIND_ROCKET, g - 5, 6, KIND_FREE, 0, 0, 1, 0},
                           {KIND_FIREBALL, g - 4, 4, KIND_FIREBALL, g, 4, 0, 0},
                           {KIND_FIREBALL, g - 3, 4, KIND_FIREBALL, g - 3, 0, 0, 0},
                           {KIND_CRAZY, c - 2, 2, KIND_CRAZY, c, 2, 0, 0},
                           {KIND_CRAZY, c - 1, 2, KIND_CRAZY, c - 1, 0, 0, 0},
                           {KIND_BASE, m - 1, 1, KIND_BASE, m, 1, 0, 0},
                           {KIND_BASE, m, 1, KIND_BASE, m + 1, -1, 0, 0}};
    for (const auto &r : rows) {
        NewGame();
        level = 3;
        const GameObject &o = objectTable[5] = Obj(r[0], 5000, 100, r[1], r[2], 0, 0, 1, 1, 1000);
        SeedRandom(StateGiving({{1000, 0, 999}, {15, 13, 13}, {2, 1, 1}}));
        Update(5);
        if (r[0] == KIND_ALIEN && r[3] == KIND_KAMIKAZE) { // launched, this update's 1 taken
            EXPECT_EQ(o, Obj(KIND_KAMIKAZE, 999, 100, g - 1, -2, 0, 0, 1, 1, 999));
        }
        const bool gone = o.kind == KIND_FREE;
        EXPECT_EQ((std::vector<int>{o.kind, gone ? 0 : o.y, gone ? 0 : o.dy,
                                    CountKind(KIND_EXPLOSION), score}),
                  std::vector<int>(r + 3, r + 8))
            << "kind " << r[0] << " from y " << r[1];
    }
}

// A kamikaze takes a new sideways step past the wander threshold at any
// height (here the ground line), its climb unchanged.
TEST_F(RulesTest, AKamikazeWandersAtAnyHeight) {
    NewGame();
    level = 1;
    const GameObject &k = objectTable[4] = Obj(KIND_KAMIKAZE, 5000, 200, CLIENT_H - 79, -1);
    SeedRandom(StateGiving({{1000, 993, 993}, {15, 0, 5}})); // a step of -6 to -1
    Update(4);
    EXPECT_EQ((std::vector<int>{k.dx < 0, k.dy}), (std::vector<int>{1, -1}));
}

TEST_F(RulesTest, InFormationLevelsCoursesNeverChange) {
    NewGame();
    // An alien keeps its course; a kamikaze only turns at the walls.
    GameObject &a = objectTable[3], &k = objectTable[4];
    for (int lv : {3, 5, 7, 13}) {
        level = int8_t(lv);
        a = Obj(KIND_ALIEN, 1000000, 200, -32, 2, 0, 0, 1, 1, 1000);
        k = Obj(KIND_KAMIKAZE, 1000000, 100, 250, -1, 3);
        for (int t = 0; t < 100; t++) {
            Update(3), Update(4);
            ASSERT_EQ((std::vector<int>{a.dx, a.dy, std::abs(k.dx)}), (std::vector<int>{0, 2, 3}))
                << "level " << lv << ", tick " << t;
        }
    }
}

// A base sprays a rocket and a fireball whenever its Random(500) is above
// 200, with no pause, and never ages.
TEST_F(RulesTest, ABaseSpraysAboveItsThresholdWithoutPauseAndNeverAges) {
    NewGame();
    objectTable[0].x = 33;
    GameObject &b = objectTable[20] = Obj(KIND_BASE, 10000, 200, 100, -1);
    for (int draw : {201, 200, 499, 201, 0}) {
        for (int i = 1; i < OBJECT_SLOTS; i++) {
            objectTable[i].kind = i == 20 ? KIND_BASE : KIND_FREE;
        }
        SeedRandom(StateGiving({{500, draw, draw}}));
        Update(20);
        EXPECT_EQ(CountKind(KIND_ROCKET) + CountKind(KIND_FIREBALL), draw > 200 ? 2 : 0) << draw;
    }
    EXPECT_EQ((std::vector<int>{b.y, b.energy}), (std::vector<int>{100 - 5, 10000}));
}

TEST_F(RulesTest, RocketsWaitAboveInvadersAndFireballsRollAfterTheShip) {
    NewGame();
    GameObject &r = objectTable[8] = Obj(KIND_ROCKET, 6000, 200, 63, 6);
    Put(9, KIND_ALIEN, 200, 100);
    Update(8);
    EXPECT_EQ(r.y, 63); // waits above the alien
    objectTable[9].x = 232;
    Update(8);
    EXPECT_EQ(r.y, 69);
    // A fireball lands and rolls after slot 0 (freed here, so nothing is hit).
    objectTable[0].x = 300, objectTable[0].kind = KIND_FREE;
    GameObject &f = objectTable[6] = Obj(KIND_FIREBALL, 20000, 200, CLIENT_H - 82, 4);
    Update(6);
    EXPECT_EQ((std::vector<int>{f.x, f.y, f.dy}), (std::vector<int>{202, CLIENT_H - 82, 0}));
    Update(6, 50);
    // Level with the ship it kept its step; none of this scored.
    EXPECT_EQ((std::vector<int>{f.x, f.dx}), (std::vector<int>{302, 2}));
    EXPECT_EQ(scoreLog.size(), 1u); // New game's
}

TEST_F(RulesTest, AKamikazeThatEscapesWithNoEnergyLeftScoresBoth) {
    NewGame();
    Put(7, KIND_KAMIKAZE, 200, -31, -5).dy = -2;
    Update(7);
    ASSERT_EQ(scoreLog.size(), 3u);
    EXPECT_EQ(scoreLog[1].points, -200);
    EXPECT_EQ(scoreLog[2].points, 200);
}

TEST_F(RulesTest, UnhitObjectsEndOnUpdateEnergyPlusTwoWithTheirPoints) {
    NewGame();
    level = 3;
    for (auto [kind, points] :
         {std::pair{KIND_ROCKET, 0}, std::pair{KIND_FIREBALL, 0}, std::pair{KIND_KAMIKAZE, 200},
          std::pair{KIND_CRAZY, 500}, std::pair{KIND_ALIEN, 50}}) {
        GameObject &o = Put(20, kind, 100, 100, 3);
        o.cooldown = 1000;
        int updates = 0;
        const int32_t before = score;
        for (; o.kind == kind && updates < 20; updates++) {
            o.y = 100, o.dy = kind == KIND_KAMIKAZE ? -1 : 1;
            Update(20);
        }
        EXPECT_EQ((std::vector<int>{updates, score - before}), (std::vector<int>{5, points}))
            << "kind " << kind;
    }
}

// {score, threshold, lives, AddScore's points and life change, then score,
// threshold and lives}; the status line shows at least five digits.
TEST_F(RulesTest, ABonusLifeComesAtTheThresholdItselfOncePerThreshold) {
    const std::vector<int32_t> rows[] = {
        {9950, 10000, 3, 50, 0, 10000, 20000, 4},   // reaches it exactly
        {9949, 10000, 3, 50, 0, 9999, 10000, 3},    // one short
        {9800, 10000, 3, 500, 0, 10300, 20000, 4},  // passes it by 300
        {9999, 10000, 3, 0, -1, 9999, 10000, 2},    // a lost life grants nothing
        {10000, 10000, 3, 0, 0, 10000, 20000, 4},   // every call checks, 0 points too
        {10100, 20000, 4, -200, 0, 9900, 20000, 4}, // below the old threshold
        {9900, 20000, 4, 200, 0, 10100, 20000, 4},  // and back: nothing
        {19950, 20000, 4, 50, 0, 20000, 30000, 5},  // the next one
        {300, 10000, 3, -500, 0, -200, 10000, 3},   // a score may go negative
        {99950, 100000, 3, 50, 0, 100000, 110000, 4},
    };
    for (const std::vector<int32_t> &row : rows) {
        score = row[0], nextBonusScore = row[1], lives = row[2];
        AddScore(row[3], row[4]);
        EXPECT_EQ((std::vector<int32_t>{score, nextBonusScore, lives}),
                  (std::vector<int32_t>{row[5], row[6], row[7]}))
            << "from " << row[0] << " by " << row[3];
    }
    EXPECT_EQ(headless::Title(mainWindow), "Lives: 04 - Level 00 - Score: 100000");
}

} // namespace
