// Start-up: window classes, the main window's size and place, the first
// paint, and the two start-up failures.
#include "platform/core/resource_decode.h"
#include "presentation/sprites.h"
#include "session.h"
#include "shell/shell_state.h"
#include "shell/windows_shell.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace session;

namespace {

struct WindowPlace {
    RECT outer;
    RECT client;
};

WindowPlace PlaceOf(HWND window) {
    WindowPlace place;
    std::memset(&place, 0, sizeof place);
    GetWindowRect(window, &place.outer);
    GetClientRect(window, &place.client);
    return place;
}

// A 1-bit .bmp file of the given size, all black.
std::vector<unsigned char> BlackBitmapFile(int width, int height) {
    int rowBytes = ((width + 31) / 32) * 4;
    int bits = rowBytes * height;
    std::vector<unsigned char> file(14 + 40 + 8 + bits, 0);
    auto put16 = [&](size_t at, unsigned v) {
        file[at] = v & 0xFF;
        file[at + 1] = (v >> 8) & 0xFF;
    };
    auto put32 = [&](size_t at, unsigned v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, unsigned(file.size()));
    put32(10, 14 + 40 + 8);
    put32(14, 40);
    put32(18, unsigned(width));
    put32(22, unsigned(height));
    put16(26, 1);
    put16(28, 1);
    put32(34, unsigned(bits));
    put32(46, 2);
    file[14 + 40 + 4] = 0xFF; // palette entry 1 white
    file[14 + 40 + 5] = 0xFF;
    file[14 + 40 + 6] = 0xFF;
    return file;
}

// The game's module with "BMP_ABOUT" replaced (or left out when aboutFile is
// empty).
HINSTANCE ModuleWithAboutPicture(const std::vector<unsigned char> &aboutFile) {
    static std::vector<zplat::Resource> table;
    static std::vector<unsigned char> about;
    table.clear();
    about = aboutFile;
    auto copy = [&](zplat::ResourceType type, const char *name) {
        const zplat::Resource *r = zplat::FindResourceIn(zplat::GameModule(), type, name);
        if (r != nullptr) {
            table.push_back(*r);
        }
    };
    for (const char *name : spriteNames) {
        copy(zplat::RES_ICON, name);
    }
    copy(zplat::RES_BITMAP, "BMP_INTRO");
    copy(zplat::RES_BITMAP, "BMP_GAMEOVER");
    copy(zplat::RES_MENU, "MENU_1");
    if (!about.empty()) {
        table.push_back({zplat::RES_BITMAP, "BMP_ABOUT", about.data(), about.size()});
    }
    return zplat::RegisterModule(table.data(), table.size());
}

} // namespace

