// The About window: one at a time, from the menu bar or the system menu; it
// freezes the game and closes itself after ten seconds.
#include "session.h"
#include "shell/shell_state.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace session;

namespace {

int AboutWindowCount() {
    int count = 0;
    for (HWND window : headless::Windows()) {
        count += window == AboutWindow();
    }
    return count;
}

} // namespace

TEST(About, MenuOpensOneWindowThatFreezesTheGameAndClosesAfterTenSeconds) {
    StartFresh();
    // Opened between two ticks, so that its ten seconds end between two ticks.
    const uint64_t opened = AfterTick(40);
    std::vector<GameObject> frozen;
    headless::At(AfterTick(1), [] { NewGame(); });
    headless::At(opened, [] { headless::AltLetter(MainWindow(), 'A'); });
    headless::At(opened + 5, [&] {
        HWND about = AboutWindow();
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(aboutOpen, 1);
        EXPECT_EQ(headless::Title(about), "About Zorvak");
        RECT outer;
        RECT client;
        std::memset(&outer, 0, sizeof outer);
        std::memset(&client, 0, sizeof client);
        GetWindowRect(about, &outer);
        GetClientRect(about, &client);
        // 453 x 332 outside, centred on the 1920 x 1080 desktop.
        EXPECT_EQ(outer.left, 960 - 226);
        EXPECT_EQ(outer.top, 540 - 166);
        EXPECT_EQ(outer.right - outer.left, 453);
        EXPECT_EQ(outer.bottom - outer.top, 332);
        // The picture at the client origin, clipped to the 447 x 307 client.
        EXPECT_EQ(client.right, 447);
        EXPECT_EQ(client.bottom, 307);
        EXPECT_TRUE(Shows(headless::ClientImage(about), 0, 0, Picture("BMP_ABOUT")));
        SaveScreenshot(headless::ComposedImage(about), "about");
        frozen = Objects();
    });
    // A second request half-way changes nothing, nor restarts the ten seconds.
    headless::At(opened + 5000, [] { headless::AltLetter(MainWindow(), 'A'); });
    headless::At(opened + 5005, [&] {
        EXPECT_EQ(AboutWindowCount(), 1);
        EXPECT_TRUE(SameObjects(Objects(), frozen));
    });
    headless::At(opened + 9990, [&] {
        EXPECT_NE(AboutWindow(), nullptr);
        EXPECT_TRUE(SameObjects(Objects(), frozen));
    });
    headless::At(opened + 10010, [&] {
        EXPECT_EQ(AboutWindow(), nullptr);
        EXPECT_EQ(aboutOpen, 0);
        EXPECT_TRUE(SameObjects(Objects(), frozen));
    });
    headless::At(opened + 10050, [&] {
        // The game went on with the first tick after the window closed.
        EXPECT_FALSE(SameObjects(Objects(), frozen));
        Quit();
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(About, SystemMenuOpensItAndTheMinimisedAnimationStillRuns) {
    StartFresh();
    headless::At(AfterTick(10), [] { ChooseSystemMenuItem('A'); });
    headless::At(AfterTick(11), [] {
        EXPECT_NE(AboutWindow(), nullptr);
        headless::Minimize(MainWindow());
    });
    // The counter stopped at 10 when the About window opened; minimised, the
    // alien is drawn at counter values 10 and 11 (bit 1 set): ticks 12, 13.
    headless::At(AfterTick(12), [] {
        EXPECT_NE(AboutWindow(), nullptr);
        EXPECT_TRUE(Shows(headless::ClientImage(MainWindow()), 0, 0, Sprite("IC_ALIEN1")));
    });
    headless::At(AfterTick(13), [] {
        EXPECT_TRUE(Shows(headless::ClientImage(MainWindow()), 0, 0, Sprite("IC_ALIEN2")));
        headless::Close(MainWindow());
    });
    EXPECT_EQ(RunWinMain(), 0);
}
