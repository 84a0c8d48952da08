// Waves and the tick, the behaviour of every kind, and the score.
#include "rules/game_tick.h"
#include "rules/score.h"
#include "rules/update_object.h"
#include "tests/support/game_fixture.h"

#include <cstring>

using namespace support;

namespace {

class RulesTest : public GameTest {};

void Update(int slot, int times = 1) {
    for (int n = 0; n < times; n++)
        UpdateObject(slot);
}

TEST_F(RulesTest, WavesCloseUpFormationColumnsAndWaitForTheLastExplosion) {
    // The sequence of levels, that a game without lives starts no wave, the
    // layout of each level and the tick's counts are checked by the whole
    // games and the regression guard.
    NewGame();
    StartWave();
    EXPECT_TRUE(level == 1 && enemyCount == 5 && CountKind(KIND_ALIEN) == 5);
    StartWave(); // enemyCount is not 0
    EXPECT_TRUE(level == 1 && CountKind(KIND_ALIEN) == 5 && CountKind(KIND_CRAZY) == 0);
    // A formation with three free slots: the columns close up.
    ResetObjects();
    FillTable();
    objectTable[5].kind = objectTable[17].kind = objectTable[30].kind = KIND_FREE;
    level = 2;
    StartWave();
    EXPECT_EQ(objectTable[5].x + objectTable[17].x + objectTable[30].x, 64 + 128 + 192);
    EXPECT_EQ(objectTable[30].x, 192);
    // A last explosion holds back the next wave until the tick after it is gone.
    ResetObjects();
    level = 0, enemyCount = 1;
    Put(3, KIND_EXPLOSION, 100, 100, 1);
    for (int t = 1; t <= 10; t++) {
        GameTick();
        ASSERT_EQ(enemyCount, t < 10 ? 1 : 0) << t;
        ASSERT_EQ(level, 0);
    }
    GameTick();
    EXPECT_EQ(level, 1);
}

TEST_F(RulesTest, PlayersShipMovesFiresAndLosesLives) {
    NewGame();
    // (Where the walls stop the ship is pinned down by the regression guard.)
    FillTable();
    fireRequested = 1;
    Update(0);
    EXPECT_EQ(fireRequested, 0); // used up with no room for a missile
    ResetObjects();
    lives = 3;
    objectTable[0].energy = 0, objectTable[0].dx = 4; // 0 is not destroyed
    Update(0);
    EXPECT_EQ(objectTable[0].x, START_X + 4);
    objectTable[0].energy = -1;
    Update(0);
    EXPECT_TRUE(lives == 2 && objectTable[1].kind == KIND_EXPLOSION &&
                objectTable[1].x == START_X + 8 && objectTable[0].kind == KIND_SHIP &&
                objectTable[0].x == START_X && objectTable[0].dx == 0 &&
                objectTable[0].energy == 5000);
    lives = 1, objectTable[0].energy = -1;
    Update(0);
    EXPECT_TRUE(lives == 0 && gameOver == 1 && objectTable[0].kind == KIND_FREE);
    SteerShipLeft(); // still writes the free slot
    EXPECT_EQ(objectTable[0].dx, -4);
}

TEST_F(RulesTest, EscortsScoreAsTheyClimbOutOrAreDestroyed) {
    NewGame();
    objectTable[0].x = 33;
    GameObject &e = Put(5, KIND_SHIP, 200, -31, 100);
    e.dy = -1;
    Update(5); // at -32 it has not left yet
    EXPECT_TRUE(e.kind == KIND_SHIP && e.y == -32 && score == 0);
    Put(9, KIND_ROCKET, 200, -200, 6000); // a target in its column
    Update(5);
    EXPECT_TRUE(e.kind == KIND_FREE && score == 500 && CountKind(KIND_MISSILE) == 0);
    Put(5, KIND_SHIP, 300, -32, -1).dy = -1; // through the top and destroyed at once
    scoreLog.clear();
    Update(5);
    EXPECT_TRUE(scoreLog.size() == 2 && scoreLog[0].points == 500 && scoreLog[1].points == -500);
}

TEST_F(RulesTest, AliensTurnKamikazeAtTheGroundAndKeepFormation) {
    NewGame();
    // How aliens step, fire and hover is pinned down by the regression guard.
    GameObject &a = objectTable[3];
    level = 1;
    for (uint32_t seed = 1; seed <= 30; seed++) {
        SeedRandom(seed);
        Put(3, KIND_ALIEN, 100, CLIENT_H - 81).dy = 2;
        Update(3);
        ASSERT_TRUE(a.kind == KIND_KAMIKAZE && a.y == CLIENT_H - 81 && a.x == 100 &&
                    a.energy == 999 && (a.dy == -1 || a.dy == -2) && a.dx >= -6 && a.dx <= 6);
    }
    // In formation levels courses never change; a kamikaze only turns at the walls.
    for (int lv : {3, 5, 7, 13}) {
        level = int8_t(lv);
        Put(3, KIND_ALIEN, 200, -32, 1000000).dy = 2;
        a.cooldown = 1000;
        GameObject &k = Put(4, KIND_KAMIKAZE, 100, 250, 1000000);
        k.dx = 3, k.dy = -1;
        for (int t = 0; t < 100; t++) {
            Update(3), Update(4);
            ASSERT_TRUE(a.dx == 0 && a.dy == 2 && (k.dx == 3 || k.dx == -3)) << lv;
        }
    }
}

TEST_F(RulesTest, BaseDriftsTurnsAtMidHeightAndSpraysWithoutPause) {
    NewGame();
    objectTable[0].x = 33;
    GameObject &b = Put(20, KIND_BASE, 200, CLIENT_H / 2 - 1, 10000);
    b.dy = 1;
    Update(20, 2);
    EXPECT_TRUE(b.y == CLIENT_H / 2 + 1 && b.dy == -1);
    int sprays = 0;
    for (int t = 0; t < 200; t++) {
        for (int i = 1; i < OBJECT_SLOTS; i++)
            objectTable[i].kind = i == 20 ? KIND_BASE : KIND_FREE;
        Update(20);
        sprays += CountKind(KIND_ROCKET) > 0 && CountKind(KIND_FIREBALL) > 0;
    }
    EXPECT_TRUE(sprays > 90 && sprays < 150) << sprays; // about 299 in 500
    EXPECT_TRUE(b.y < -32 && b.energy == 10000);
}

TEST_F(RulesTest, ProjectilesMoveAndEnd) {
    NewGame();
    GameObject &r = Put(8, KIND_ROCKET, 200, 63, 6000);
    r.dy = 6;
    Put(9, KIND_ALIEN, 200, 100);
    Update(8);
    EXPECT_EQ(r.y, 63); // waits above the alien
    objectTable[9].x = 232;
    Update(8);
    EXPECT_EQ(r.y, 69);
    r.y = CLIENT_H - 84;
    Update(8);
    EXPECT_TRUE(r.kind == KIND_FREE && CountKind(KIND_EXPLOSION) == 1);
    // A fireball lands and rolls after slot 0 (freed here, so nothing is hit).
    objectTable[0].x = 300, objectTable[0].kind = KIND_FREE;
    GameObject &f = Put(6, KIND_FIREBALL, 200, CLIENT_H - 82, 20000);
    f.dy = 4;
    Update(6);
    EXPECT_TRUE(f.y == CLIENT_H - 82 && f.dy == 0 && f.x == 202);
    Update(6, 50);
    // Level with the ship it kept its step; none of this scored.
    EXPECT_TRUE(f.x == 302 && f.dx == 2 && scoreLog.size() == 1);
}

TEST_F(RulesTest, KamikazesScoreAsTheyEscapeAndUnhitObjectsAgeOut) {
    NewGame();
    Put(7, KIND_KAMIKAZE, 200, -31, -5).dy = -2; // escapes and explodes in one update
    Update(7);
    EXPECT_TRUE(scoreLog.size() == 3 && scoreLog[1].points == -200 && scoreLog[2].points == 200);
    // Unhit, everything ends on update energy + 2, scoring as it goes.
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
        EXPECT_TRUE(updates == 3 + 2 && score - before == points) << kind;
    }
}

TEST_F(RulesTest, BonusThresholdOutlivesTheGameAndTheStatusLineFitsLongScores) {
    // Each score event of the whole games checks the bonus and the line.
    NewGame();
    score = 123456, nextBonusScore = 130000;
    AddScore(0, -1);
    EXPECT_EQ(headless::Title(mainWindow), "Lives: 04 - Level 00 - Score: 123456");
    score = 14000, nextBonusScore = 20000;
    NewGame(); // a second game keeps the threshold
    score = 9950;
    AddScore(50, 0);
    EXPECT_EQ(lives, 5);
}

} // namespace
