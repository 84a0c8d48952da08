// The desktop's window requests (minimise with the icon showing the client
// origin, restore, close) and window creation without a display.
#include "platform/module.h"
#include "platform/resource_decode.h"
#include "tests/sdl/sdl_fixture.h"

#include <utility>

namespace sdltest {
namespace {

using support::SeenOf;
using support::WParamsOf;

// The desktop's requests: minimise (the icon shows the client origin),
// restore, and close, which destroys the window and its SDL window.
TEST_F(SdlBackendTest, MinimisedTheIconShowsTheClientOriginRestoredItRepaintsClosedItIsGone) {
    HWND window = MakeWindow();
    const Uint32 id = SdlId(window);
    const zplat::Resource *resource =
        zplat::FindResourceIn(GameModule(), zplat::RES_ICON, "ICON_1");
    zplat::DecodedIcon icon;
    ASSERT_NE(resource, nullptr);
    ASSERT_TRUE(zplat::DecodeIcon(resource->data, resource->size, &icon));
    std::vector<uint32_t> icon1(icon.color.size());
    for (size_t i = 0; i < icon1.size(); ++i) {
        icon1[i] = icon.transparent[i] ? 0u : 0xFF000000u | icon.color[i];
    }
    // The icon shown, 32 x 32, with every see-through pixel as 0.
    auto shownIcon = [&] {
        int width = 0;
        int height = 0;
        std::vector<uint32_t> shown = backend->IconPixels(window, &width, &height);
        EXPECT_EQ(std::pair(width, height), std::pair(32, 32));
        for (uint32_t &p : shown) {
            p = p >> 24 == 0 ? 0u : p;
        }
        return shown;
    };
    EXPECT_EQ(shownIcon(), icon1) << "a new window shows ICON_1";

    std::vector<uint32_t> iconWhileMinimised;
    size_t paintsBeforeRestore = 0;
    RunLoop(window, [&](HWND w, int tick) {
        if (tick == 0) {
            PushWindowEvent(w, SDL_WINDOWEVENT_MINIMIZED);
        } else if (tick == 2) {
            // What a program draws at its client origin while minimised.
            HDC dc = GetDC(w);
            for (int i = 0; i < 32 * 32; ++i) {
                SetPixel(dc, i % 32, i / 32, RGB(i % 32 * 8, i / 32 * 8, 200));
            }
            ReleaseDC(w, dc);
        } else if (tick == 4) {
            iconWhileMinimised = shownIcon();
            paintsBeforeRestore = SeenOf(WM_PAINT).size();
            PushWindowEvent(w, SDL_WINDOWEVENT_RESTORED);
        } else if (tick == 6) {
            EXPECT_GT(SeenOf(WM_PAINT).size(), paintsBeforeRestore)
                << "a restored window is repainted through WM_PAINT";
            EXPECT_EQ(shownIcon(), icon1) << "a restored window shows ICON_1 again";
            SetWindowTextA(w, "Lives: 05 - Level 01 - Score: 00000");
            EXPECT_STREQ(SDL_GetWindowTitle(backend->NativeWindow(w)),
                         "Lives: 05 - Level 01 - Score: 00000");
            PushWindowEvent(w, SDL_WINDOWEVENT_CLOSE);
        }
        return tick < 50; // WM_DESTROY ends the loop before
    });
    ASSERT_EQ(iconWhileMinimised.size(), 32u * 32u);
    for (int i = 0; i < 32 * 32; i += 37) {
        EXPECT_EQ(iconWhileMinimised[i],
                  0xFF0000C8u | uint32_t(i % 32 * 8) << 16 | uint32_t(i / 32 * 8) << 8)
            << "icon pixel " << i;
    }
    EXPECT_EQ(WParamsOf(WM_SYSCOMMAND), (std::vector<WPARAM>{SC_MINIMIZE, SC_RESTORE, SC_CLOSE}));
    EXPECT_EQ(SeenOf(WM_CLOSE).size(), 1u);
    EXPECT_EQ(SeenOf(WM_DESTROY).size(), 1u);
    EXPECT_EQ(backend->NativeWindow(window), nullptr);
    EXPECT_EQ(SDL_GetWindowFromID(id), nullptr) << "the SDL window is gone too";
}

TEST_F(SdlBackendTest, WithoutADisplayWindowCreationFails) {
    // The other tests here need none of what this one takes away.
    auto expectNoWindow = [this](const char *situation) {
        SCOPED_TRACE(situation);
        Uninstall();
        Install();
        EXPECT_EQ(MakeWindow(), nullptr);
        RECT desktop = {};
        ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &desktop));
        EXPECT_GT(desktop.right, 0);
        EXPECT_GT(desktop.bottom, 0);
    };
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    expectNoWindow("a video driver that does not exist");
    // No desktop at all: SDL itself would settle for a driver that shows
    // nothing, which is no display for a player.
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("XDG_RUNTIME_DIR", "/nonexistent-zorvak-runtime", 1);
    expectNoWindow("no desktop");
    unsetenv("XDG_RUNTIME_DIR");
}

} // namespace
} // namespace sdltest

namespace sdltest {
namespace {

// A program run anew in the same process (a replay watched again from its
// start) keeps its main window on the desktop: the next program's main
// window takes over its SDL window, full screen and all; anything else the
// last program had goes.
TEST_F(SdlBackendTest, ARestartedProgramsMainWindowTakesOverTheLastOnesWindow) {
    HWND first = MakeWindow();
    const Uint32 id = SdlId(first);
    ASSERT_NE(id, 0u);
    backend->SetFullScreen(true);
    backend->ProgramRestarts();
    zplat::ShutdownPlatform();
    EXPECT_EQ(backend->NativeWindow(first), nullptr);
    support::RegisterTestClass("T_WINDOW", GameModule());
    HWND second = support::MakeWindow("T_WINDOW", GameModule(), 106, 81 + 25 + 19);
    EXPECT_EQ(SdlId(second), id) << "the same window on the desktop";
    EXPECT_TRUE(backend->FullScreen()) << "still in full screen";
    // The one after it is a window of its own, and no restart is pending.
    backend->Wait(backend->NowMs());
    HWND other = support::MakeWindow("T_WINDOW", GameModule(), 106, 81 + 25 + 19);
    EXPECT_NE(SdlId(other), id);
    zplat::ShutdownPlatform();
    HWND after = support::MakeWindow("T_WINDOW", GameModule(), 106, 81 + 25 + 19);
    EXPECT_NE(SdlId(after), id) << "a plain shutdown keeps nothing";
}

} // namespace
} // namespace sdltest
