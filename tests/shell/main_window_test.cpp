// The main window during play: New game, the keys, minimising.
#include "platform/display.h"
#include "shell/shell_state.h"
#include "tests/support/session.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace support;

namespace {

// A fresh game: status line, five lives, nothing but the ship at its start
// (clientWidth / 2 - 16, clientHeight - 80), and the playfield black.
void ExpectNewGame() {
    EXPECT_EQ(headless::Title(MainWindow()), "Lives: 05 - Level 01 - Score: 00000");
    EXPECT_EQ(lives, 5);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(CountKind(KIND_FREE), OBJECT_SLOTS - 1);
    EXPECT_EQ(int(objectTable[0].kind), KIND_SHIP);
    EXPECT_EQ(objectTable[0].x, 239);
    EXPECT_EQ(objectTable[0].y, 250);
    EXPECT_TRUE(MainShows(32, 0, headless::Image{447, 298, std::vector<uint32_t>(447 * 298)}));
}

// A missile fired in the last tick: created 32 pixels above the ship, then
// moved 4 pixels up.
bool FreshMissileAboveShip() {
    return std::any_of(objectTable, objectTable + OBJECT_SLOTS, [](const GameObject &o) {
        return o.kind == KIND_MISSILE && o.x == objectTable[0].x && o.y == objectTable[0].y - 36;
    });
}

// Starts the program, and a game at virtual time `at`.
void StartGame(uint64_t at = AfterTick(1)) {
    StartFresh();
    headless::At(at, [] { Command('N'); });
}

} // namespace

