// The platform's pause and the notices beside the title, around the whole
// program: P holds the game's timer (the game sees a late tick, then its
// pace again, no burst), the title says so, and when the status line shows
// no lives left it says the game is over and how to play again.
#include "platform/journal.h"
#include "platform/session.h"
#include "tests/support/session.h"

#include <gtest/gtest.h>

using namespace support;

namespace {

TEST(Pause, PHoldsTheTimerAndTheGameGoesOnWithOneLateTickAndNoBurst) {
    StartFresh();
    static std::vector<std::pair<uint64_t, uint64_t>> ticks; // (time, ticks so far)
    ticks.clear();
    auto sample = [] { ticks.emplace_back(headless::Now(), zplat::JournalTicks()); };
    headless::At(AfterTick(1), [] { Command('N'); });
    headless::At(AfterTick(10), [] {
        EXPECT_EQ(headless::ShownTitle(MainWindow()), "Lives: 05 - Level 01 - Score: 00000");
        headless::Key(MainWindow(), 'P', 3); // held: repeats do not switch it back
        headless::KeyUp(MainWindow(), 'P');
    });
    static std::vector<GameObject> frozen;
    headless::At(AfterTick(10) + 5, [] {
        EXPECT_TRUE(zplat::Paused());
        EXPECT_EQ(headless::ShownTitle(MainWindow()),
                  "Lives: 05 - Level 01 - Score: 00000   [Paused: P to go on]");
        EXPECT_EQ(headless::Title(MainWindow()), "Lives: 05 - Level 01 - Score: 00000")
            << "the program's own title is untouched";
        frozen = Objects();
        SaveFullScreenScreenshot("full-screen-paused", 2);
    });
    headless::At(AfterTick(10) + 6, sample);
    // Keys still reach the game while it is paused.
    headless::At(AfterTick(40), [] { headless::Key(MainWindow(), VK_LEFT); });
    headless::At(AfterTick(100), sample);
    headless::At(AfterTick(100) + 1, [] {
        EXPECT_EQ(objectTable[0].x, frozen[0].x) << "nothing moved for 90 periods";
        EXPECT_EQ(objectTable[0].dx, -4);
        headless::Key(MainWindow(), VK_PAUSE);
        headless::KeyUp(MainWindow(), VK_PAUSE);
    });
    // Resumed 1 ms past a period: one tick at once, the next on the old
    // cadence, then one every 50 ms.
    headless::At(AfterTick(100) + 2, sample);
    headless::At(AfterTick(101) + 1, sample);
    headless::At(AfterTick(111) + 1, sample);
    headless::At(AfterTick(112), [] {
        EXPECT_FALSE(zplat::Paused());
        EXPECT_EQ(headless::ShownTitle(MainWindow()), "Lives: 05 - Level 01 - Score: 00000");
        Command('Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
    ASSERT_EQ(ticks.size(), 5u);
    const uint64_t paused = ticks[0].second;
    EXPECT_EQ(ticks[1].second, paused) << "no tick while paused";
    EXPECT_EQ(ticks[2].second, paused + 1) << "one late tick at once";
    EXPECT_EQ(ticks[3].second, paused + 2);
    EXPECT_EQ(ticks[4].second, paused + 12);
}

TEST(Pause, AbsencePausesOnlyARunningGameAndGameOverSaysHowToPlayAgain) {
    StartFresh(6 * 3600 * 1000);
    // No game: the attract loop goes on when the player goes away.
    headless::At(AfterTick(3), [] {
        zplat::PauseForAbsence();
        EXPECT_FALSE(zplat::Paused());
        Command('N');
    });
    headless::At(AfterTick(5), [] {
        zplat::PauseForAbsence();
        EXPECT_TRUE(zplat::Paused());
        headless::Key(MainWindow(), 'P');
        headless::KeyUp(MainWindow(), 'P');
    });
    // The ship, never steered, loses its lives; from the status line with no
    // lives left the notice says the game is over, through the game-over
    // picture, until the next New game.
    static bool sawGameOver = false;
    sawGameOver = false;
    headless::OnIdle([] {
        const std::string title = headless::Title(MainWindow());
        if (sawGameOver || title.rfind("Lives: 00", 0) != 0) {
            return;
        }
        sawGameOver = true;
        EXPECT_EQ(headless::ShownTitle(MainWindow()),
                  title + "   [Game over: New game (Alt+N) to play again]");
        zplat::PauseForAbsence();
        EXPECT_FALSE(zplat::Paused()) << "a game with no lives left is not paused";
        SaveFullScreenScreenshot("full-screen-game-over", 2);
        const uint64_t later = headless::Now() + 1000;
        headless::At(later, [] { Command('N'); });
        headless::At(later + 100, [] {
            EXPECT_EQ(headless::ShownTitle(MainWindow()), "Lives: 05 - Level 01 - Score: 00000");
            Command('Q');
        });
    });
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_TRUE(sawGameOver);
}

} // namespace
