// Ending the program: Quit and closing the window both kill the timer, free
// the sprites once and end WinMain with 0.
#include "platform/backend.h"
#include "presentation/sprites.h"
#include "shell/shell_state.h"
#include "tests/support/session.h"

#include <functional>
#include <gtest/gtest.h>

using namespace support;

namespace {

// Runs a game that ends at tick 30 by `end`; afterwards (the platform shut
// down as at the process's end) every sprite was destroyed exactly once, the
// quit message posted once, and no handle names an icon any more.
void ExpectEndsOnce(const std::function<void(HWND)> &end) {
    StartFresh();
    std::vector<HICON> loaded;
    headless::At(AfterTick(1), [] { Command('N'); });
    headless::At(AfterTick(20), [] { Command('A'); });
    headless::At(AfterTick(30), [&] {
        ASSERT_NE(AboutWindow(), nullptr);
        loaded.assign(spriteSet, spriteSet + SPRITE_COUNT);
        end(MainWindow());
    });
    EXPECT_EQ(RunWinMain(), 0);
    zplat::ShutdownPlatform();
    EXPECT_EQ(destroyedIcons.size(), size_t(SPRITE_COUNT));
    EXPECT_EQ(postQuitMessageCalls, 1);
    ASSERT_EQ(loaded.size(), size_t(SPRITE_COUNT));
    for (int i = 0; i < SPRITE_COUNT; ++i) {
        EXPECT_NE(loaded[i], nullptr) << spriteNames[i];
        EXPECT_FALSE(DestroyIcon(loaded[i])) << spriteNames[i] << " still alive";
    }
    EXPECT_EQ(headless::Beeps(), 0);
}

} // namespace

TEST(Shutdown, ClosingTheWindowEndsTheProgramOnce) {
    ExpectEndsOnce([](HWND window) { headless::Close(window); });
}

// Quit leaves both windows to end with the program, which sends them nothing
// more: the shutdown runs once, from the menu command, and input queued
// behind it runs nothing.
TEST(Shutdown, QuitEndsTheProgramOnceAndInputAfterItRunsNothing) {
    HWND window = NULL;
    ExpectEndsOnce([&](HWND main) {
        window = main;
        score = 777;
        // All queued before the program sees the first of them.
        Command('Q');
        headless::Key(main, VK_SPACE);
        headless::AltLetter(main, 'N');
        headless::Close(main);
    });
    // The windows end with the program without another WM_DESTROY: no
    // second free, and the window is gone for good.
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(fireRequested, 0);
    EXPECT_EQ(score, 777); // New game never ran again
}
