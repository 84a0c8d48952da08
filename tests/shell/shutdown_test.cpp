// Ending the program: Quit and closing the window both kill the timer, free
// the sprites once and end WinMain with 0.
#include "platform/core/core.h"
#include "presentation/sprites.h"
#include "session.h"
#include "shell/shell_state.h"

#include <gtest/gtest.h>

using namespace session;

namespace {

// Every sprite was destroyed exactly once, the quit message posted once, and
// no handle names an icon any more.
void ExpectSpritesFreed(const HICON (&loaded)[SPRITE_COUNT]) {
    EXPECT_EQ(DestroyIconCalls(), SPRITE_COUNT);
    EXPECT_EQ(PostQuitMessageCalls(), 1);
    for (int i = 0; i < SPRITE_COUNT; ++i) {
        EXPECT_NE(loaded[i], nullptr) << spriteNames[i];
        EXPECT_FALSE(DestroyIcon(loaded[i])) << spriteNames[i] << " still alive";
    }
}

} // namespace

TEST(Shutdown, QuitFromTheMenuBarDuringAGameWithTheAboutWindowOpen) {
    StartFresh();
    HICON loaded[SPRITE_COUNT] = {};
    headless::At(AfterTick(1), [] { NewGame(); });
    headless::At(AfterTick(20), [] { headless::AltLetter(MainWindow(), 'A'); });
    headless::At(AfterTick(21), [&] {
        ASSERT_NE(AboutWindow(), nullptr);
        std::copy(spriteSet, spriteSet + SPRITE_COUNT, loaded);
        ClickMenuItem(2);
    });
    EXPECT_EQ(RunWinMain(), 0);
    // Quit leaves both windows to end with the program, which sends them
    // nothing more: the shutdown has run once, from the menu command.
    EXPECT_NE(MainWindow(), nullptr);
    EXPECT_NE(AboutWindow(), nullptr);
    zplat::ShutdownPlatform();
    ExpectSpritesFreed(loaded);
    EXPECT_EQ(headless::Beeps(), 0);
}

TEST(Shutdown, ClosingTheWindowEndsTheProgramTheSameWay) {
    StartFresh();
    HICON loaded[SPRITE_COUNT] = {};
    headless::At(AfterTick(5), [&] {
        std::copy(spriteSet, spriteSet + SPRITE_COUNT, loaded);
        headless::Close(MainWindow());
    });
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_EQ(MainWindow(), nullptr);
    ExpectSpritesFreed(loaded);
    EXPECT_EQ(headless::Beeps(), 0);
}

TEST(Shutdown, AfterQuitNeitherLateInputNorTheWindowsEndRunsAnythingTwice) {
    StartFresh();
    HICON loaded[SPRITE_COUNT] = {};
    HWND window = NULL;
    headless::At(AfterTick(1), [] { NewGame(); });
    headless::At(AfterTick(30), [&] {
        std::copy(spriteSet, spriteSet + SPRITE_COUNT, loaded);
        window = MainWindow();
        score = 777;
        // All queued before the program sees the first of them.
        Quit();
        headless::Key(window, VK_SPACE);
        headless::AltLetter(window, 'N');
        headless::Close(window);
    });
    EXPECT_EQ(RunWinMain(), 0);
    // The windows end with the program without another WM_DESTROY: no
    // second free, and the window is gone for good.
    zplat::ShutdownPlatform();
    EXPECT_FALSE(DestroyWindow(window));
    ExpectSpritesFreed(loaded);
    EXPECT_EQ(fireRequested, 0);
    EXPECT_EQ(score, 777); // New game never ran again
    EXPECT_EQ(headless::Beeps(), 0);
}
