// The resource script and every file it names, checked against the forms
// the game and the Windows resource compiler expect.
#include "tests/art/art_test_support.h"

#include <algorithm>
#include <filesystem>
#include <set>

using namespace arttest;

namespace {

// The standard 16-colour palette as the .ico stores it: blue, green, red, 0.
const uint8_t kStandardPalette[16][4] = {
    {0x00, 0x00, 0x00, 0}, {0x00, 0x00, 0x80, 0}, {0x00, 0x80, 0x00, 0}, {0x00, 0x80, 0x80, 0},
    {0x80, 0x00, 0x00, 0}, {0x80, 0x00, 0x80, 0}, {0x80, 0x80, 0x00, 0}, {0xC0, 0xC0, 0xC0, 0},
    {0x80, 0x80, 0x80, 0}, {0x00, 0x00, 0xFF, 0}, {0x00, 0xFF, 0x00, 0}, {0x00, 0xFF, 0xFF, 0},
    {0xFF, 0x00, 0x00, 0}, {0xFF, 0x00, 0xFF, 0}, {0xFF, 0xFF, 0x00, 0}, {0xFF, 0xFF, 0xFF, 0},
};

std::vector<std::string> Names(const std::string &type) {
    std::vector<std::string> names;
    for (const RcLine &l : Script().files)
        if (l.type == type)
            names.push_back(l.name);
    return names;
}

} // namespace

TEST(ResourceScript, UsesOnlyTheSubsetBothBuildsRead) {
    for (const std::string &line : Script().strange)
        ADD_FAILURE() << "line outside the script's subset: '" << line << "'";
    for (const RcLine &l : Script().files)
        EXPECT_TRUE(std::filesystem::is_regular_file(ResourcesDir() + "/" + l.path))
            << l.name << " names a missing file " << l.path;
}

TEST(ResourceScript, MenuBarHasTheThreeCommandsInOrder) {
    ASSERT_EQ(Script().menus, std::vector<std::string>{"MENU_1"});
    const auto &items = Script().items;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "&New game");
    EXPECT_EQ(items[0].id, 1000);
    EXPECT_EQ(items[1].text, "&About Zorvak");
    EXPECT_EQ(items[1].id, 1001);
    EXPECT_EQ(items[2].text, "&Quit Zorvak");
    EXPECT_EQ(items[2].id, 1003);
}

TEST(ResourceScript, ListsEveryIconOnceWithIcon1First) {
    std::vector<std::string> icons = Names("ICON");
    ASSERT_FALSE(icons.empty());
    EXPECT_EQ(icons.front(), "ICON_1");
    std::set<std::string> unique(icons.begin(), icons.end());
    EXPECT_EQ(unique.size(), icons.size()) << "an icon is listed twice";

    std::vector<std::string> expected = SpriteSet();
    expected.insert(expected.end(), CarriedIcons().begin(), CarriedIcons().end());
    std::sort(expected.begin(), expected.end());
    std::sort(icons.begin(), icons.end());
    EXPECT_EQ(icons, expected);

    // The loaded sprites appear in load order, so the list reads like the table.
    std::vector<std::string> loaded;
    for (const std::string &n : Names("ICON"))
        if (std::find(SpriteSet().begin(), SpriteSet().end(), n) != SpriteSet().end())
            loaded.push_back(n);
    EXPECT_EQ(loaded, SpriteSet());

    EXPECT_EQ(Names("BITMAP"),
              (std::vector<std::string>{"BMP_INTRO", "BMP_GAMEOVER", "BMP_ABOUT"}));
}

TEST(IconFiles, AreSixteenColourIconsOfTheRightSizeAndPalette) {
    for (const RcLine &l : Script().files) {
        if (l.type != "ICON")
            continue;
        SCOPED_TRACE(l.name);
        std::vector<uint8_t> file = Slurp(ResourcesDir() + "/" + l.path);
        Icon icon;
        std::string why;
        ASSERT_TRUE(ReadIcon(file, &icon, &why)) << why;
        const int side = IsBase(l.name) ? 64 : 32;
        EXPECT_EQ(icon.width, side);
        EXPECT_EQ(icon.height, side);
        EXPECT_EQ(file.size(), 22u + (side == 64 ? 2664u : 744u));
        EXPECT_EQ(U32(file, 14), side == 64 ? 2664u : 744u);
        for (int i = 0; i < 16; ++i)
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(file[22 + 40 + size_t(i) * 4 + size_t(k)], kStandardPalette[i][k])
                    << "palette entry " << i;
    }
}

