// Menus: the class menu bar (clicks and Alt+mnemonics to WM_COMMAND), the
// system menu model and its drop-down (to WM_SYSCOMMAND), drop-downs as
// overlays, and a saved picture of a window.
#include "platform/backend.h"
#include "platform/window_inspection.h"
#include "tests/support/recording_window.h"
#include "tests/support/resource_files.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using support::seen;
using support::SeenOf;
using support::WParamsOf;
using Ids = std::vector<WPARAM>;

constexpr int kBar = 19;
constexpr WPARAM kScKeyMenu = 0xF100;

HINSTANCE Module() {
    static HINSTANCE module = support::RegisterTestModule({
        {zplat::RES_MENU, "MENU_1",
         support::MakeMenu(
             {{1000, u"&New game"}, {1001, u"&About Zorvak"}, {1003, u"&Quit Zorvak"}})},
        {zplat::RES_ICON, "IC_GREEN", support::SolidIcon(32, 10)},
    });
    return module;
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::ResetPlatform();
        support::RegisterTestClass("CL_ZORVAK", Module(), "MENU_1");
        support::RegisterTestClass("CL_PLAIN", Module());
        main = support::MakeWindow("CL_ZORVAK", Module(), 517, 374);
        ASSERT_NE(main, nullptr);
        ShowWindow(main, SW_SHOW);
        support::Pump();
    }
    void TearDown() override { zplat::ShutdownPlatform(); }
    bool DropDownOpen(HWND w) {
        zplat::WindowInfo info;
        EXPECT_TRUE(zplat::GetWindowInfo(w, &info));
        return info.dropDownOpen;
    }
    HWND main = nullptr;
};

TEST_F(MenuTest, EveryItemOnTheBarSendsItsCommandOverItsWholeWidth) {
    // Sweep the bar pixel by pixel past the system box: each item answers
    // over its text (6 pixels a letter, the '&' not counted) and 6 pixels
    // each side of it, and nowhere else.
    for (int x = 19; x < 511; ++x) {
        headless::Click(main, x, kBar / 2);
    }
    support::Pump();
    Ids distinct, widths;
    for (WPARAM id : WParamsOf(WM_COMMAND)) {
        if (distinct.empty() || distinct.back() != id) {
            distinct.push_back(id);
            widths.push_back(0);
        }
        ++widths.back();
    }
    EXPECT_EQ(distinct, (Ids{1000, 1001, 1003}));
    EXPECT_EQ(widths, (Ids{8 * 6 + 12, 12 * 6 + 12, 11 * 6 + 12}));
    EXPECT_TRUE(SeenOf(WM_LBUTTONDOWN).empty()); // the bar is not the client
}

// Alt+letters give their commands, unknown ones beep, in menu mode too;
// plain letters are keys for the program.
TEST_F(MenuTest, AltMnemonicsSendCommands) {
    for (char c : {'q', 'N', 'a', 'z'}) {
        headless::AltLetter(main, c);
    }
    headless::AltTap(main);
    headless::Key(main, 'Z');
    headless::Key(main, VK_ESCAPE);
    headless::Key(main, 'N');
    support::Pump();
    EXPECT_EQ(WParamsOf(WM_COMMAND), (Ids{1003, 1000, 1001}));
    EXPECT_EQ(headless::Beeps(), 2);
    EXPECT_EQ(SeenOf(WM_KEYDOWN).back().wParam, WPARAM('N'));
}

// Clicks on the client area, up to its last row and column, are client
// clicks in client coordinates; the bar's last row and what lies past the
// edges give none.  {composed x and y, then the client's, -1 for none}.
TEST_F(MenuTest, ClicksInTheClientAreaAreClientClicksUpToItsEdges) {
    const int points[][4] = {{0, kBar, 0, 0},         {510, kBar + 329, 510, 329},
                             {40, kBar + 30, 40, 30}, {511, kBar + 5, -1, -1},
                             {5, kBar + 330, -1, -1}, {300, kBar - 1, -1, -1}};
    for (const auto &p : points) {
        seen.clear();
        headless::Click(main, p[0], p[1]);
        support::Pump();
        const auto down = SeenOf(WM_LBUTTONDOWN);
        EXPECT_EQ(down.empty() ? LPARAM(-1) : down[0].lParam,
                  p[2] < 0 ? LPARAM(-1) : LPARAM(p[2] | p[3] << 16))
            << p[0] << ", " << p[1];
    }
    EXPECT_TRUE(WParamsOf(WM_COMMAND).empty());
}

