// The resource script and every file it names, checked against the forms
// the game and the Windows resource compiler expect.
#include "tests/support/art_files.h"

#include <algorithm>
#include <filesystem>
#include <set>

using namespace support;

namespace {

// The standard 16-colour palette, 0xRRGGBB.
const uint32_t kStandardPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                       0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                       0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
const char *const kPictures[] = {"BMP_INTRO", "BMP_GAMEOVER", "BMP_ABOUT"};

std::vector<std::string> Names(rcscript::EntryKind kind) {
    std::vector<std::string> names;
    for (const rcscript::Entry &e : Script())
        if (e.kind == kind)
            names.push_back(e.name);
    return names;
}

// Fields of the file, as triples: offset, size in bytes, value.
void ExpectFields(const std::vector<uint8_t> &f, std::vector<uint32_t> fields) {
    for (size_t k = 0; k + 2 < fields.size(); k += 3)
        EXPECT_EQ(Field(f, fields[k], int(fields[k + 1])), fields[k + 2])
            << "field at byte " << fields[k];
}

} // namespace

TEST(ResourceScript, ReadsAsTheSubsetWithTheMenuAndEveryIconOnce) {
    ASSERT_NO_THROW(Script()) << "a line outside the subset both builds read";
    std::vector<std::pair<std::string, int>> items;
    for (const rcscript::Entry &e : Script()) {
        if (e.kind != rcscript::EntryKind::Menu) {
            EXPECT_TRUE(std::filesystem::is_regular_file(ResourcesDir() + "/" + e.path)) << e.path;
        }
        for (const rcscript::MenuItem &i : e.items)
            items.push_back({i.text, i.id});
    }
    EXPECT_EQ(Names(rcscript::EntryKind::Menu), std::vector<std::string>{"MENU_1"});
    EXPECT_EQ(items, (std::vector<std::pair<std::string, int>>{
                         {"&New game", 1000}, {"&About Zorvak", 1001}, {"&Quit Zorvak", 1003}}));

    std::vector<std::string> icons = Names(rcscript::EntryKind::Icon), loaded,
                             expected = SpriteSet();
    ASSERT_FALSE(icons.empty());
    EXPECT_EQ(icons.front(), "ICON_1");
    // The loaded sprites appear in load order, so the list reads like the table.
    for (const std::string &n : icons)
        if (std::find(SpriteSet().begin(), SpriteSet().end(), n) != SpriteSet().end())
            loaded.push_back(n);
    EXPECT_EQ(loaded, SpriteSet());
    expected.insert(expected.end(), CarriedIcons().begin(), CarriedIcons().end());
    std::sort(expected.begin(), expected.end());
    std::sort(icons.begin(), icons.end());
    EXPECT_EQ(icons, expected) << "an icon missing, unknown or listed twice";
    EXPECT_EQ(Names(rcscript::EntryKind::Bitmap),
              std::vector<std::string>(std::begin(kPictures), std::end(kPictures)));
}

TEST(IconFiles, AreSixteenColourIconsOfTheRightSizeAndPalette) {
    for (const std::string &name : Names(rcscript::EntryKind::Icon)) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> f = FileOf(name);
        const uint32_t side = Starts(name, "IC_BASE") ? 64 : 32;
        const uint32_t bits = (side / 2 + (side / 8 + 3) / 4 * 4) * side;
        ASSERT_EQ(f.size(), 22 + 40 + 64 + bits);
        ExpectFields(f, {0,  2, 0,        2,  2, 1,    4,  2, 1,
                         6,  1, side,     7,  1, side, 8,  2, 16,
                         10, 2, 1,        12, 2, 4,    14, 4, 40 + 64 + bits,
                         18, 4, 22,       22, 4, 40,   26, 4, side,
                         30, 4, 2 * side, 34, 2, 1,    36, 2, 4,
                         38, 4, 0});
        EXPECT_PRED3(IsEither, Field(f, 42), 0u, bits) << "biSizeImage";
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(Field(f, 62 + 4 * size_t(i)), kStandardPalette[i]) << "palette " << i;
        // The platform's decoder, which the other tests read through, sees
        // what the file holds.
        Icon icon = LoadIcon(name);
        ASSERT_EQ(std::pair(icon.width, icon.height), std::pair(int(side), int(side)));
        for (int y = 0; y < int(side); ++y)
            for (int x = 0; x < int(side); ++x) {
                const int mask = IcoMask(f, side, x, y), index = IcoIndex(f, side, x, y);
                ASSERT_EQ(icon.at(x, y), mask ? art::kTransparent : index) << x << "," << y;
                // Black under the mask, or the figure's surroundings get tinted.
                if (mask) {
                    ASSERT_EQ(index, 0) << x << "," << y;
                }
            }
    }
}

