// The scale the SDL backend chooses for the game's image: on the desktop, a
// whole scale that leaves room for the window's frame and the panels; full
// screen, the largest whole scale of the image and its caption bar.
#include "platform/sdl/sdl_backend.h"

#include <gtest/gtest.h>

namespace sdltest {
namespace {

TEST(ChooseScale, FollowsTheDesktopAndAlwaysFits) {
    // The game's composed image (menu bar + client) is 511 x 349.
    EXPECT_EQ(zplat::DesktopScale(1920, 1080, 511, 349), 2);
    EXPECT_EQ(zplat::DesktopScale(1366, 768, 511, 349), 1);
    // A desktop smaller than the image still shows it, unscaled.
    EXPECT_EQ(zplat::DesktopScale(640, 480, 511, 349), 1);
    EXPECT_EQ(zplat::DesktopScale(0, 0, 511, 349), 1);
    EXPECT_GE(zplat::DesktopScale(3840, 2160, 511, 349), 4);
    const int desktops[][2] = {{1024, 768},  {1280, 800},  {1440, 900},  {1600, 900},
                               {1680, 1050}, {1920, 1200}, {2560, 1080}, {2560, 1440},
                               {3440, 1440}, {3840, 2160}, {5120, 2880}, {7680, 4320}};
    int previous = 1;
    for (const auto &d : desktops) {
        const int scale = zplat::DesktopScale(d[0], d[1], 511, 349);
        SCOPED_TRACE(testing::Message() << d[0] << " x " << d[1] << " -> " << scale);
        // The scaled window leaves room for its title bar and the panels, and
        // bigger desktops never get a smaller scale.
        EXPECT_LE(511 * scale, d[0] - 100);
        EXPECT_LE(349 * scale, d[1] - 100);
        EXPECT_GE(scale, previous);
        previous = scale;
        // Full screen has no frame and no panels: the image and a caption
        // bar of 19 pixels, both scaled, fill the screen as far as they can.
        const int full = zplat::FullScreenScale(d[0], d[1], 511, 349);
        EXPECT_GE(full, scale);
        EXPECT_LE(511 * full, d[0]);
        EXPECT_LE(368 * full, d[1]);
        EXPECT_TRUE(511 * (full + 1) > d[0] || 368 * (full + 1) > d[1]);
    }
    EXPECT_EQ(zplat::FullScreenScale(1920, 1080, 511, 349), 2);
    EXPECT_EQ(zplat::FullScreenScale(2560, 1440, 511, 349), 3);
    EXPECT_EQ(zplat::FullScreenScale(400, 300, 511, 349), 1);
}

} // namespace
} // namespace sdltest