TEST_F(MenuTest, SystemMenuEditedLikeTheGameSendsSystemCommands) {
    HMENU sys = GetSystemMenu(main, FALSE);
    ASSERT_NE(sys, nullptr);
    EXPECT_TRUE(DeleteMenu(sys, SC_MAXIMIZE, MF_BYCOMMAND));
    EXPECT_TRUE(DeleteMenu(sys, SC_SIZE, MF_BYCOMMAND));
    EXPECT_FALSE(DeleteMenu(sys, SC_SIZE, MF_BYCOMMAND)); // already gone
    EXPECT_TRUE(AppendMenuA(sys, MF_SEPARATOR, 0, NULL));
    EXPECT_TRUE(AppendMenuA(sys, MF_STRING, 1001, "&About Zorvak"));
    EXPECT_EQ(GetSystemMenu(main, FALSE), sys);

    // Alt+Space opens it; the last item is the appended one.
    headless::AltLetter(main, ' ');
    support::Pump();
    EXPECT_TRUE(DropDownOpen(main));
    headless::Key(main, VK_UP);
    headless::Key(main, VK_RETURN);
    support::Pump();
    EXPECT_FALSE(DropDownOpen(main));
    EXPECT_EQ(WParamsOf(WM_SYSCOMMAND), (Ids{kScKeyMenu, 1001}));

    // The deleted items are gone: Ma&ximize's letter does nothing, while
    // Mi&nimize works; the box on the bar opens the menu too.
    seen.clear();
    headless::Click(main, 5, 5);
    headless::Key(main, 'X');
    headless::Key(main, 'N');
    support::Pump();
    EXPECT_EQ(WParamsOf(WM_SYSCOMMAND), (Ids{SC_MINIMIZE}));
    EXPECT_TRUE(headless::IsMinimized(main));

    // Reverted, it is the default menu again, without the About item; its
    // Restore restores.
    EXPECT_EQ(GetSystemMenu(main, TRUE), nullptr);
    seen.clear();
    for (char c : {'A', 'R'}) {
        headless::AltLetter(main, ' ');
        headless::Key(main, c);
    }
    support::Pump();
    EXPECT_EQ(WParamsOf(WM_SYSCOMMAND), (Ids{kScKeyMenu, kScKeyMenu, SC_RESTORE}));
    EXPECT_FALSE(headless::IsMinimized(main));
}

// The system menu offers what the window's style and state allow, as on
// Windows: Restore only while minimised, Minimize only in a normal window
// with a minimise box, Size only in a normal window with a sizing frame,
// Maximize with a maximise box, Move and Close always.  Opened by the
// keyboard, the first item offered is lit (Enter chooses it); then each
// item is tried by its letter, which does nothing on a grey one.  The
// window swallows the commands, so that its state stays.
TEST_F(MenuTest, SystemMenuOffersWhatTheWindowsStyleAndStateAllow) {
    constexpr DWORD kSizable =
        WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    const struct {
        DWORD style;
        int show;
        Ids offered; // the first lit, then by letter
    } rows[] = {
        {support::kMainStyle, SW_SHOW, {SC_MOVE, SC_MOVE, SC_MINIMIZE, SC_CLOSE}},
        {support::kMainStyle, SW_SHOWMINIMIZED, {SC_RESTORE, SC_RESTORE, SC_MOVE, SC_CLOSE}},
        {kSizable, SW_SHOW, {SC_MOVE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE}},
        {kSizable, SW_MINIMIZE, {SC_RESTORE, SC_RESTORE, SC_MOVE, SC_MAXIMIZE, SC_CLOSE}},
        {WS_DLGFRAME | WS_SYSMENU, SW_SHOW, {SC_MOVE, SC_MOVE, SC_CLOSE}},
    };
    support::hook = [](HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT *result) {
        *result = 0;
        return msg == WM_SYSCOMMAND && wParam != kScKeyMenu;
    };
    const int keys[] = {VK_RETURN, 'R', 'M', 'S', 'N', 'X', 'C'};
    for (const auto &row : rows) {
        HWND w = support::MakeWindow("CL_PLAIN", Module(), 200, 100, row.style);
        ShowWindow(w, row.show);
        seen.clear();
        for (int key : keys) {
            headless::AltLetter(w, ' ');
            headless::Key(w, key);
            headless::Key(w, VK_ESCAPE); // closes the menu a grey letter left open
        }
        support::Pump();
        Ids chosen = WParamsOf(WM_SYSCOMMAND);
        chosen.erase(std::remove(chosen.begin(), chosen.end(), kScKeyMenu), chosen.end());
        EXPECT_EQ(chosen, row.offered) << "style " << row.style << ", shown by " << row.show;
        EXPECT_FALSE(DropDownOpen(w));
        DestroyWindow(w);
    }
}