TEST(IconFiles, SpritesAreOpaqueOnBlackAndCarriedIconsTransparentAround) {
    std::vector<std::string> names = SpriteSet();
    names.insert(names.end(), CarriedIcons().begin(), CarriedIcons().end());
    for (const std::string &name : names) {
        SCOPED_TRACE(name);
        const bool carried = Starts(name, "ICON_") || name == "IC_ALIEN";
        const bool tile = Starts(name, "IC_LAND") || Starts(name, "IC_WALL");
        Icon icon = LoadIcon(name);
        int transparent = 0, lit = 0, litEdge = 0, opaqueEdge = 0;
        for (int y = 0; y < icon.height; ++y)
            for (int x = 0; x < icon.width; ++x) {
                const bool edge = x % (icon.width - 1) == 0 || y % (icon.height - 1) == 0;
                transparent += icon.clear(x, y);
                lit += icon.lit(x, y);
                litEdge += edge && icon.lit(x, y);
                opaqueEdge += edge && !icon.clear(x, y);
            }
        if (name == "IC_BLANC") {
            EXPECT_EQ(lit, 0) << "the eraser is not black";
        } else {
            EXPECT_GT(lit, 40) << "empty";
        }
        if (carried) { // a figure on a background the window shows through
            EXPECT_GT(transparent, 32 * 32 / 4);
            EXPECT_EQ(opaqueEdge, 0);
        } else { // drawing replaces the whole cell; figures stand on black
            EXPECT_EQ(transparent, 0);
            if (!tile) {
                EXPECT_EQ(litEdge, 0) << "the outermost ring is not black";
            }
        }
    }
}

TEST(BitmapFiles, AreOneBitWhiteDrawingsOf453By302ClearOfTheFrame) {
    std::set<std::vector<uint8_t>> seen;
    for (const char *name : kPictures) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> f = FileOf(name);
        ASSERT_EQ(f.size(), 14u + 40 + 8 + 18120);
        ExpectFields(f, {0,  2, 'B' | 'M' << 8,
                         2,  4, uint32_t(f.size()),
                         10, 4, 62,
                         14, 4, 40,
                         18, 4, 453,
                         22, 4, 302,
                         26, 2, 1,
                         28, 2, 1,
                         30, 4, 0,
                         54, 3, 0,
                         58, 3, 0xFFFFFF});
        EXPECT_PRED3(IsEither, Field(f, 34), 0u, 18120u) << "biSizeImage";
        EXPECT_PRED3(IsEither, Field(f, 46), 0u, 2u) << "palette size";
        art::Image p = LoadPicture(name);
        ASSERT_EQ(std::pair(p.width, p.height), std::pair(453, 302));
        int white = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                ASSERT_EQ(p.at(x, y), BmpBit(f, 453, 302, x, y)) << x << "," << y;
                white += p.at(x, y);
                // In the main window the picture sits at (32, 0): its last 6
                // columns lie under the right wall and its last 4 rows under the ground.
                if (p.at(x, y)) {
                    ASSERT_LT(x, 447) << "under the right wall at " << x << "," << y;
                    ASSERT_LT(y, 298) << "under the ground at " << x << "," << y;
                }
            }
        EXPECT_GT(white, 453 * 302 / 50) << "not a drawing on black";
        EXPECT_LT(white, 453 * 302 / 3) << "not a drawing on black";
        EXPECT_TRUE(seen.insert(p.pixels).second) << "two pictures are the same";
    }
}
