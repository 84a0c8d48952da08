// The program as a player meets it on a desktop, where it must behave as on
// Windows: where the keyboard goes, Alt+F4, menu mode from the keyboard, the
// menu bar under the mouse, and input that is not held back by a timer.
// Keys for window nullptr are typed on the desktop: they reach the window
// that has the desktop's keyboard focus, or nothing.
#include "shell/shell_state.h"
#include "tests/support/session.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace support;

namespace {

bool MissileFlying() {
    return std::any_of(objectTable, objectTable + OBJECT_SLOTS,
                       [](const GameObject &o) { return o.kind == KIND_MISSILE; });
}

} // namespace

TEST(Desktop, KeyboardFollowsTheAboutWindowAndComesBackWhenItClosesItself) {
    StartFresh();
    headless::At(AfterTick(1), [] {
        EXPECT_EQ(headless::FocusedWindow(), MainWindow());
        headless::AltLetter(nullptr, 'N');
    });
    headless::At(AfterTick(2), [] { headless::AltLetter(nullptr, 'A'); });
    headless::At(AfterTick(3), [] {
        // The new window is the active one: keys typed now are the About
        // window's, which does nothing with them, as on Windows.
        ASSERT_NE(AboutWindow(), nullptr);
        EXPECT_EQ(headless::FocusedWindow(), AboutWindow());
        headless::Key(nullptr, VK_LEFT);
    });
    headless::At(AfterTick(4), [] { EXPECT_EQ(objectTable[0].dx, 0); });
    // Ten seconds later it has closed itself; the keyboard is the main
    // window's again and steers the ship.
    headless::At(AfterTick(2) + 10100, [] {
        EXPECT_EQ(AboutWindow(), nullptr);
        EXPECT_EQ(headless::FocusedWindow(), MainWindow());
        headless::Key(nullptr, VK_LEFT);
    });
    headless::At(AfterTick(2) + 10150, [] {
        EXPECT_EQ(objectTable[0].dx, -4);
        EXPECT_EQ(objectTable[0].x, 239 - 4);
        headless::AltLetter(nullptr, 'Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(Desktop, AltF4ClosesTheAboutWindowThenTheMainWindowWithTheirOwnFrames) {
    StartFresh();
    headless::At(AfterTick(1), [] {
        headless::AltLetter(nullptr, 'N');
        headless::AltLetter(nullptr, 'A');
    });
    headless::At(AfterTick(2), [] {
        // The desktop was told each window's frame: the About window's has
        // neither system menu nor minimise, maximise or sizing boxes.
        EXPECT_EQ(headless::FrameStyle(AboutWindow()), DWORD(WS_DLGFRAME));
        EXPECT_EQ(headless::FrameStyle(MainWindow()),
                  DWORD(WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX));
        // F4 alone is nothing; Alt+F4 closes the About window, which has no
        // system menu, as Windows does; the game goes on.
        headless::Key(nullptr, VK_F4);
        headless::KeyUp(nullptr, VK_F4);
    });
    headless::At(AfterTick(3), [] {
        ASSERT_NE(AboutWindow(), nullptr);
        headless::AltKey(nullptr, VK_F4);
    });
    headless::At(AfterTick(3) + 5, [] {
        EXPECT_EQ(AboutWindow(), nullptr);
        EXPECT_EQ(aboutOpen, 0);
        EXPECT_EQ(lives, 5);
        headless::AltKey(nullptr, VK_F4);
    });
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_EQ(postQuitMessageCalls, 1);
    EXPECT_TRUE(headless::Windows().empty());
}

TEST(Desktop, AltTapOrF10EntersMenuModeWhereArrowsAndSpaceAreTheMenus) {
    // As Windows does (and Wine 8, compared by hand): Left and Right go round
    // the bar through the system box, Enter or Space choose, Up and Down only
    // open a menu that drops down, which the bar's command items have not.
    StartFresh();
    headless::At(AfterTick(1), [] { Command('N'); });
    headless::At(AfterTick(2), [] {
        EXPECT_EQ(LitMenuItem(), kNothingLit);
        headless::AltTap(nullptr);
    });
    headless::At(AfterTick(2) + 5, [] {
        EXPECT_EQ(LitMenuItem(), 0); // "New game"
        headless::Key(nullptr, VK_LEFT);
    });
    headless::At(AfterTick(2) + 10, [] {
        EXPECT_EQ(LitMenuItem(), kSystemBox);
        headless::Key(nullptr, VK_LEFT);
    });
    headless::At(AfterTick(2) + 15, [] {
        EXPECT_EQ(LitMenuItem(), 2); // "Quit Zorvak"
        headless::Key(nullptr, VK_RIGHT);
        headless::Key(nullptr, VK_RIGHT);
    });
    headless::At(AfterTick(4), [] {
        // Ticks went on; the arrows never reached the game.
        EXPECT_EQ(LitMenuItem(), 0);
        EXPECT_EQ(objectTable[0].dx, 0);
        EXPECT_EQ(fireRequested, 0);
        EXPECT_FALSE(MissileFlying());
        // Escape leaves; so does a second Alt tap; F10 enters as an Alt tap.
        headless::Key(nullptr, VK_ESCAPE);
    });
    headless::At(AfterTick(4) + 5, [] {
        EXPECT_EQ(LitMenuItem(), kNothingLit);
        headless::AltTap(nullptr);
        headless::AltTap(nullptr);
    });
    headless::At(AfterTick(4) + 10, [] {
        EXPECT_EQ(LitMenuItem(), kNothingLit);
        headless::Key(nullptr, VK_LEFT); // steers again
        headless::Key(nullptr, VK_F10);
        headless::KeyUp(nullptr, VK_F10);
    });
    headless::At(AfterTick(5), [] {
        EXPECT_EQ(objectTable[0].dx, -4);
        EXPECT_EQ(LitMenuItem(), 0);
        headless::Key(nullptr, VK_RIGHT);
        headless::Key(nullptr, VK_DOWN);
        headless::Key(nullptr, VK_UP);
    });
    headless::At(AfterTick(5) + 5, [] {
        EXPECT_EQ(AboutWindow(), nullptr);
        EXPECT_EQ(LitMenuItem(), 1);
        headless::Key(nullptr, VK_SPACE); // chooses "About Zorvak"
    });
    headless::At(AfterTick(5) + 10, [] {
        EXPECT_NE(AboutWindow(), nullptr);
        EXPECT_EQ(fireRequested, 0); // Space was the menu's
        EXPECT_EQ(LitMenuItem(), kNothingLit);
        // Alt+letter still chooses at once, without menu mode.
        headless::AltLetter(MainWindow(), 'Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(Desktop, MenuBarItemsAreChosenWhenTheButtonIsReleasedOverThem) {
    StartFresh();
    HWND main = nullptr;
    std::pair<int, int> newGame, about, quit;
    headless::At(AfterTick(1), [&] {
        main = MainWindow();
        newGame = MenuItemPoint(0);
        about = MenuItemPoint(1);
        quit = MenuItemPoint(2);
        // Pressed on "New game": lit, but nothing chosen yet.
        headless::Press(main, newGame.first, newGame.second);
    });
    headless::At(AfterTick(2), [&] {
        EXPECT_EQ(LitMenuItem(), 0);
        EXPECT_EQ(headless::Title(main), "ZORVAK");
        // Dragged off the bar and released over the playfield: nothing.
        headless::Drag(main, newGame.first, 100);
        headless::Release(main, newGame.first, 100);
    });
    headless::At(AfterTick(3), [&] {
        EXPECT_EQ(LitMenuItem(), kNothingLit);
        EXPECT_EQ(headless::Title(main), "ZORVAK");
        EXPECT_EQ(lives, 0);
        // Pressed on "Quit", dragged to "About" and released there: About.
        headless::Press(main, quit.first, quit.second);
        headless::Drag(main, about.first, about.second);
    });
    headless::At(AfterTick(4), [&] {
        EXPECT_EQ(LitMenuItem(), 1);
        headless::Release(main, about.first, about.second);
    });
    headless::At(AfterTick(5), [&] {
        EXPECT_NE(AboutWindow(), nullptr);
        EXPECT_EQ(LitMenuItem(), kNothingLit);
        // A click, press and release on the same item, chooses it.
        headless::Click(main, newGame.first, newGame.second);
    });
    headless::At(AfterTick(6), [&] {
        EXPECT_EQ(headless::Title(main), "Lives: 05 - Level 01 - Score: 00000");
        headless::Click(main, quit.first, quit.second);
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(Desktop, AKeyAndATimerDueAtTheSameMomentReachTheWindowKeyFirst) {
    StartFresh();
    headless::At(AfterTick(1), [] { Command('N'); });
    // Exactly when tick 5 falls due.
    headless::At(kStart + 5 * kTick, [] { headless::Key(nullptr, VK_LEFT); });
    headless::At(AfterTick(5), [] {
        // Tick 5 already moved the ship by the new course.
        EXPECT_EQ(objectTable[0].x, 239 - 4);
        Command('Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
}

// What a stray Alt does, as the real program does it under Wine (the Wine
// smoke test checks the first of these there): Space chooses the lit item
// in menu mode, as Enter does, so an Alt tap then Space starts a new game,
// and Alt, Left, Left, Space quits.
TEST(Desktop, AfterAnAltTapSpaceChoosesTheLitItemAsWindowsDoes) {
    StartFresh();
    headless::At(AfterTick(1), [] { Command('N'); });
    headless::At(AfterTick(3), [] { headless::Key(nullptr, VK_LEFT); });
    headless::At(AfterTick(10), [] {
        EXPECT_LT(objectTable[0].x, 239);
        headless::AltTap(nullptr);
        headless::Key(nullptr, VK_SPACE);
    });
    headless::At(AfterTick(10) + 5, [] {
        EXPECT_EQ(objectTable[0].x, 239) << "a new game: the ship back in the middle";
        EXPECT_EQ(objectTable[0].dx, 0);
        EXPECT_EQ(fireRequested, 0) << "the Space went to the menu, not the ship";
        headless::AltTap(nullptr);
        headless::Key(nullptr, VK_LEFT);
        headless::Key(nullptr, VK_LEFT);
        headless::Key(nullptr, VK_SPACE);
    });
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_LT(headless::Now(), AfterTick(11)) << "Quit Zorvak, chosen with Space, ended it";
}
