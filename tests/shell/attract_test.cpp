// The attract loop between games: a new full-size picture every 256 ticks.
#include "shell/shell_state.h"
#include "tests/support/session.h"

#include <gtest/gtest.h>
#include <map>

using namespace support;

TEST(Attract, FromStartIntroductionThenAboutThenNothingNewThenIntroduction) {
    StartFresh();
    // Ticks 1, 257, 513, 769 are due; at program start no game has been lost,
    // so the third one draws nothing.
    const std::pair<int, const char *> expected[] = {
        {1, "BMP_INTRO"},   {256, "BMP_INTRO"}, {257, "BMP_ABOUT"}, {512, "BMP_ABOUT"},
        {513, "BMP_ABOUT"}, {768, "BMP_ABOUT"}, {769, "BMP_INTRO"}, {1025, "BMP_ABOUT"},
    };
    for (const auto &[tick, name] : expected) {
        headless::At(AfterTick(tick), [tick = tick, name = name] {
            EXPECT_TRUE(MainShows(32, 0, Picture(name))) << "after tick " << tick;
        });
    }
    // A paint between games shows the introduction whatever was last shown.
    headless::At(AfterTick(1030), [] { headless::Minimize(MainWindow()); });
    headless::At(AfterTick(1031), [] { headless::Restore(MainWindow()); });
    headless::At(AfterTick(1031) + 5, [] {
        EXPECT_TRUE(MainShows(32, 0, Picture("BMP_INTRO")));
        EXPECT_TRUE(MainShows(0, 0, Sprite("IC_WALL4")));
        Command('Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(Attract, AfterALostGameGameOverComesFirstThenIntroductionThenAbout) {
    StartFresh(3600000);
    headless::At(AfterTick(1), [] { Command('N'); });
    // The last life, lost at the next tick; the game ends when the table has
    // emptied.
    headless::At(AfterTick(3), [] {
        lives = 1;
        objectTable[0].energy = -1;
    });
    int endTick = -1;
    std::map<int, const char *> expected;
    headless::OnIdle([&] {
        const int tick = int((headless::Now() - kStart) / kTick);
        if (endTick < 0) {
            if (tick > 3 && lives == 0 && objectCount == 0) {
                endTick = tick;
                EXPECT_EQ(gameOver, 1);
                expected = {{endTick + 1, "BMP_GAMEOVER"},
                            {endTick + 256, "BMP_GAMEOVER"},
                            {endTick + 257, "BMP_INTRO"},
                            {endTick + 513, "BMP_ABOUT"},
                            {endTick + 769, "BMP_GAMEOVER"}};
            }
            return;
        }
        auto due = expected.find(tick);
        if (due != expected.end()) {
            EXPECT_TRUE(MainShows(32, 0, Picture(due->second)))
                << "tick " << tick - endTick << " after the game";
            if (tick == endTick + 1) {
                SaveScreenshot(headless::ComposedImage(MainWindow()), "game-over");
            }
            expected.erase(due);
            if (expected.empty()) {
                Command('Q');
            }
        }
    });
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_GT(endTick, 3);
    EXPECT_TRUE(expected.empty());
}
