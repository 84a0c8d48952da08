// The About window: one at a time, from the menu bar or the system menu; it
// freezes the game and closes itself after ten seconds.
#include "shell/shell_state.h"
#include "tests/support/session.h"

#include <gtest/gtest.h>

using namespace support;

TEST(About, TheMenuOpensOneWindowThatFreezesTheGameAndClosesItselfAfterTenSeconds) {
    // Opened between ticks 40 and 41 of a game, so that its ten seconds end
    // between two ticks.
    const uint64_t opened = AfterTick(40);
    StartFresh();
    headless::At(AfterTick(1), [] { Command('N'); });
    headless::At(opened, [] { Command('A'); });
    std::vector<GameObject> frozen;
    headless::At(opened + 5, [&] {
        frozen = Objects();
        HWND about = AboutWindow();
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(aboutOpen, 1);
        EXPECT_EQ(headless::Title(about), "About Zorvak");
        // 453 x 332 outside, centred on the 1920 x 1080 desktop, the picture
        // at the client origin, clipped to the 447 x 307 client.
        EXPECT_EQ(Place(about), (std::array<int, 6>{960 - 226, 540 - 166, 453, 332, 447, 307}));
        EXPECT_TRUE(Shows(headless::ClientImage(about), 0, 0, Picture("BMP_ABOUT")));
        SaveScreenshot(headless::ComposedImage(about), "about");
    });
    // A second request opens no second window and does not restart the ten
    // seconds.
    headless::At(opened + 5000, [] { Command('A'); });
    headless::At(opened + 5010, [] { EXPECT_EQ(headless::Windows().size(), 2u); });
    headless::At(opened + 9990, [&] {
        EXPECT_NE(AboutWindow(), nullptr);
        EXPECT_EQ(Objects(), frozen);
    });
    headless::At(opened + 10010, [&] {
        EXPECT_EQ(AboutWindow(), nullptr);
        EXPECT_EQ(aboutOpen, 0);
        EXPECT_EQ(Objects(), frozen);
    });
    headless::At(opened + 10050, [&] {
        // The game went on with the first tick after the window closed.
        EXPECT_NE(Objects(), frozen);
        Command('Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(About, SystemMenuOpensItAndTheMinimisedAnimationStillRuns) {
    StartFresh();
    headless::At(AfterTick(10), [] {
        headless::Click(MainWindow(), 5, 5); // the system box at the bar's left end
        headless::Key(MainWindow(), 'A');
    });
    headless::At(AfterTick(11), [] {
        EXPECT_NE(AboutWindow(), nullptr);
        headless::Minimize(MainWindow());
    });
    // The counter stopped at 10 when the About window opened; minimised, the
    // alien is drawn at counter values 10 and 11 (bit 1 set): ticks 12, 13.
    headless::At(AfterTick(12), [] {
        EXPECT_NE(AboutWindow(), nullptr);
        EXPECT_TRUE(MainShows(0, 0, Sprite("IC_ALIEN1")));
    });
    headless::At(AfterTick(13), [] {
        EXPECT_TRUE(MainShows(0, 0, Sprite("IC_ALIEN2")));
        headless::Close(MainWindow());
    });
    EXPECT_EQ(RunWinMain(), 0);
}
