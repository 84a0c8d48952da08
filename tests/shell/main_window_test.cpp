// The main window during play: New game, the keys, minimising.
#include "session.h"
#include "shell/shell_state.h"

#include <gtest/gtest.h>

using namespace session;

namespace {

const char *const kNewGameTitle = "Lives: 05 - Level 01 - Score: 00000";

int CountKind(int kind) {
    int count = 0;
    for (const GameObject &object : objectTable) {
        count += object.kind == kind;
    }
    return count;
}

// Ship start: clientWidth / 2 - 16, clientHeight - 80 in the 511 x 330 client.
const int kShipStartX = 239;
const int kShipY = 250;

// A missile fired in the last tick: created 32 pixels above the ship, then
// moved 4 pixels up.
bool FreshMissileAboveShip() {
    for (const GameObject &object : objectTable) {
        if (object.kind == KIND_MISSILE && object.x == objectTable[0].x &&
            object.y == objectTable[0].y - 36) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(NewGame, AltNAndTheMenuBarStartAtLevelOneAndRestartAGameInPlay) {
    StartFresh();
    nextBonusScore = 30000; // as a previous game may have left it
    headless::At(AfterTick(3), [] {
        headless::Key(MainWindow(), VK_SPACE); // before any game
    });
    headless::At(AfterTick(3) + 5, [] {
        EXPECT_EQ(fireRequested, 1);
        EXPECT_EQ(headless::Title(MainWindow()), "ZORVAK");
        NewGame();
    });
    headless::At(AfterTick(3) + 10, [] {
        EXPECT_EQ(headless::Title(MainWindow()), kNewGameTitle);
        EXPECT_EQ(lives, 5);
        EXPECT_EQ(score, 0);
        EXPECT_EQ(level, 0); // the first wave moves it to 1
        EXPECT_EQ(fireRequested, 0);
        EXPECT_EQ(nextBonusScore, 30000);
        EXPECT_EQ(CountKind(KIND_FREE), OBJECT_SLOTS - 1);
        EXPECT_EQ(objectTable[0].kind, KIND_SHIP);
        EXPECT_EQ(objectTable[0].x, kShipStartX);
        EXPECT_EQ(objectTable[0].y, kShipY);
        // The introduction is gone: the playfield inside the frame is black.
        EXPECT_TRUE(IsBlack(headless::ClientImage(MainWindow()), 32, 0, 447, 298));
    });
    headless::At(AfterTick(4), [] {
        EXPECT_EQ(level, 1);
        EXPECT_GT(enemyCount, 0);
        EXPECT_EQ(attractTicks, 0);
    });
    // Some play for the screenshot: steady fire, a turn to the right.
    for (int tick = 120; tick < 200; tick += 12) {
        headless::At(AfterTick(tick), [] { headless::Key(MainWindow(), VK_SPACE); });
    }
    headless::At(AfterTick(150), [] { headless::Key(MainWindow(), VK_RIGHT); });
    // Some way into the game, the same command from the menu bar restarts it.
    headless::At(AfterTick(200), [] {
        SaveScreenshot(headless::ComposedImage(MainWindow()), "game");
        score = 1234;
        lives = 2;
        objectTable[0].x = 100;
        ClickMenuItem(0);
    });
    headless::At(AfterTick(200) + 5, [] {
        EXPECT_EQ(headless::Title(MainWindow()), kNewGameTitle);
        EXPECT_EQ(lives, 5);
        EXPECT_EQ(score, 0);
        EXPECT_EQ(CountKind(KIND_FREE), OBJECT_SLOTS - 1);
        EXPECT_EQ(objectTable[0].x, kShipStartX);
        EXPECT_TRUE(IsBlack(headless::ClientImage(MainWindow()), 32, 0, 447, 298));
        Quit();
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(Keys, ArrowsSteerAndSpaceOrEnterFireOnTheNextTick) {
    StartFresh();
    int startX = 0;
    headless::At(AfterTick(1), [] { NewGame(); });
    headless::At(AfterTick(2), [&] {
        startX = objectTable[0].x;
        headless::Key(MainWindow(), VK_LEFT);
    });
    headless::At(AfterTick(7), [&] {
        // Five ticks of 4 pixels to the left.
        EXPECT_EQ(objectTable[0].x, startX - 20);
        headless::Key(MainWindow(), VK_RIGHT);
        headless::Key(MainWindow(), VK_UP); // not a game key: changes nothing
    });
    headless::At(AfterTick(9), [&] {
        EXPECT_EQ(objectTable[0].x, startX - 12);
        EXPECT_EQ(CountKind(KIND_MISSILE), 0);
        headless::Key(MainWindow(), VK_SPACE, 3); // auto-repeat: one shot
    });
    headless::At(AfterTick(10), [&] {
        EXPECT_EQ(fireRequested, 0);
        EXPECT_EQ(CountKind(KIND_MISSILE), 1);
        EXPECT_TRUE(FreshMissileAboveShip());
    });
    // The next shot once the first is well clear of the ship.
    headless::At(AfterTick(20), [&] { headless::Key(MainWindow(), VK_RETURN); });
    headless::At(AfterTick(20) + 5, [&] { EXPECT_EQ(fireRequested, 1); });
    headless::At(AfterTick(21), [&] {
        EXPECT_EQ(fireRequested, 0);
        EXPECT_TRUE(FreshMissileAboveShip());
        Quit();
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(Minimize, FreezesTheGameAnimatesTheAlienAndRestoreResumesWithNothingLost) {
    StartFresh();
    std::vector<GameObject> frozen;
    int32_t frozenScore = 0;
    headless::At(AfterTick(1), [] { NewGame(); });
    headless::At(AfterTick(60), [&] {
        headless::Minimize(MainWindow());
        frozen = Objects();
        frozenScore = score;
    });
    // The game's ticks zeroed the counter, so the alien is drawn on the ticks
    // with counter values 2, 3, 6, 7, ...: ticks 63, 64, 67, 68, ...
    const int drawnAt[] = {63, 64, 67, 68, 71, 72, 75, 76, 79, 80, 83, 84};
    const char *const frame[] = {"IC_ALIEN1", "IC_ALIEN2", "IC_ALIEN3", "IC_ALIEN4",
                                 "IC_ALIEN5", "IC_ALIEN5", "IC_ALIEN4", "IC_ALIEN3",
                                 "IC_ALIEN2", "IC_ALIEN1", "IC_ALIEN1", "IC_ALIEN2"};
    for (int i = 0; i < 12; ++i) {
        headless::At(AfterTick(drawnAt[i]), [i, &frame] {
            EXPECT_TRUE(headless::IsMinimized(MainWindow()));
            EXPECT_TRUE(Shows(headless::ClientImage(MainWindow()), 0, 0, Sprite(frame[i])))
                << "tick " << i;
        });
    }
    headless::At(AfterTick(90), [&] {
        EXPECT_TRUE(SameObjects(Objects(), frozen));
        EXPECT_EQ(score, frozenScore);
        headless::Restore(MainWindow());
    });
    headless::At(AfterTick(90) + 5, [&] {
        EXPECT_EQ(isMinimized, 0);
        EXPECT_FALSE(headless::IsMinimized(MainWindow()));
        EXPECT_TRUE(SameObjects(Objects(), frozen));
        // Repainted: the frame is back, the objects come back with the next tick.
        headless::Image client = headless::ClientImage(MainWindow());
        EXPECT_TRUE(Shows(client, 0, 0, Sprite("IC_WALL4")));
        EXPECT_TRUE(Shows(client, 479, 298, Sprite("IC_WALL2")));
    });
    headless::At(AfterTick(92), [&] {
        EXPECT_FALSE(SameObjects(Objects(), frozen));
        Quit();
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(Minimize, SystemCommandsCountWhateverFlagsTheirLowBitsCarry) {
    StartFresh();
    uint8_t afterMinimize = 0, afterRestore = 1, afterMaximize = 1, afterMove = 0;
    headless::At(AfterTick(5), [&] {
        HWND window = MainWindow();
        SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
        afterMinimize = isMinimized;
        SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE | 2, 0);
        afterRestore = isMinimized;
        isMinimized = 1;
        SendMessageA(window, WM_SYSCOMMAND, SC_MAXIMIZE | 2, 0);
        afterMaximize = isMinimized;
        isMinimized = 1;
        SendMessageA(window, WM_SYSCOMMAND, SC_MOVE | 2, 0); // not a size change
        afterMove = isMinimized;
        isMinimized = 0;
        Quit();
    });
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_EQ(afterMinimize, 1);
    EXPECT_EQ(afterRestore, 0);
    EXPECT_EQ(afterMaximize, 0);
    EXPECT_EQ(afterMove, 1);
}
