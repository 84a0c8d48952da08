// Start-up: the main window's size and place, the first paint, and the two
// start-up failures.
#include "platform/module.h"
#include "presentation/sprites.h"
#include "shell/shell_state.h"
#include "tests/support/game_window.h"
#include "tests/support/session.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

using namespace support;

namespace {

// The game's module with "BMP_ABOUT" claiming width x height (left out when
// width is 0).
HINSTANCE ModuleWithAboutPicture(int width, int height) {
    static std::vector<zplat::Resource> table;
    static std::vector<unsigned char> about;
    table.clear();
    auto copy = [](zplat::ResourceType type, const char *name) {
        table.push_back(*zplat::FindResourceIn(GameModule(), type, name));
    };
    for (const char *name : spriteNames) {
        copy(zplat::RES_ICON, name);
    }
    for (const char *name : {"BMP_INTRO", "BMP_GAMEOVER", "BMP_ABOUT"}) {
        copy(zplat::RES_BITMAP, name);
    }
    if (width == 0) {
        table.pop_back();
    } else {
        // A smaller picture fits in the same bits: rewrite the header's size.
        about.assign(table.back().data, table.back().data + table.back().size);
        for (int i = 0; i < 4; ++i) {
            about[18 + i] = uint8_t(width >> (8 * i));
            about[22 + i] = uint8_t(height >> (8 * i));
        }
        table.back().data = about.data();
    }
    copy(zplat::RES_MENU, "MENU_1");
    return zplat::RegisterModule(table.data(), table.size());
}

} // namespace

TEST(StartUp, TheMainWindowIsCentredPaintsTheFrameAndTheIntroductionAndOffersAbout) {
    StartFresh();
    headless::At(kStart + 10, [] {
        EXPECT_EQ(headless::Title(MainWindow()), "ZORVAK");
        // 453 x 302 picture: 517 x 374 outside, centred on the 1920 x 1080 desktop.
        EXPECT_EQ(Place(MainWindow()), (std::array<int, 6>{702, 353, 517, 374, 511, 330}));
        // The introduction picture sits just inside the left wall and, 453
        // pixels wide, covers the first 6 columns of the right wall (x 479 to
        // 484) and the top 4 rows of the ground (y 298 to 301).
        EXPECT_TRUE(MainShows(32, 0, Picture("BMP_INTRO")));
        EXPECT_TRUE(MainShows(0, 0, Sprite("IC_WALL4")));
        EXPECT_TRUE(MainShows(0, 298, Sprite("IC_WALL1")));
        EXPECT_TRUE(MainShows(485, 0, Crop(Sprite("IC_WALL3"), 6, 0, 26, 32)));
        EXPECT_TRUE(MainShows(485, 298, Crop(Sprite("IC_WALL2"), 6, 0, 26, 32)));
        headless::Image composed = headless::ComposedImage(MainWindow());
        EXPECT_EQ(std::pair(composed.width, composed.height), std::pair(511, 349));
        SaveScreenshot(composed, "intro");
        // The system menu lost Size and Maximize (an item that is not there
        // cannot be deleted) and ends with About.
        HMENU systemMenu = GetSystemMenu(MainWindow(), FALSE);
        EXPECT_FALSE(DeleteMenu(systemMenu, SC_SIZE, MF_BYCOMMAND));
        EXPECT_FALSE(DeleteMenu(systemMenu, SC_MAXIMIZE, MF_BYCOMMAND));
        EXPECT_TRUE(DeleteMenu(systemMenu, 1001, MF_BYCOMMAND));
        Command('Q');
    });
    EXPECT_EQ(RunWinMain(), 0);
}

TEST(StartUp, WindowSizeFollowsTheAboutPicture) {
    // {picture width, height (0: no picture), desktop width, height, place}
    const std::pair<std::array<int, 4>, std::array<int, 6>> cases[] = {
        {{341, 201, 1366, 768}, {683 - 202, 384 - 136, 405, 273, 399, 229}},
        {{0, 0, 1920, 1080}, {960 - 258, 540 - 187, 517, 374, 511, 330}}, // as for 453 x 302
    };
    for (const auto &[about, place] : cases) {
        StartFresh();
        headless::SetDesktopSize(about[2], about[3]);
        HINSTANCE module = ModuleWithAboutPicture(about[0], about[1]);
        headless::At(kStart + 10, [&, place = place] {
            EXPECT_EQ(Place(MainWindow()), place);
            EXPECT_EQ(std::pair(clientWidth, clientHeight), std::pair(place[4], place[5]));
            Command('Q');
        });
        EXPECT_EQ(RunWinMain(module), 0);
    }
}

