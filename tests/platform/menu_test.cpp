// Menus: the class menu bar (clicks and Alt+mnemonics to WM_COMMAND), the
// system menu model and its drop-down (to WM_SYSCOMMAND), drop-downs as
// overlays, and a saved picture of a window.
#include "platform/core/core.h"
#include "tests/platform/test_support.h"

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using test::seen;
using test::SeenOf;

constexpr DWORD kMainStyle = WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kBar = 19;
constexpr WPARAM kScKeyMenuForTest = 0xF100; // SC_KEYMENU

HINSTANCE Module() {
    static HINSTANCE module = test::RegisterTestModule({
        {zplat::RES_MENU, "MENU_1",
         test::MakeMenu({{1000, "&New game"}, {1001, "&About Zorvak"}, {1003, "&Quit Zorvak"}})},
        {zplat::RES_ICON, "IC_GREEN", test::SolidIcon(32, 10)},
    });
    return module;
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetAll();
        test::RegisterTestClass("CL_ZORVAK", Module(), "MENU_1");
        test::RegisterTestClass("CL_PLAIN", Module());
        main = CreateWindowExA(0, "CL_ZORVAK", "ZORVAK", kMainStyle, 0, 0, 517, 374, NULL, NULL,
                               Module(), NULL);
        ASSERT_NE(main, nullptr);
        ShowWindow(main, SW_SHOW);
    }
    void TearDown() override { zplat::ShutdownPlatform(); }

    std::vector<WPARAM> Commands(UINT message) {
        std::vector<WPARAM> out;
        for (const auto &s : SeenOf(message))
            out.push_back(s.wParam);
        return out;
    }
    void EditSystemMenuLikeTheGame() {
        HMENU sys = GetSystemMenu(main, FALSE);
        ASSERT_NE(sys, nullptr);
        EXPECT_TRUE(DeleteMenu(sys, SC_MAXIMIZE, MF_BYCOMMAND));
        EXPECT_TRUE(DeleteMenu(sys, SC_SIZE, MF_BYCOMMAND));
        EXPECT_FALSE(DeleteMenu(sys, SC_SIZE, MF_BYCOMMAND)); // already gone
        EXPECT_TRUE(AppendMenuA(sys, MF_SEPARATOR, 0, NULL));
        EXPECT_TRUE(AppendMenuA(sys, MF_STRING, 1001, "&About Zorvak"));
        EXPECT_EQ(GetSystemMenu(main, FALSE), sys);
    }
    HWND main = nullptr;
};