TEST(Play, AltNStartsAGameThatTakesNoShotRequestedBefore) {
    StartFresh();
    nextBonusScore = 30000; // as a previous game may have left it
    headless::At(AfterTick(3), [] { headless::Key(MainWindow(), VK_SPACE); }); // before any game
    headless::At(AfterTick(3) + 5, [] {
        EXPECT_EQ(fireRequested, 1);
        EXPECT_EQ(headless::Title(MainWindow()), "ZORVAK");
        Command('N');
    });
    headless::At(AfterTick(3) + 10, [] {
        ExpectNewGame();
        EXPECT_EQ(level, 0); // the first wave moves it to 1
        EXPECT_EQ(fireRequested, 0);
        EXPECT_EQ(nextBonusScore, 30000);
    });
    headless::At(AfterTick(4), [] {
        EXPECT_EQ(level, 1);
        EXPECT_GT(enemyCount, 0);
        EXPECT_EQ(attractTicks, 0);
        EXPECT_EQ(CountKind(KIND_MISSILE), 0);
        Command('Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(Play, ArrowKeysSteerTheShip) {
    StartGame();
    headless::At(AfterTick(4), [] { headless::Key(MainWindow(), VK_LEFT); });
    headless::At(AfterTick(9), [] {
        EXPECT_EQ(objectTable[0].x, 239 - 20); // five ticks of 4 pixels to the left
        headless::Key(MainWindow(), VK_RIGHT);
        headless::Key(MainWindow(), VK_UP); // not a game key: changes nothing
    });
    headless::At(AfterTick(11), [] {
        EXPECT_EQ(objectTable[0].x, 239 - 12);
        Command('Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(Play, SpaceOrEnterFiresOneMissilePerTick) {
    StartGame();
    headless::At(AfterTick(11), [] { headless::Key(MainWindow(), VK_SPACE, 3); }); // auto-repeat
    headless::At(AfterTick(12), [] {
        EXPECT_EQ(fireRequested, 0);
        EXPECT_EQ(CountKind(KIND_MISSILE), 1);
        EXPECT_TRUE(FreshMissileAboveShip());
    });
    // The next shot once the first is well clear of the ship.
    headless::At(AfterTick(22), [] { headless::Key(MainWindow(), VK_RETURN); });
    headless::At(AfterTick(22) + 5, [] { EXPECT_EQ(fireRequested, 1); });
    headless::At(AfterTick(23), [] {
        EXPECT_EQ(fireRequested, 0);
        EXPECT_TRUE(FreshMissileAboveShip());
        Command('Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(Play, TheMenuBarRestartsARunningGame) {
    StartGame(AfterTick(3) + 5); // as in the screenshot in the README
    // Some play for the screenshot: turns, steady fire.
    headless::At(AfterTick(4), [] { headless::Key(MainWindow(), VK_LEFT); });
    headless::At(AfterTick(9), [] { headless::Key(MainWindow(), VK_RIGHT); });
    headless::At(AfterTick(11), [] { headless::Key(MainWindow(), VK_SPACE, 3); });
    headless::At(AfterTick(22), [] { headless::Key(MainWindow(), VK_RETURN); });
    for (int tick = 120; tick < 200; tick += 12) {
        headless::At(AfterTick(tick), [] { headless::Key(MainWindow(), VK_SPACE); });
    }
    headless::At(AfterTick(150), [] { headless::Key(MainWindow(), VK_RIGHT); });
    headless::At(AfterTick(200), [] {
        const headless::Image composed = headless::ComposedImage(MainWindow());
        SaveScreenshot(composed, "game");
        // The same under its title bar, as full screen shows it: the status
        // line in sight.
        headless::Image window = composed;
        window.height += zplat::kCaptionBarHeight;
        window.pixels.insert(window.pixels.begin(),
                             size_t(composed.width) * zplat::kCaptionBarHeight, 0);
        zplat::DrawCaptionBar(window.pixels.data(), window.width, zplat::kCaptionBarHeight,
                              headless::ShownTitle(MainWindow()).c_str(), true);
        SaveScreenshot(window, "playing");
        score = 1234;
        lives = 2;
        objectTable[0].x = 100;
        ClickMenuItem(0);
    });
    headless::At(AfterTick(200) + 5, [] {
        ExpectNewGame();
        Command('Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(Minimize, FreezesTheGameAndAnimatesAnAlienInItsPlaceUntilRestored) {
    StartGame();
    std::vector<GameObject> frozen;
    int32_t frozenScore = 0;
    headless::At(AfterTick(60), [&] {
        headless::Minimize(MainWindow());
        frozen = Objects();
        frozenScore = score;
    });
    // The game's ticks zeroed the counter, so the alien is drawn on the ticks
    // with counter values 2, 3, 6, 7, ...: ticks 63, 64, 67, 68, ...
    const int frames[] = {1, 2, 3, 4, 5, 5, 4, 3, 2, 1, 1, 2};
    for (int i = 0; i < 12; ++i) {
        const int tick = 63 + (i / 2) * 4 + i % 2;
        headless::At(AfterTick(tick), [tick, frame = frames[i]] {
            EXPECT_TRUE(headless::IsMinimized(MainWindow()));
            const std::string name = "IC_ALIEN" + std::to_string(frame);
            EXPECT_TRUE(MainShows(0, 0, Sprite(name.c_str()))) << "tick " << tick;
        });
    }
    headless::At(AfterTick(90), [&] {
        EXPECT_EQ(Objects(), frozen);
        EXPECT_EQ(score, frozenScore);
        headless::Restore(MainWindow());
    });
    headless::At(AfterTick(90) + 5, [&] {
        EXPECT_EQ(isMinimized, 0);
        EXPECT_FALSE(headless::IsMinimized(MainWindow()));
        EXPECT_EQ(Objects(), frozen);
        // Repainted: the frame is back, the objects come back with the next tick.
        EXPECT_TRUE(MainShows(0, 0, Sprite("IC_WALL4")));
        EXPECT_TRUE(MainShows(479, 298, Sprite("IC_WALL2")));
    });
    headless::At(AfterTick(92), [&] {
        EXPECT_NE(Objects(), frozen);
        Command('Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(Minimize, SizeCommandsCountWhateverFlagsTheirLowBitsCarry) {
    StartFresh();
    headless::At(AfterTick(2), [] {
        // SC_MOVE is not a size change.  {command, isMinimized before, after}
        const int cases[][3] = {{SC_MINIMIZE, 0, 1},
                                {SC_RESTORE, 1, 0},
                                {SC_MAXIMIZE, 1, 0},
                                {SC_SIZE, 1, 0},
                                {SC_MOVE, 1, 1}};
        for (const auto &c : cases) {
            isMinimized = uint8_t(c[1]);
            SendMessageA(MainWindow(), WM_SYSCOMMAND, WPARAM(c[0] | 2), 0);
            EXPECT_EQ(isMinimized, c[2]) << "command " << std::hex << c[0];
        }
        isMinimized = 0;
        Command('Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
}