// A picture too small for the field the rules need (shell/about_picture.h)
// leaves the window at the size of the 453 x 302 picture; the smallest that is
// big enough gives a 384 x 128 field in which wave after wave is played
// (about as many as at the full size with the same autopilot).  Before, small
// pictures hung the first wave's placement, overflowed the column arithmetic
// or relaunched kamikazes forever.
TEST(StartUp, AnAboutPictureTooSmallToPlayInKeepsTheFixedSize) {
    // A hang inside one timer message would never return to the test.
    signal(SIGALRM, [](int) {
        static const char message[] = "a game on a small field hung\n";
        (void)!write(2, message, sizeof message - 1);
        _exit(1);
    });
    alarm(240);
    // {picture width, height, ticks to play, waves at least} and the client
    // area it gives.
    const std::pair<std::array<int, 4>, std::pair<int, int>> cases[] = {
        {{80, 40, 2000, 2}, {511, 330}},  {{60, 302, 2000, 2}, {511, 330}},
        {{453, 10, 2000, 2}, {511, 330}}, {{325, 100, 300, 1}, {511, 330}},
        {{326, 99, 300, 1}, {511, 330}},  {{326, 100, 8000, 4}, {384, 128}},
    };
    for (const auto &[about, client] : cases) {
        SCOPED_TRACE(std::to_string(about[0]) + " x " + std::to_string(about[1]));
        StartFresh(kTick * uint64_t(about[2] + 100));
        HINSTANCE module = ModuleWithAboutPicture(about[0], about[1]);
        static int wavesStarted;
        static int8_t lastLevel;
        wavesStarted = 0;
        lastLevel = -1;
        headless::At(kStart + 10, [&, client = client] {
            EXPECT_EQ(std::pair(clientWidth, clientHeight), client);
            Command('N');
        });
        // The autopilot plays with lives to spare, so that the game goes on.
        headless::OnIdle([] {
            if (lives == 0 && objectCount == 0) {
                return;
            }
            lives = 5;
            Hunt();
            if (level != lastLevel) {
                ++wavesStarted;
                lastLevel = level;
            }
        });
        headless::At(AfterTick(about[2]), [] { Command('Q'); });
        EXPECT_EQ(RunWinMain(module), 0);
        EXPECT_GE(wavesStarted, about[3]);
    }
    alarm(0);
}

TEST(StartUp, FailuresBeepShowTheirMessageAndExitWithZero) {
    WNDCLASSA taken = {};
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = GameModule();
    taken.lpszClassName = "CL_ZORVAK";
    const char *const instanceFailure = "Unable to start this instance of Zorvak";
    const std::pair<std::function<int()>, const char *> cases[] = {
        // No window can be made (as without a display).
        {[] {
             headless::FailWindowCreation(true);
             return RunWinMain();
         },
         instanceFailure},
        // The main class is taken already, so registering fails.
        {[&] {
             EXPECT_NE(RegisterClassA(&taken), 0);
             return RunWinMain();
         },
         "Unable to start Zorvak"},
        // Given a previous instance, the classes are not registered again; here
        // there are none, so the window cannot be made.
        {[] { return WinMain(GameModule(), GameModule(), const_cast<LPSTR>(""), 1); },
         instanceFailure},
    };
    for (const auto &[run, text] : cases) {
        StartFresh();
        EXPECT_EQ(run(), 0);
        EXPECT_EQ(headless::Beeps(), 1);
        ASSERT_EQ(headless::MessageBoxes().size(), 1u);
        EXPECT_EQ(headless::MessageBoxes()[0].text, text);
        EXPECT_EQ(headless::MessageBoxes()[0].caption, "ERROR");
        EXPECT_TRUE(headless::Windows().empty());
    }
}