TEST(StartUp, FirstPaintShowsTitleFrameAndIntroductionInACentredWindow) {
    StartFresh();
    WindowPlace place;
    headless::Image client;
    headless::Image composed;
    std::string title;
    int stageBeforeTick = -1;
    int stageAfterTick = -1;
    headless::At(kStart + 10, [&] {
        HWND window = MainWindow();
        place = PlaceOf(window);
        client = headless::ClientImage(window);
        composed = headless::ComposedImage(window);
        title = headless::Title(window);
        stageBeforeTick = attractStage;
        SaveScreenshot(composed, "intro");
    });
    // The first paint started the 50 ms timer: its first tick moved the
    // attract loop on.
    // The system menu lost Size and Maximize and ends with About (a menu
    // item that is not there cannot be deleted).
    BOOL sizeDeleted = TRUE, maximizeDeleted = TRUE, aboutDeleted = FALSE;
    headless::At(AfterTick(1), [&] {
        stageAfterTick = attractStage;
        HMENU systemMenu = GetSystemMenu(MainWindow(), FALSE);
        sizeDeleted = DeleteMenu(systemMenu, SC_SIZE, MF_BYCOMMAND);
        maximizeDeleted = DeleteMenu(systemMenu, SC_MAXIMIZE, MF_BYCOMMAND);
        aboutDeleted = DeleteMenu(systemMenu, 1001, MF_BYCOMMAND);
        Quit();
    });
    EXPECT_EQ(RunWinMain(), 0);

    EXPECT_EQ(title, "ZORVAK");
    // 453 x 302 picture: 517 x 374 outside, centred on the 1920 x 1080 desktop.
    EXPECT_EQ(place.outer.left, 960 - 258);
    EXPECT_EQ(place.outer.top, 540 - 187);
    EXPECT_EQ(place.outer.right - place.outer.left, 517);
    EXPECT_EQ(place.outer.bottom - place.outer.top, 374);
    EXPECT_EQ(place.client.right, 511);
    EXPECT_EQ(place.client.bottom, 330);
    EXPECT_EQ(clientWidth, 511);
    EXPECT_EQ(clientHeight, 330);
    EXPECT_EQ(composed.width, 511);
    EXPECT_EQ(composed.height, 349);
    EXPECT_EQ(stageBeforeTick, 1);
    EXPECT_EQ(stageAfterTick, 2);
    EXPECT_FALSE(sizeDeleted);
    EXPECT_FALSE(maximizeDeleted);
    EXPECT_TRUE(aboutDeleted);

    // The frame around the introduction picture, which sits just inside the
    // left wall and, 453 pixels wide, covers the first 6 columns of the right
    // wall (x 479 to 484) and the top 4 rows of the ground (y 298 to 301).
    EXPECT_TRUE(Shows(client, 32, 0, Picture("BMP_INTRO")));
    EXPECT_TRUE(Shows(client, 0, 0, Sprite("IC_WALL4")));
    EXPECT_TRUE(Shows(client, 0, 298, Sprite("IC_WALL1")));
    EXPECT_TRUE(Shows(client, 485, 0, Crop(Sprite("IC_WALL3"), 6, 0, 26, 32)));
    EXPECT_TRUE(Shows(client, 485, 298, Crop(Sprite("IC_WALL2"), 6, 0, 26, 32)));
}

TEST(StartUp, WindowSizeFollowsTheAboutPicture) {
    struct Case {
        std::vector<unsigned char> about;
        int desktopWidth, desktopHeight;
        int left, top, width, height;
    };
    const Case cases[] = {
        // 301 x 201 picture: 365 x 273 window on a 1366 x 768 desktop.
        {BlackBitmapFile(301, 201), 1366, 768, 683 - 182, 384 - 136, 365, 273},
        // No picture at all: sized as for 453 x 302.
        {{}, 1920, 1080, 960 - 258, 540 - 187, 517, 374},
    };
    for (const Case &c : cases) {
        StartFresh();
        headless::SetDesktopSize(c.desktopWidth, c.desktopHeight);
        HINSTANCE module = ModuleWithAboutPicture(c.about);
        WindowPlace place;
        headless::At(kStart + 10, [&] {
            place = PlaceOf(MainWindow());
            Quit();
        });
        EXPECT_EQ(RunWinMain(module), 0);
        EXPECT_EQ(place.outer.left, c.left);
        EXPECT_EQ(place.outer.top, c.top);
        EXPECT_EQ(place.outer.right - place.outer.left, c.width);
        EXPECT_EQ(place.outer.bottom - place.outer.top, c.height);
        EXPECT_EQ(clientWidth, c.width - 6);
        EXPECT_EQ(clientHeight, c.height - 44);
    }
}

TEST(StartUp, FailuresBeepShowTheirMessageAndExitWithZero) {
    // No window can be made (as without a display).
    StartFresh();
    headless::FailWindowCreation(true);
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_EQ(headless::Beeps(), 1);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Unable to start this instance of Zorvak");
    EXPECT_EQ(headless::MessageBoxes()[0].caption, "ERROR");
    EXPECT_TRUE(headless::Windows().empty());

    // The main class is taken already, so registering fails.
    StartFresh();
    WNDCLASSA taken;
    std::memset(&taken, 0, sizeof taken);
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = zplat::GameModule();
    taken.lpszClassName = "CL_ZORVAK";
    ASSERT_NE(RegisterClassA(&taken), 0);
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_EQ(headless::Beeps(), 1);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Unable to start Zorvak");
    EXPECT_EQ(headless::MessageBoxes()[0].caption, "ERROR");

    // Given a previous instance, the classes are not registered again; here
    // there are none, so the window cannot be made.
    StartFresh();
    EXPECT_EQ(WinMain(zplat::GameModule(), zplat::GameModule(), const_cast<LPSTR>(""), 1), 0);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Unable to start this instance of Zorvak");
    EXPECT_EQ(headless::Beeps(), 1);
}
