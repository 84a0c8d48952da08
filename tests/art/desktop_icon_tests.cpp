// The program's icon for the desktop: each committed hicolor PNG is ICON_1,
// as the program file carries it, enlarged without smoothing to its size,
// see-through exactly where ICON_1 is.
#include "tests/support/art_files.h"

using namespace support;

TEST(DesktopIcon, EverySizeIsIcon1EnlargedPixelForPixelWithItsTransparency) {
    const Icon icon = LoadIcon("ICON_1");
    ASSERT_EQ(icon.width * 100 + icon.height, 3232);
    for (int size : {32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const std::string side = std::to_string(size);
        art::Image png;
        std::vector<uint8_t> alpha;
        ASSERT_TRUE(art::ImageFromPng(art::ReadFile(ResourcesDir() + "/hicolor/" + side + "x" +
                                                    side + "/apps/org.zorvak.Zorvak.png"),
                                      &png, &alpha));
        ASSERT_EQ(png.width * 1000 + png.height, size * 1001);
        int wrong = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                // The source pixel whose area holds this pixel's top-left corner.
                const uint8_t want = icon.at(x * 32 / size, y * 32 / size);
                const bool clear = want == art::kTransparent;
                if ((png.at(x, y) != want || alpha[size_t(y) * size + x] != (clear ? 0 : 255)) &&
                    wrong++ < 3)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}