TEST_F(MenuTest, DropDownsAreOverlaysThatLeaveTheClientAlone) {
    HICON green = LoadIconA(Module(), "IC_GREEN");
    HDC dc = GetDC(main);
    DrawIcon(dc, 0, 0, green);
    ReleaseDC(main, dc);
    DestroyIcon(green);
    const uint64_t client = headless::Hash(headless::ClientImage(main));
    const headless::Image before = headless::ComposedImage(main);
    // The composed image is the bar, then the client pixels unchanged.
    EXPECT_EQ(before.At(0, kBar), 0x00FF00u);
    EXPECT_EQ(before.At(31, kBar + 31), 0x00FF00u);

    headless::Click(main, 5, 5);
    support::Pump();
    headless::Image open = headless::ComposedImage(main);
    EXPECT_EQ(headless::Hash(headless::ClientImage(main)), client);
    EXPECT_NE(headless::Hash(open), headless::Hash(before));
    // The drop-down hangs below the system box, over the icon.
    EXPECT_NE(open.At(10, kBar + 10), 0x00FF00u);

    // A click outside closes it and does nothing else; so do Alt,
    // minimising, and the desktop restoring the minimised window.
    headless::Click(main, 400, 300);
    support::Pump();
    EXPECT_TRUE(SeenOf(WM_LBUTTONDOWN).empty());
    EXPECT_EQ(headless::Hash(headless::ComposedImage(main)), headless::Hash(before));
    for (int way = 0; way < 3; ++way) {
        headless::AltLetter(main, ' ');
        support::Pump();
        ASSERT_TRUE(DropDownOpen(main));
        if (way == 0) {
            headless::AltTap(main);
        } else if (way == 1) {
            ShowWindow(main, SW_MINIMIZE);
        } else {
            headless::Restore(main);
        }
        support::Pump();
        EXPECT_FALSE(DropDownOpen(main)) << way;
    }

    // A window without a system menu opens none and has no bar.
    HWND plain = support::MakeWindow("CL_PLAIN", Module(), 453, 332, WS_DLGFRAME);
    ShowWindow(plain, SW_SHOW);
    EXPECT_EQ(GetSystemMenu(plain, FALSE), nullptr);
    support::Pump();
    const uint64_t plainBefore = headless::Hash(headless::ComposedImage(plain));
    headless::AltLetter(plain, ' ');
    support::Pump();
    EXPECT_FALSE(DropDownOpen(plain));
    EXPECT_EQ(headless::Hash(headless::ComposedImage(plain)), plainBefore);
}

TEST_F(MenuTest, BarItemsChosenFromElsewhereCloseMenusAndGoToTheBarOfTheFocusOrTheFirstWindow) {
    auto choose = [](int item) {
        zplat::InputEvent e = {};
        e.type = zplat::InputEvent::BarCommand;
        e.x = item;
        zplat::PushInput(e);
        support::Pump();
    };
    // With the system menu open: it closes, and the bar's second item is chosen.
    headless::Click(main, 5, kBar / 2);
    support::Pump();
    ASSERT_TRUE(DropDownOpen(main));
    choose(1);
    EXPECT_FALSE(DropDownOpen(main));
    // A window without a bar has the keyboard: the first window's bar answers.
    HWND plain = support::MakeWindow("CL_PLAIN", Module(), 200, 100, WS_DLGFRAME);
    ShowWindow(plain, SW_SHOW);
    support::Pump();
    choose(0);
    choose(3); // no such item
    // A second window with a bar has the keyboard: its bar answers.
    HWND second = support::MakeWindow("CL_ZORVAK", Module(), 517, 374);
    ShowWindow(second, SW_SHOW);
    support::Pump();
    choose(2);
    const auto commands = SeenOf(WM_COMMAND);
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].hwnd, main);
    EXPECT_EQ(commands[0].wParam, 1001u);
    EXPECT_EQ(commands[1].hwnd, main);
    EXPECT_EQ(commands[1].wParam, 1000u);
    EXPECT_EQ(commands[2].hwnd, second);
    EXPECT_EQ(commands[2].wParam, 1003u);
    EXPECT_TRUE(WParamsOf(WM_SYSCOMMAND).empty());
}

TEST_F(MenuTest, ComposedImageSavesAsPng) {
    const std::string path = testing::TempDir() + "platform_menu_window.png";
    HDC dc = GetDC(main);
    SetPixel(dc, 3, 4, RGB(1, 2, 3));
    ReleaseDC(main, dc);
    const headless::Image image = headless::ComposedImage(main);
    ASSERT_TRUE(support::SavePng(image, path));
    const headless::Image read = support::LoadPng(path);
    EXPECT_EQ(read.width, 511);
    EXPECT_EQ(read.height, 330 + kBar);
    EXPECT_TRUE(read.pixels == image.pixels);
    EXPECT_FALSE(support::SavePng(headless::Image{}, path));
}

} // namespace
