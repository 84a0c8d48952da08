// The display policy every backend shares: the scales on a desktop, in full
// screen and in a room of a page, where the image sits and how surface
// points map back to it, the caption bar and the program's icon.
#include "platform/display.h"
#include "tests/support/resource_files.h"

#include <gtest/gtest.h>

namespace {

// The game's composed image: the 511 x 330 client under the 19-pixel menu bar.
constexpr int kImageWidth = 511;
constexpr int kImageHeight = 349;

TEST(DisplayScale, DesktopFullScreenAndPageRoomOnEveryScreen) {
    struct Row {
        int width, height;
        int desktop, fullScreen;
    };
    // Worked out by hand: the desktop leaves a tenth of the width and a
    // sixth of the height to the frame and the panels; full screen fits the
    // image and its 19-pixel caption (511 x 368) whole.
    const Row rows[] = {
        {320, 200, 1, 1},     {640, 480, 1, 1},   {1024, 768, 1, 2},  {1366, 768, 1, 2},
        {1280, 800, 1, 2},    {1440, 900, 2, 2},  {1920, 1080, 2, 2}, {1920, 1200, 2, 3},
        {2560, 1440, 3, 3},   {3440, 1440, 3, 3}, {3840, 2160, 5, 5}, {5120, 2880, 6, 7},
        {7680, 4320, 10, 11}, {0, 0, 1, 1},       {-5, 1080, 1, 1},   {100000, 100000, 16, 64},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(testing::Message() << r.width << " x " << r.height);
        const int desktop = zplat::DesktopScale(r.width, r.height, kImageWidth, kImageHeight);
        const int full = zplat::FullScreenScale(r.width, r.height, kImageWidth, kImageHeight);
        EXPECT_EQ(desktop, r.desktop);
        EXPECT_EQ(full, r.fullScreen);
        EXPECT_GE(full, desktop);
        // The page's room of the same size takes the largest scale that fits
        // the image alone, never one that does not fit.
        const int page = zplat::FitScale(r.width, r.height, kImageWidth, kImageHeight);
        if (page > 1) {
            EXPECT_LE(kImageWidth * page, r.width);
            EXPECT_LE(kImageHeight * page, r.height);
        }
        if (page < zplat::kLargestScale) {
            EXPECT_TRUE(kImageWidth * (page + 1) > r.width || kImageHeight * (page + 1) > r.height);
        }
    }
    // Exactly at the edge: 2 fits a room of exactly twice the image.
    EXPECT_EQ(zplat::FitScale(2 * kImageWidth, 2 * kImageHeight, kImageWidth, kImageHeight), 2);
    EXPECT_EQ(zplat::FitScale(2 * kImageWidth - 1, 2 * kImageHeight, kImageWidth, kImageHeight), 1);
    EXPECT_EQ(zplat::FitScale(100, 100, 0, 10), 1);
}

TEST(DisplayPlacement, FullScreenCentresImageAndCaptionAndEveryPointMapsBack) {
    // On a desktop the image fills the window at its scale.
    EXPECT_EQ(zplat::PlaceImage(1022, 698, kImageWidth, kImageHeight, false, 2),
              (zplat::Placement{2, 0, 0, 0}));
    // 1920 x 1080: scale 2, the 1022 x 736 picture centred.
    const zplat::Placement full = zplat::PlaceImage(1920, 1080, kImageWidth, kImageHeight, true, 1);
    EXPECT_EQ(full, (zplat::Placement{2, 449, 172, 38}));
    // Each surface pixel belongs to the image pixel whose block holds it;
    // the caption bar and the black around map outside the image.
    struct Point {
        int x, y, imageX, imageY;
    };
    const Point points[] = {
        {449, 210, 0, 0},      {450, 211, 0, 0},      {451, 210, 1, 0},
        {448, 210, -1, 0},     {449, 209, 0, -1},     {449, 172, 0, -19},
        {1470, 907, 510, 348}, {1471, 908, 511, 349}, {0, 0, -225, -105},
    };
    for (const Point &p : points) {
        int x = 0;
        int y = 0;
        zplat::SurfaceToImage(full, p.x, p.y, &x, &y);
        EXPECT_EQ(std::pair(x, y), std::pair(p.imageX, p.imageY)) << p.x << ", " << p.y;
    }
    // A screen smaller than the image: at scale 1 from the top-left corner.
    EXPECT_EQ(zplat::PlaceImage(400, 300, kImageWidth, kImageHeight, true, 1),
              (zplat::Placement{1, 0, 0, 19}));
}

TEST(DisplayCaptionBar, TitleInTheLayersFontOnTheActiveOrIdleColourEndingInDots) {
    const int width = 200;
    std::vector<uint32_t> active(size_t(width) * zplat::kCaptionBarHeight);
    std::vector<uint32_t> idle(active.size());
    zplat::DrawCaptionBar(active.data(), width, zplat::kCaptionBarHeight, "ZORVAK", true);
    zplat::DrawCaptionBar(idle.data(), width, zplat::kCaptionBarHeight, "ZORVAK", false);
    EXPECT_EQ(active[0], 0x000080u) << "an active window's caption is dark blue";
    EXPECT_EQ(idle[0], 0x808080u) << "an idle one's grey";
    auto inked = [&](const std::vector<uint32_t> &bar, int x0, int x1) {
        int count = 0;
        for (int y = 0; y < zplat::kCaptionBarHeight; ++y) {
            for (int x = x0; x < x1; ++x) {
                count += bar[size_t(y) * width + size_t(x)] != bar[0];
            }
        }
        return count;
    };
    EXPECT_GT(inked(active, 0, 60), 20) << "the title is drawn at the left end";
    EXPECT_EQ(inked(active, 60, width), 0) << "and nothing beyond it";
    // A title longer than the bar is cut and ends in "...": ink reaches the
    // right end but stays inside the bar's margin.
    std::vector<uint32_t> longBar(active.size());
    const std::string title(100, 'W');
    zplat::DrawCaptionBar(longBar.data(), width, zplat::kCaptionBarHeight, title.c_str(), true);
    EXPECT_GT(inked(longBar, width - 20, width - 4), 0);
    EXPECT_EQ(inked(longBar, width - 4, width), 0);
    // Nothing to draw on: no crash.
    zplat::DrawCaptionBar(nullptr, width, zplat::kCaptionBarHeight, "x", true);
}

TEST(DisplayIcon, ProgramIconIsIcon1DecodedOnceWithItsSeeThroughPixels) {
    // A 32 x 32 icon: its left half see-through, its right half palette 12.
    const support::Bytes file = support::MakeIcon(
        32, [](int, int) { return 12; }, [](int x, int) { return x < 16; });
    HINSTANCE module = support::RegisterTestModule({{zplat::RES_ICON, "ICON_1", file}});
    const zplat::IconImage &icon = zplat::ProgramIcon(module);
    ASSERT_EQ(std::pair(icon.width, icon.height), std::pair(32, 32));
    EXPECT_EQ(icon.argb[0] >> 24, 0u) << "see-through";
    EXPECT_EQ(icon.argb[31], 0xFF000000u | support::PaletteColor(4, 12));
    EXPECT_EQ(&zplat::ProgramIcon(module), &icon) << "decoded once";
    HINSTANCE none = support::RegisterTestModule({{zplat::RES_ICON, "ICON_2", file}});
    EXPECT_TRUE(zplat::ProgramIcon(none).argb.empty());
}

} // namespace