TEST(IconFiles, LoadedSpritesAreOpaqueOnBlack) {
    for (const std::string &name : SpriteSet()) {
        SCOPED_TRACE(name);
        Icon icon = LoadIcon(name);
        int transparent = 0, lit = 0;
        for (int y = 0; y < icon.height; ++y)
            for (int x = 0; x < icon.width; ++x) {
                transparent += icon.clear(x, y);
                lit += icon.lit(x, y);
            }
        EXPECT_EQ(transparent, 0) << "drawing must replace the whole cell";
        if (name == "IC_BLANC") {
            EXPECT_EQ(lit, 0) << "the eraser must be solid black";
            continue;
        }
        EXPECT_GT(lit, 40) << "sprite is (nearly) empty";
        if (IsFrameTile(name))
            continue; // frame tiles run to their edges; their seams are tested apart
        // Figures stand on black: their outermost ring of pixels is black.
        for (int i = 0; i < icon.width; ++i) {
            EXPECT_FALSE(icon.lit(i, 0) || icon.lit(i, icon.height - 1)) << "edge column " << i;
            EXPECT_FALSE(icon.lit(0, i) || icon.lit(icon.width - 1, i)) << "edge row " << i;
        }
    }
}

TEST(IconFiles, CarriedIconsAreFiguresOnATransparentBackground) {
    for (const std::string &name : CarriedIcons()) {
        SCOPED_TRACE(name);
        Icon icon = LoadIcon(name);
        ASSERT_EQ(icon.width, 32);
        int transparent = 0, lit = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                if (icon.clear(x, y)) {
                    ++transparent;
                    // Where the mask shows the background the colour must be
                    // black, or the figure's surroundings get tinted.
                    EXPECT_EQ(icon.at(x, y), 0) << "at " << x << "," << y;
                }
                lit += icon.lit(x, y);
            }
        EXPECT_GT(transparent, 32 * 32 / 4);
        EXPECT_GT(lit, 40);
        for (int i = 0; i < 32; ++i)
            EXPECT_TRUE(icon.clear(i, 0) && icon.clear(i, 31) && icon.clear(0, i) &&
                        icon.clear(31, i))
                << "the border must be transparent at " << i;
    }
}

TEST(BitmapFiles, AreOneBitPicturesOf453By302) {
    for (const char *name : {"BMP_INTRO", "BMP_GAMEOVER", "BMP_ABOUT"}) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> file = Slurp(PathOf(name));
        EXPECT_EQ(file.size(), 14u + 18168u);
        const uint32_t sizeImage = U32(file, 14 + 20);
        EXPECT_TRUE(sizeImage == 0 || sizeImage == 18120u) << "biSizeImage " << sizeImage;
        Picture p;
        std::string why;
        ASSERT_TRUE(ReadPicture(file, &p, &why)) << why;
        EXPECT_EQ(p.width, 453);
        EXPECT_EQ(p.height, 302);
    }
}

TEST(BitmapFiles, AreWhiteDrawingOnBlackClearOfTheFrame) {
    std::vector<std::vector<uint8_t>> seen;
    for (const char *name : {"BMP_INTRO", "BMP_GAMEOVER", "BMP_ABOUT"}) {
        SCOPED_TRACE(name);
        Picture p;
        std::string why;
        ASSERT_TRUE(ReadPicture(Slurp(PathOf(name)), &p, &why)) << why;
        int white = 0;
        for (uint8_t v : p.white)
            white += v;
        // Mostly black paper, with a real drawing on it.
        EXPECT_GT(white, 453 * 302 / 50);
        EXPECT_LT(white, 453 * 302 / 3);
        // In the main window the picture sits at (32, 0): its last 6 columns
        // lie under the right wall and its last 4 rows under the ground.
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                if (x >= 447 || y >= 298) {
                    ASSERT_FALSE(p.at(x, y)) << "drawn under the frame at " << x << "," << y;
                }
        for (const auto &other : seen)
            EXPECT_NE(other, p.white) << "two pictures are the same";
        seen.push_back(p.white);
    }
}
