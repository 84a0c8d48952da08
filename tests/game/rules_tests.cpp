// Waves and the tick, the behaviour of every kind, and the score.
#include "rules/game_tick.h"
#include "rules/score.h"
#include "rules/update_object.h"
#include "support.h"

#include <cstdlib>
#include <cstring>

using namespace gt;

namespace {

void Update(int slot, int times = 1) {
    for (int n = 0; n < times; n++)
        UpdateObject(slot);
}

TEST_F(GameTest, WavesFollowTheLevelTable) {
    NewGame();
    EXPECT_EQ(headless::Title(mainWindow), "Lives: 05 - Level 01 - Score: 00000");
    StartWave();
    EXPECT_EQ(level, 1);
    EXPECT_EQ(enemyCount, 5);
    EXPECT_EQ(CountKind(KIND_ALIEN), 5);
    EXPECT_EQ(CountKind(KIND_CRAZY), 0);
    StartWave(); // enemyCount is not 0
    EXPECT_EQ(level, 1);
    ResetObjects();
    level = 15;
    StartWave();
    EXPECT_EQ(level, 0);
    ResetObjects();
    lives = 0;
    StartWave(); // no wave without lives
    EXPECT_EQ(level, 0);
    lives = 5;
    level = 4;
    StartWave(); // level 5: a formation row and three crazies, all active
    for (int k = 0; k < 5; k++) {
        const GameObject &a = objectTable[1 + k];
        EXPECT_TRUE(a.kind == KIND_ALIEN && a.x == 64 + 64 * k && a.y == -32 && a.dx == 0 &&
                    a.dy == 2 && a.delay == 0);
    }
    EXPECT_EQ(CountKind(KIND_CRAZY), 3);
    for (int i = 6; i <= 8; i++)
        EXPECT_EQ(objectTable[i].delay, 0);
    // A formation with three free slots: the columns close up.
    ResetObjects();
    FillTable();
    objectTable[5].kind = objectTable[17].kind = objectTable[30].kind = KIND_FREE;
    level = 2;
    StartWave();
    EXPECT_EQ(objectTable[5].x + objectTable[17].x + objectTable[30].x, 64 + 128 + 192);
    EXPECT_EQ(objectTable[30].x, 192);
}

TEST_F(GameTest, TickUpdatesInSlotOrderAndCountsAsItGoes) {
    NewGame();
    enemyCount = 1; // no wave
    Put(3, KIND_ALIEN, 100, 50).delay = 3;
    Put(4, KIND_MISSILE, 300, -30).dy = -4; // leaves through the top in this tick
    Put(6, KIND_SHIP, 60, 100).dy = -1;
    fireRequested = 1;
    GameTick();
    EXPECT_TRUE(objectTable[3].delay == 2 && objectTable[3].y == 50); // dormant: only counted down
    EXPECT_EQ(objectTable[4].kind, KIND_FREE);
    // The ship's missile took slot 1 and was moved in the same tick.
    EXPECT_TRUE(objectTable[1].kind == KIND_MISSILE && objectTable[1].y == START_Y - 36);
    EXPECT_EQ(objectCount, 4); // missile, dormant alien, freed slot, escort
    EXPECT_EQ(enemyCount, 2);  // dormant alien and the freed slot
    // A last explosion holds back the next wave until the tick after it is gone.
    ResetObjects();
    enemyCount = 1;
    Put(3, KIND_EXPLOSION, 100, 100, 1);
    for (int t = 1; t <= 10; t++) {
        GameTick();
        ASSERT_EQ(enemyCount, t < 10 ? 1 : 0) << t;
        ASSERT_EQ(level, 0);
    }
    GameTick();
    EXPECT_EQ(level, 1);
}

TEST_F(GameTest, PlayersShipMovesFiresAndLosesLives) {
    NewGame();
    objectTable[0].x = 34;
    SteerShipLeft();
    Update(0);
    EXPECT_EQ(objectTable[0].x, 33);
    Update(0);
    EXPECT_EQ(objectTable[0].x, 33);
    SteerShipRight();
    objectTable[0].x = CLIENT_W - 64;
    Update(0);
    EXPECT_EQ(objectTable[0].x, CLIENT_W - 64);
    fireRequested = 1;
    Update(0, 2);
    EXPECT_EQ(CountKind(KIND_MISSILE), 1);
    FillTable();
    fireRequested = 1;
    Update(0);
    EXPECT_EQ(fireRequested, 0); // used up with no room for a missile
    ResetObjects();
    lives = 3;
    objectTable[0].energy = 0; // 0 is not destroyed
    objectTable[0].dx = 4;
    Update(0);
    EXPECT_EQ(objectTable[0].x, START_X + 4);
    objectTable[0].energy = -1;
    Update(0);
    EXPECT_EQ(lives, 2);
    EXPECT_TRUE(objectTable[1].kind == KIND_EXPLOSION && objectTable[1].x == START_X + 8);
    EXPECT_TRUE(objectTable[0].kind == KIND_SHIP && objectTable[0].x == START_X &&
                objectTable[0].dx == 0 && objectTable[0].energy == 5000);
    lives = 1;
    objectTable[0].energy = -1;
    Update(0);
    EXPECT_TRUE(lives == 0 && gameOver == 1 && objectTable[0].kind == KIND_FREE);
    SteerShipLeft(); // still writes the free slot
    EXPECT_EQ(objectTable[0].dx, -4);
}

TEST_F(GameTest, EscortsComeOnlyWhileTheStartPositionIsClear) {
    NewGame();
    uint32_t seed = 1;
    for (SeedRandom(seed); Random(1000) <= 990; SeedRandom(++seed)) {
    }
    for (int dx : {64, -64, -65, -65}) {
        objectTable[0].x = START_X + dx;
        SeedRandom(seed);
        Update(0);
    }
    // One escort, at 65 pixels; the second try found it near the start.
    EXPECT_EQ(CountKind(KIND_SHIP), 1);
    const GameObject &e = objectTable[1];
    EXPECT_TRUE(e.x == START_X && e.y == START_Y && e.dy == -1 && e.energy == 1000);
}

TEST_F(GameTest, EscortsClimbScoreAndStepBack) {
    NewGame();
    objectTable[0].x = 33;
    GameObject &e = Put(5, KIND_SHIP, 200, -32, 100);
    e.dy = -1;
    Put(9, KIND_ROCKET, 200, -200, 6000); // a target in its column
    Update(5);
    EXPECT_TRUE(e.kind == KIND_FREE && score == 500 && CountKind(KIND_MISSILE) == 0);
    Put(5, KIND_SHIP, 300, -32, -1).dy = -1; // through the top and destroyed at once
    ScoreLog().clear();
    Update(5);
    ASSERT_EQ(ScoreLog().size(), 2u);
    EXPECT_TRUE(ScoreLog()[0].points == 500 && ScoreLog()[1].points == -500);
    // Near another escort the whole step is taken back; at a wall, the step.
    Put(9, KIND_ALIEN, 400, 20);
    Put(5, KIND_SHIP, 200, 200, 1000).dy = -1;
    Put(6, KIND_SHIP, 141, 140).delay = 50;
    Update(5);
    EXPECT_TRUE(e.x == 200 && e.y == 200 && e.dx == 4);
    objectTable[6].kind = KIND_FREE;
    e.x = CLIENT_W - 66;
    objectTable[9].x = CLIENT_W;
    Update(5);
    EXPECT_TRUE(e.x == CLIENT_W - 66 && e.y == 199 && e.dx == 0);
}

TEST_F(GameTest, AlienMovesAxisByAxisAndTurnsKamikazeAtTheGround) {
    NewGame();
    level = 3; // formation: no random course
    GameObject &a = Put(3, KIND_ALIEN, 200, 100);
    a.dx = a.dy = 2;
    a.cooldown = 5;
    Put(4, KIND_EXPLOSION, 200, 133, 1); // blocks the vertical step only
    Update(3);
    EXPECT_TRUE(a.x == 202 && a.y == 100 && a.cooldown == 4 && a.energy == 4999);
    EXPECT_EQ(CountKind(KIND_ROCKET) + CountKind(KIND_FIREBALL), 0);
    level = 1;
    for (uint32_t seed = 1; seed <= 30; seed++) {
        SeedRandom(seed);
        Put(3, KIND_ALIEN, 100, CLIENT_H - 81).dy = 2;
        Update(3);
        ASSERT_TRUE(a.kind == KIND_KAMIKAZE && a.y == CLIENT_H - 81 && a.x == 100);
        ASSERT_TRUE(a.energy == 999 && (a.dy == -1 || a.dy == -2) && a.dx >= -6 && a.dx <= 6);
    }
}

TEST_F(GameTest, FormationCoursesNeverChange) {
    NewGame();
    for (int lv : {3, 5, 7, 13}) {
        level = int8_t(lv);
        GameObject &a = Put(3, KIND_ALIEN, 200, -32, 1000000);
        a.dy = 2;
        a.cooldown = 1000;
        GameObject &k = Put(4, KIND_KAMIKAZE, 100, 250, 1000000);
        k.dx = 3;
        k.dy = -1;
        for (int t = 0; t < 100; t++) {
            Update(3);
            Update(4);
            ASSERT_TRUE(a.dx == 0 && a.dy == 2 && (k.dx == 3 || k.dx == -3)) << lv;
        }
    }
}

TEST_F(GameTest, AlienFiresAtMostOnceIn128Updates) {
    NewGame();
    level = 15;
    GameObject &a = Put(20, KIND_ALIEN, 200, 10, 1000000);
    int shots = 0, first = -1;
    for (int t = 0; t < 600; t++) {
        a.x = 200, a.y = 10;
        Update(20);
        for (int i = 1; i < OBJECT_SLOTS; i++) {
            if (i != 20 && objectTable[i].kind != KIND_FREE) {
                ASSERT_TRUE(first < 0 || t - first >= 128) << t;
                first = first < 0 || t - first >= 128 ? t : first;
                shots += objectTable[i].kind != KIND_EXPLOSION;
                objectTable[i].kind = KIND_FREE;
            }
        }
    }
    EXPECT_GE(shots, 3);
}

TEST_F(GameTest, KamikazesAndCraziesScoreAsTheyEnd) {
    NewGame();
    Put(7, KIND_KAMIKAZE, 200, -31, -5).dy = -2; // escapes and explodes in one update
    Update(7);
    ASSERT_EQ(ScoreLog().size(), 3u);
    EXPECT_TRUE(ScoreLog()[1].points == -200 && ScoreLog()[2].points == 200);
    Put(10, KIND_CRAZY, 100, 50).cooldown = 30;
    Put(12, KIND_CRAZY, 300, 50).cooldown = 30;
    objectTable[0].kind = KIND_FREE; // the player's ship is gone
    Update(10);
    Update(12);
    EXPECT_EQ(score, 1000);
    EXPECT_EQ(CountKind(KIND_EXPLOSION), 3);
}

TEST_F(GameTest, CrazyHoversAboveTheShipAndFiresEvery64Updates) {
    NewGame();
    objectTable[0].x = 400;
    GameObject &c = Put(10, KIND_CRAZY, 100, -32, 100000);
    c.dx = c.dy = 2;
    int rockets = 0;
    for (int t = 0; t < 400; t++) {
        Update(10);
        for (int i = 1; i < OBJECT_SLOTS; i++) {
            if (i != 10 && objectTable[i].kind == KIND_ROCKET) {
                EXPECT_EQ(t % 64, 0) << t;
                rockets++;
                objectTable[i].kind = KIND_FREE;
            }
        }
    }
    EXPECT_TRUE(c.y == 202 && c.dy == 0); // the last even y not above H - 128
    EXPECT_LE(std::abs(c.x - 400), 2);
    EXPECT_EQ(rockets, 7); // updates 0, 64, ..., 384
}

TEST_F(GameTest, BaseDriftsTurnsAtMidHeightAndSpraysWithoutPause) {
    NewGame();
    objectTable[0].x = 33;
    GameObject &b = Put(20, KIND_BASE, 200, CLIENT_H / 2 - 1, 10000);
    b.dy = 1;
    Update(20, 2);
    EXPECT_TRUE(b.y == CLIENT_H / 2 + 1 && b.dy == -1);
    for (int i = 1; i < 20; i++)
        objectTable[i].kind = KIND_FREE;
    int sprays = 0;
    for (int t = 0; t < 200; t++) {
        int before = CountKind(KIND_ROCKET);
        Update(20);
        sprays += CountKind(KIND_ROCKET) > before && CountKind(KIND_FIREBALL) > 0;
        for (int i = 1; i < OBJECT_SLOTS; i++)
            objectTable[i].kind = i == 20 ? KIND_BASE : KIND_FREE;
    }
    EXPECT_TRUE(sprays > 90 && sprays < 150) << sprays; // about 299 in 500
    EXPECT_TRUE(b.y < -32 && b.energy == 10000);
}

TEST_F(GameTest, ProjectilesMoveAndEnd) {
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
    GameObject &m = Put(7, KIND_MISSILE, 200, -28);
    m.dy = -4;
    Update(7, 2);
    EXPECT_TRUE(m.kind == KIND_FREE && CountKind(KIND_EXPLOSION) == 1);
    // A fireball lands and rolls after slot 0 (freed here, so nothing is hit).
    objectTable[0].x = 300;
    objectTable[0].kind = KIND_FREE;
    GameObject &f = Put(6, KIND_FIREBALL, 200, CLIENT_H - 82, 20000);
    f.dy = 4;
    Update(6);
    EXPECT_TRUE(f.y == CLIENT_H - 82 && f.dy == 0 && f.x == 202);
    Update(6, 50);
    EXPECT_TRUE(f.x == 302 && f.dx == 2); // level with the ship it kept its step
    EXPECT_EQ(ScoreLog().size(), 1u);     // none of this scored
}

TEST_F(GameTest, UnhitObjectsAgeOutOnUpdateEnergyPlusTwo) {
    NewGame();
    level = 3;
    for (auto [kind, points] :
         {std::pair{KIND_ROCKET, 0}, std::pair{KIND_FIREBALL, 0}, std::pair{KIND_KAMIKAZE, 200},
          std::pair{KIND_CRAZY, 500}, std::pair{KIND_ALIEN, 50}}) {
        GameObject &o = Put(20, kind, 100, 100, 3);
        o.cooldown = 1000;
        int updates = 0;
        int32_t before = score;
        for (; o.kind == kind && updates < 20; updates++) {
            o.y = 100;
            o.dy = kind == KIND_KAMIKAZE ? -1 : 1;
            Update(20);
        }
        EXPECT_EQ(updates, 3 + 2) << kind;
        EXPECT_EQ(score - before, points) << kind;
    }
}

TEST_F(GameTest, BonusLivesAndTheStatusLine) {
    NewGame();
    score = 9950;
    AddScore(50, 0); // reaches the threshold exactly
    EXPECT_TRUE(lives == 6 && nextBonusScore == 20000);
    EXPECT_EQ(headless::Title(mainWindow), "Lives: 06 - Level 00 - Score: 10000");
    AddScore(-200, 0);
    AddScore(200, 0);
    EXPECT_EQ(lives, 6);
    score = 19800;
    AddScore(500, 0); // passes it by 300
    EXPECT_TRUE(lives == 7 && nextBonusScore == 30000);
    score = 123456, nextBonusScore = 130000;
    AddScore(0, -1);
    EXPECT_EQ(headless::Title(mainWindow), "Lives: 06 - Level 00 - Score: 123456");
    level = 12, score = 300;
    AddScore(-500, 0);
    EXPECT_EQ(headless::Title(mainWindow), "Lives: 06 - Level 12 - Score: -00200");
    score = 14000, nextBonusScore = 20000;
    NewGame(); // a second game keeps the threshold
    score = 9950;
    AddScore(50, 0);
    EXPECT_EQ(lives, 5);
}

} // namespace