TEST_F(MenuTest, ClickingAlongTheBarGivesEachItemInOrder) {
    test::Pump();
    // Sweep the bar, past the system box; every item answers somewhere.
    for (int x = 20; x < 511; x += 3)
        headless::Click(main, x, kBar / 2);
    test::Pump();
    std::vector<WPARAM> ids = Commands(WM_COMMAND);
    ASSERT_FALSE(ids.empty());
    std::vector<WPARAM> distinct;
    for (WPARAM id : ids) {
        if (distinct.empty() || distinct.back() != id)
            distinct.push_back(id);
    }
    EXPECT_EQ(distinct, (std::vector<WPARAM>{1000, 1001, 1003}));
    EXPECT_EQ(SeenOf(WM_LBUTTONDOWN).size(), 0u); // the bar is not the client

    // Clicks in the client area are client clicks, in client coordinates.
    seen.clear();
    headless::Click(main, 40, kBar + 30);
    test::Pump();
    ASSERT_EQ(SeenOf(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(LOWORD(SeenOf(WM_LBUTTONDOWN)[0].lParam), 40);
    EXPECT_EQ(HIWORD(SeenOf(WM_LBUTTONDOWN)[0].lParam), 30);
    EXPECT_TRUE(SeenOf(WM_COMMAND).empty());
}

TEST_F(MenuTest, AltMnemonicsSendTheirCommandsAndOthersBeep) {
    test::Pump();
    headless::AltLetter(main, 'q');
    headless::AltLetter(main, 'N');
    headless::AltLetter(main, 'a');
    test::Pump();
    EXPECT_EQ(Commands(WM_COMMAND), (std::vector<WPARAM>{1003, 1000, 1001}));
    EXPECT_EQ(headless::Beeps(), 0);
    headless::AltLetter(main, 'z');
    test::Pump();
    EXPECT_EQ(Commands(WM_COMMAND).size(), 3u);
    EXPECT_EQ(headless::Beeps(), 1);
    // Plain letters are keys for the program, not menu commands.
    headless::Key(main, 'N');
    test::Pump();
    EXPECT_EQ(Commands(WM_COMMAND).size(), 3u);
    EXPECT_EQ(SeenOf(WM_KEYDOWN).back().wParam, WPARAM('N'));
}

TEST_F(MenuTest, SystemMenuItemsSendSystemCommands) {
    EditSystemMenuLikeTheGame();
    test::Pump();
    // Alt+Space opens it; the last item is the appended one.
    headless::AltLetter(main, ' ');
    test::Pump();
    zplat::WindowInfo info;
    ASSERT_TRUE(zplat::GetWindowInfo(main, &info));
    EXPECT_TRUE(info.dropDownOpen);
    headless::Key(main, VK_UP);
    headless::Key(main, VK_RETURN);
    test::Pump();
    ASSERT_TRUE(zplat::GetWindowInfo(main, &info));
    EXPECT_FALSE(info.dropDownOpen);
    EXPECT_EQ(Commands(WM_SYSCOMMAND), (std::vector<WPARAM>{kScKeyMenuForTest, 1001}));

    // The deleted items are gone: Ma&ximize's letter does nothing, while
    // Mi&nimize works; the box on the bar opens the menu too.
    seen.clear();
    headless::Click(main, 5, 5);
    headless::Key(main, 'X');
    headless::Key(main, 'N');
    test::Pump();
    EXPECT_EQ(Commands(WM_SYSCOMMAND), (std::vector<WPARAM>{SC_MINIMIZE}));
    EXPECT_TRUE(headless::IsMinimized(main));

    // Restore is offered while minimised; Close ends the window.
    seen.clear();
    headless::AltLetter(main, ' ');
    headless::Key(main, 'R');
    headless::AltLetter(main, ' ');
    headless::Key(main, 'C');
    test::Pump();
    EXPECT_EQ(test::SeenSequence({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
              (std::vector<UINT>{WM_SYSCOMMAND, WM_SYSCOMMAND, WM_SYSCOMMAND, WM_SYSCOMMAND,
                                 WM_CLOSE, WM_DESTROY}));
    EXPECT_EQ(Commands(WM_SYSCOMMAND),
              (std::vector<WPARAM>{kScKeyMenuForTest, SC_RESTORE, kScKeyMenuForTest, SC_CLOSE}));
    EXPECT_TRUE(headless::Windows().empty());
}

TEST_F(MenuTest, DropDownsAreOverlaysThatLeaveTheClientAlone) {
    HICON green = LoadIconA(Module(), "IC_GREEN");
    test::Pump();
    HDC dc = GetDC(main);
    DrawIcon(dc, 0, 0, green);
    ReleaseDC(main, dc);
    headless::Image clientBefore = headless::ClientImage(main);
    headless::Image composedBefore = headless::ComposedImage(main);
    // The composed image is the bar, then the client pixels unchanged.
    EXPECT_EQ(composedBefore.At(0, kBar), 0x00FF00u);
    EXPECT_EQ(composedBefore.At(31, kBar + 31), 0x00FF00u);

    headless::Click(main, 5, 5);
    test::Pump();
    headless::Image clientOpen = headless::ClientImage(main);
    headless::Image composedOpen = headless::ComposedImage(main);
    EXPECT_EQ(headless::Hash(clientOpen), headless::Hash(clientBefore));
    EXPECT_NE(headless::Hash(composedOpen), headless::Hash(composedBefore));
    // The drop-down hangs below the system box, over the icon.
    EXPECT_NE(composedOpen.At(10, kBar + 10), 0x00FF00u);

    // A click outside closes it and does nothing else.
    headless::Click(main, 400, 300);
    test::Pump();
    EXPECT_TRUE(SeenOf(WM_LBUTTONDOWN).empty());
    EXPECT_EQ(headless::Hash(headless::ComposedImage(main)), headless::Hash(composedBefore));
    DestroyIcon(green);
}

TEST_F(MenuTest, WindowsWithoutSystemMenuOpenNone) {
    HWND plain = CreateWindowExA(0, "CL_PLAIN", "About", WS_DLGFRAME, 0, 0, 453, 332, NULL, NULL,
                                 Module(), NULL);
    ShowWindow(plain, SW_SHOW);
    EXPECT_EQ(GetSystemMenu(plain, FALSE), nullptr);
    test::Pump();
    headless::Image before = headless::ComposedImage(plain);
    headless::AltLetter(plain, ' ');
    test::Pump();
    zplat::WindowInfo info;
    ASSERT_TRUE(zplat::GetWindowInfo(plain, &info));
    EXPECT_FALSE(info.dropDownOpen);
    EXPECT_EQ(headless::Hash(headless::ComposedImage(plain)), headless::Hash(before));
    EXPECT_EQ(info.menuBarHeight, 0);
}

TEST_F(MenuTest, ComposedImageSavesAsPng) {
    HICON green = LoadIconA(Module(), "IC_GREEN");
    test::Pump();
    HDC dc = GetDC(main);
    for (int x = 0; x < 511; x += 32)
        DrawIcon(dc, x, 330 - 32, green);
    for (int i = 0; i < 200; ++i)
        SetPixel(dc, 100 + i, 100 + i / 2, RGB(255, 255, 0));
    ReleaseDC(main, dc);
    headless::Image img = headless::ComposedImage(main);
    std::string path = testing::TempDir() + "platform_menu_window.png";
    ASSERT_TRUE(headless::SavePng(img, path));
    FILE *f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char head[24] = {};
    ASSERT_EQ(std::fread(head, 1, sizeof head, f), sizeof head);
    std::fclose(f);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_EQ(std::memcmp(head, signature, 8), 0);
    // IHDR: big-endian width and height.
    EXPECT_EQ((head[16] << 24) | (head[17] << 16) | (head[18] << 8) | head[19], 511);
    EXPECT_EQ((head[20] << 24) | (head[21] << 16) | (head[22] << 8) | head[23], 330 + kBar);
    EXPECT_FALSE(headless::SavePng(headless::Image{}, path));
    DestroyIcon(green);
}

} // namespace
