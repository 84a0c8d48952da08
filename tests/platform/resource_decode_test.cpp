// The resource decoders and the module registry, on well-formed files and on
// every kind of damage a file can carry.  Each input is copied into a buffer
// of exactly its own length, so that any read past the end shows up under
// AddressSanitizer.
#include "platform/module.h"
#include "platform/resource_decode.h"
#include "tests/support/recording_window.h"
#include "tests/support/resource_files.h"

#include <array>
#include <gtest/gtest.h>
#include <tuple>

namespace {

using support::Bytes;
using support::MakeBitmap;
using support::MakeIcon;

bool Decodes(const Bytes &b, size_t size, zplat::DecodedIcon *out) {
    Bytes copy(b.begin(), b.begin() + long(size));
    return zplat::DecodeIcon(copy.data(), copy.size(), out);
}
bool Decodes(const Bytes &b, size_t size, zplat::DecodedBitmap *out) {
    Bytes copy(b.begin(), b.begin() + long(size));
    return zplat::DecodeBitmap(copy.data(), copy.size(), out);
}
bool Decodes(const Bytes &b, size_t size, std::vector<zplat::DecodedMenuItem> *out) {
    Bytes copy(b.begin(), b.begin() + long(size));
    return zplat::DecodeMenu(copy.data(), copy.size(), out);
}

// Every proper prefix of a well-formed file is refused.
template <typename Out> void ExpectEveryPrefixFails(const Bytes &file) {
    for (size_t n = 0; n < file.size(); ++n) {
        Out out;
        ASSERT_FALSE(Decodes(file, n, &out)) << "length " << n;
    }
}

// Damage: {at, width, value} sets `width` bytes at `at` to `value`; a second
// 4-byte field {at2, value2} follows when at2 is not 0.
using Patch = std::array<uint32_t, 5>;

// Each patch makes decoding fail without touching the result.
template <typename Out, size_t N> void ExpectPatchesFail(const Bytes &good, const Patch (&ps)[N]) {
    for (const Patch &p : ps) {
        Bytes b = good;
        support::PutLe(&b, p[0], p[2], int(p[1]));
        if (p[3] != 0) {
            support::PutLe(&b, p[3], p[4], 4);
        }
        Out out;
        out.width = -7;
        EXPECT_FALSE(Decodes(b, b.size(), &out)) << "at " << p[0] << ": " << p[2];
        EXPECT_EQ(out.width, -7) << "at " << p[0] << ": " << p[2];
    }
}

Bytes Icon32() {
    return MakeIcon(
        32, [](int x, int y) { return uint32_t((x + 2 * y) % 16); },
        [](int x, int y) { return x == y; });
}

TEST(DecodeIcon, SpritesOf32And64PixelsAt4Or8BitsDecodeWithTheirMasksAsDoesTheLargestSize) {
    // Indices above 15 at 8 bits; file sizes as the game's sprites have them;
    // the largest icon, 256 pixels a side (0 in its directory entry).
    for (const auto &[size, bits, fileSize] :
         {std::tuple{32, 4, 766u}, {64, 4, 2686u}, {32, 8, 2238u}, {256, 4, 41086u}}) {
        const auto index = [bits = bits](int x, int y) {
            return uint32_t(x * 8 + y) % (1u << bits);
        };
        const auto clear = [](int x, int y) { return x == y || x >= 60; };
        const Bytes ico = MakeIcon(size, index, clear, bits);
        ASSERT_EQ(ico.size(), fileSize);
        zplat::DecodedIcon icon;
        ASSERT_TRUE(Decodes(ico, ico.size(), &icon));
        ASSERT_EQ(icon.width, size);
        ASSERT_EQ(icon.height, size);
        ASSERT_EQ(icon.color.size(), size_t(size * size));
        ASSERT_EQ(icon.transparent.size(), size_t(size * size));
        for (int i = 0; i < size * size; ++i) {
            const int x = i % size, y = i / size;
            ASSERT_EQ(icon.color[i], support::PaletteColor(bits, index(x, y))) << size << ":" << i;
            ASSERT_EQ(icon.transparent[i], clear(x, y) ? 1 : 0) << size << ":" << i;
        }
    }
}

TEST(DecodeIcon, RowsNibblesAndMaskBitsSitAtTheirFileOffsetsOnlyTheFirstImageCounts) {
    // Bytes placed by hand (colour rows of 16 bytes from 126, mask rows of 4
    // from 638): the first stored row is the bottom one and the high nibble
    // is the left pixel.
    Bytes hand = MakeIcon(
        32, [](int, int) { return 0u; }, [](int, int) { return false; });
    hand[126 + 31 * 16] = 0x9C;
    hand[126] = 0x0E;
    hand[638 + 31 * 4] = 0x80;
    hand[638 + 3] = 0x01;
    zplat::DecodedIcon icon;
    ASSERT_TRUE(Decodes(hand, hand.size(), &icon));
    EXPECT_EQ(icon.color[0], 0xFF0000u);
    EXPECT_EQ(icon.color[1], 0x0000FFu);
    EXPECT_EQ(icon.color[31 * 32 + 1], 0x00FFFFu);
    EXPECT_EQ(icon.color[31 * 32 + 0], 0u);
    EXPECT_EQ(icon.transparent[0] + 2 * icon.transparent[1], 1);
    EXPECT_EQ(icon.transparent[31 * 32 + 31] + 2 * icon.transparent[31 * 32 + 30], 1);

    // A second directory entry and bytes after the image change nothing.
    Bytes two = Icon32();
    const Bytes entry(two.begin() + 6, two.begin() + 22);
    two.insert(two.begin() + 22, entry.begin(), entry.end());
    support::PutLe(&two, 4, 2, 2);
    support::PutLe(&two, 18, 38, 4);
    support::PutLe(&two, 34, 38, 4);
    two.resize(two.size() + 7, 0xAA);
    zplat::DecodedIcon again;
    ASSERT_TRUE(Decodes(two, two.size(), &again));
    ASSERT_TRUE(Decodes(Icon32(), Icon32().size(), &icon));
    EXPECT_EQ(again.color, icon.color);
    EXPECT_EQ(again.transparent, icon.transparent);
}

// A palette given its full count, or cut to six colours whose last one a
// pixel names; a pixel naming the first colour past it.
TEST(DecodeIcon, PalettesHoldTheirCountOfColoursUpToTheLast) {
    zplat::DecodedIcon icon;
    Bytes full = Icon32();
    support::PutLe(&full, 54, 16, 4);
    ASSERT_TRUE(Decodes(full, full.size(), &icon));
    for (uint32_t lastIndex : {5u, 6u}) {
        Bytes six = MakeIcon(
            32, [=](int x, int y) { return x == 31 && y == 0 ? lastIndex : uint32_t(x % 5); },
            [](int, int) { return false; });
        six.erase(six.begin() + 62 + 4 * 6, six.begin() + 62 + 4 * 16);
        support::PutLe(&six, 14, uint32_t(six.size() - 22), 4);
        support::PutLe(&six, 54, 6, 4);
        EXPECT_EQ(Decodes(six, six.size(), &icon), lastIndex < 6) << lastIndex;
        EXPECT_EQ(icon.color[31], support::PaletteColor(4, 5));
    }
}

TEST(DecodeIcon, TruncatedOrDamagedFilesFailAndLeaveTheResultAlone) {
    ExpectEveryPrefixFails<zplat::DecodedIcon>(Icon32());
    ExpectEveryPrefixFails<zplat::DecodedIcon>(MakeIcon(
        64, [](int, int) { return 7u; }, [](int, int) { return true; }, 8));
    // The directory (offset 0) and its entry (6): reserved word set; a cursor,
    // not an icon; no images; a directory longer than the file; entry width or
    // height disagreeing; image size or offset wrapping, past the end, inside
    // the directory or one byte short.
    const Patch directory[] = {
        {0, 2, 1},   {2, 2, 2},    {4, 2, 0},  {4, 2, 0xFFFF},       {6, 1, 16},
        {7, 1, 0},   {18, 4, 766}, {18, 4, 6}, {18, 4, 0xFFFFFFF0u}, {14, 4, 0xFFFFFFFFu},
        {14, 4, 743}};
    // The image header (22): header size too small or beyond the image;
    // height not doubled, odd or negative; width zero or negative; an absurd
    // size; two planes; 24 or 1 bits; compressed; more colours than 4 bits
    // index; pixels beyond a short palette.
    const Patch header[] = {
        {22, 4, 12}, {22, 4, 0x7FFFFFFF},  {30, 4, 32}, {30, 4, 63}, {30, 4, 0xFFFFFFC0u},
        {26, 4, 0},  {26, 4, 0xFFFFFFE0u}, {34, 2, 2},  {36, 2, 24}, {36, 2, 1},
        {38, 4, 2},  {54, 4, 17},          {54, 4, 4}};
    const Patch absurd[] = {{26, 4, 0x40000000, 30, 0x80000000}};
    ExpectPatchesFail<zplat::DecodedIcon>(Icon32(), directory);
    ExpectPatchesFail<zplat::DecodedIcon>(Icon32(), header);
    ExpectPatchesFail<zplat::DecodedIcon>(Icon32(), absurd);
    zplat::DecodedIcon icon;
    EXPECT_FALSE(zplat::DecodeIcon(nullptr, 100, &icon));
}

TEST(DecodeBitmap, EveryDepthDecodesBottomUpOrTopDown) {
    // 1 bit: the game's pictures, black and white by index whatever the
    // palette says; 4 and 8 bits through the palette; 24 bits as they are.
    const auto value = [](int bits, int x, int y) {
        return bits == 24 ? uint32_t(0x102030 * (x + 1) + y) & 0xFFFFFF
                          : uint32_t(x * 3 + y * 5) % (1u << bits);
    };
    const std::tuple<int, int, int, bool, size_t> cases[] = {
        {453, 302, 1, false, 18182}, {13, 7, 1, true, 90},    {13, 7, 4, false, 174},
        {13, 7, 4, true, 174},       {13, 7, 8, false, 1190}, {13, 7, 8, true, 1190},
        {5, 3, 24, false, 102}};
    for (const auto &[w, h, bits, topDown, fileSize] : cases) {
        SCOPED_TRACE(testing::Message() << w << "x" << h << "x" << bits << " " << topDown);
        const auto pixel = [&, bits = bits](int x, int y) { return value(bits, x, y); };
        const std::vector<uint32_t> palette =
            bits == 1 ? std::vector<uint32_t>{0xFF0000, 0x00FF00} : std::vector<uint32_t>{};
        const Bytes bmp = MakeBitmap(w, h, bits, pixel, palette, topDown);
        ASSERT_EQ(bmp.size(), fileSize);
        zplat::DecodedBitmap b;
        ASSERT_TRUE(Decodes(bmp, bmp.size(), &b));
        EXPECT_EQ(std::tuple(b.width, b.height, b.bitsPixel), std::tuple(w, h, bits));
        ASSERT_EQ(b.pixels.size(), size_t(w * h));
        for (int i = 0; i < w * h; ++i) {
            const uint32_t v = pixel(i % w, i / w);
            const uint32_t want = bits == 1    ? 0xFFFFFF * v
                                  : bits == 24 ? v
                                               : support::PaletteColor(bits, v);
            ASSERT_EQ(b.pixels[i], want) << i;
        }
    }
    // By hand: bits at 14 + 40 + 8 = 62, rows of 60 bytes, bottom row first.
    Bytes hand = MakeBitmap(453, 302, 1, [](int, int) { return 0u; });
    hand[62 + 301 * 60] = 0x80; // top-left pixel
    hand[62 + 56] = 0x08;       // bottom row, pixel 452
    zplat::DecodedBitmap b;
    ASSERT_TRUE(Decodes(hand, hand.size(), &b));
    EXPECT_EQ(b.pixels[0] + b.pixels[1], 0xFFFFFFu);
    EXPECT_EQ(b.pixels[301 * 453 + 452] + b.pixels[301 * 453 + 451], 0xFFFFFFu);
    // The longest side, 32767 pixels, decodes; one more is refused even with
    // the bytes it needs.
    for (const auto &[w, h, at] : {std::tuple{32767, 1, 18}, {1, 32767, 22}}) {
        Bytes big = MakeBitmap(w, h, 1, [](int x, int y) { return uint32_t(x + y) & 1; });
        ASSERT_TRUE(Decodes(big, big.size(), &b)) << w << " x " << h;
        EXPECT_EQ(b.pixels.back(), 0u);
        support::PutLe(&big, size_t(at), 32768, 4);
        big.resize(big.size() + 4);
        EXPECT_FALSE(Decodes(big, big.size(), &b)) << w << " x " << h;
    }
}

TEST(DecodeBitmap, TruncatedOrDamagedFilesFailAndLeaveTheResultAlone) {
    // The game's picture form: 453 x 302, 1 bit.
    const Bytes picture = MakeBitmap(453, 302, 1, [](int x, int y) { return uint32_t(x + y) % 2; });
    ExpectEveryPrefixFails<zplat::DecodedBitmap>(picture);
    ExpectEveryPrefixFails<zplat::DecodedBitmap>(MakeBitmap(9, 4, 24, [](int, int) { return 1u; }));
    // Offsets: file header 0, info header 14, palette 54, bits 62.  Not "BM";
    // a gap before the bits, bits over the palette, a bits offset that wraps;
    // the old 12-byte header, a header size beyond the file; width zero,
    // negative or absurd; height zero or most negative; a huge but plausible
    // size; one row too many; no planes; 2, 16 or 32 bits; compressed; three
    // colours at one bit.
    const Patch patches[] = {
        {1, 1, 'A'},  {10, 4, 66},          {10, 4, 58},         {10, 4, 0xFFFFFFF0u},
        {14, 4, 12},  {14, 4, 0xFFFFFFF0u}, {18, 4, 0},          {18, 4, 0xFFFFFE3Bu},
        {22, 4, 0},   {22, 4, 0x80000000u}, {18, 4, 0x7FFFFFFF}, {18, 4, 30000, 22, 30000},
        {22, 4, 303}, {26, 2, 0},           {28, 2, 2},          {28, 2, 16},
        {28, 2, 32},  {30, 4, 1},           {46, 4, 3}};
    ExpectPatchesFail<zplat::DecodedBitmap>(picture, patches);
    // An 8-bit pixel naming the first colour past a palette of four, and
    // the last colour it holds; 24 bits with an unused palette of at most 256.
    const std::vector<uint32_t> four = {0x000000, 0x111111, 0x222222, 0x333333};
    const auto last = [](uint32_t index) {
        return [=](int x, int) { return x == 3 ? index : 1u; };
    };
    zplat::DecodedBitmap b;
    const Bytes past = MakeBitmap(4, 2, 8, last(4), four),
                held = MakeBitmap(4, 2, 8, last(3), four);
    EXPECT_FALSE(Decodes(past, past.size(), &b));
    ASSERT_TRUE(Decodes(held, held.size(), &b));
    EXPECT_EQ(b.pixels[3], 0x333333u);
    const auto truecolour = [](size_t entries) {
        return MakeBitmap(
            5, 3, 24, [](int, int) { return 7u; }, std::vector<uint32_t>(entries));
    };
    EXPECT_TRUE(Decodes(truecolour(256), truecolour(256).size(), &b));
    EXPECT_FALSE(Decodes(truecolour(257), truecolour(257).size(), &b));
}

// The items of a menu template as "id=text;" each, after "refused:" when the
// decoder fails (and what the list held before, which it must keep).
std::string Items(const Bytes &b) {
    std::vector<zplat::DecodedMenuItem> items = {{5, "kept"}};
    std::string out = Decodes(b, b.size(), &items) ? "" : "refused:";
    for (const zplat::DecodedMenuItem &item : items) {
        out += std::to_string(item.id) + "=" + item.text + ";";
    }
    return out;
}

TEST(DecodeMenu, ItemsInOrderFromTheHeaderOffsetUpToTheLastAsUtf8) {
    const Bytes menu = support::MakeMenu(
        {{1000, u"&New game"}, {1001, u"&About Zorvak"}, {1003, u"&Quit Zorvak"}});
    // 4 header bytes; each item 4 bytes plus its text and NUL in UTF-16.
    ASSERT_EQ(menu.size(), 4u + (4 + 20) + (4 + 28) + (4 + 26));
    Bytes shifted = menu; // the header's offset says where the items start
    shifted[2] = 2;
    shifted.insert(shifted.begin() + 4, {0xEE, 0xEE});
    Bytes longer = menu; // nothing is read after the item marked as the last
    longer.insert(longer.end(), {0x10, 0x00, 0xFF});
    for (const Bytes &b : {menu, shifted, longer}) {
        EXPECT_EQ(Items(b), "1000=&New game;1001=&About Zorvak;1003=&Quit Zorvak;");
    }
    ExpectEveryPrefixFails<std::vector<zplat::DecodedMenuItem>>(menu);
    // Each length of UTF-8 at both of its ends.
    EXPECT_EQ(
        Items(support::MakeMenu(
            {{7, u"\u007f\u0080\u07ff\u0800\uffff"}, {0, u""}, {65535, u"\U00010000\U0010FFFF"}})),
        "7=\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF;0=;"
        "65535=\xF0\x90\x80\x80\xF4\x8F\xBF\xBF;");
}

TEST(DecodeMenu, MalformedTemplatesFailAndLeaveTheResultAlone) {
    const Bytes game = support::MakeMenu({{1000, u"&New game"}, {1001, u"&About"}});
    Bytes version1 = game, pastEnd = game;
    version1[0] = 1;
    pastEnd[2] = pastEnd[3] = 0xFF; // items offset past the end
    const std::pair<const char *, Bytes> cases[] = {
        {"version 1", version1},
        {"items offset past the end", pastEnd},
        {"no item marked last", support::MakeMenu({{1, u"a"}, {2, u"b"}}, 0)},
        {"pop-up item", support::MakeMenu({{1, u"a"}, {2, u"b"}}, 0x90)},
        {"greyed item", support::MakeMenu({{1, u"a"}}, 0x81)},
        {"unknown flag", support::MakeMenu({{1, u"a"}}, 0x8080)},
        {"lone second half of a pair", support::MakeMenu({{1, u"a\xDC00"}})},
        {"lone last second half", support::MakeMenu({{1, u"\xDFFF"}})},
        {"first half then a letter", support::MakeMenu({{1, u"\xD800z"}})},
        {"first half at the end", support::MakeMenu({{1, u"\xD800"}})},
        {"header only", Bytes{0, 0, 0, 0}},
    };
    for (const auto &[what, bytes] : cases) {
        EXPECT_EQ(Items(bytes), "refused:5=kept;") << what;
    }
}

TEST(Module, NamesAreFoundByTypeIgnoringCaseInTheirOwnModuleOnly) {
    static const unsigned char a[] = {1};
    static const zplat::Resource table[] = {
        {zplat::RES_ICON, "IC_SHIP1", a, 1},
        {zplat::RES_BITMAP, "IC_SHIP1", a, 1},
        {zplat::RES_MENU, "Menu_Z", a, 1},
    };
    static const zplat::Resource other[] = {{zplat::RES_ICON, "IC_OTHER", a, 1}};
    const HINSTANCE module = zplat::RegisterModule(table, 3);
    const HINSTANCE second = zplat::RegisterModule(other, 1);
    ASSERT_NE(module, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(module, second);
    const std::tuple<HINSTANCE, zplat::ResourceType, const char *, const zplat::Resource *>
        lookups[] = {
            {module, zplat::RES_ICON, "IC_SHIP1", &table[0]},
            {module, zplat::RES_ICON, "ic_Ship1", &table[0]},
            {module, zplat::RES_BITMAP, "ic_ship1", &table[1]},
            {module, zplat::RES_MENU, "mENU_z", &table[2]}, // up to Z
            {module, zplat::RES_MENU, "IC_SHIP1", nullptr},
            {module, zplat::RES_ICON, "IC_SHIP", nullptr},
            {module, zplat::RES_ICON, "IC_SHIP12", nullptr},
            {module, zplat::RES_ICON, "", nullptr},
            {module, zplat::RES_ICON, nullptr, nullptr},
            {module, zplat::RES_ICON, MAKEINTRESOURCEA(1), nullptr},
            {module, zplat::RES_ICON, "IC_OTHER", nullptr},
            {second, zplat::RES_ICON, "IC_SHIP1", nullptr},
            {second, zplat::RES_ICON, "ic_other", &other[0]},
        };
    for (const auto &[in, type, name, found] : lookups) {
        EXPECT_EQ(zplat::FindResourceIn(in, type, name), found)
            << (IS_INTRESOURCE(name) ? "(number)" : name);
    }

    // Handles that are not modules find nothing.
    const uintptr_t raw = reinterpret_cast<uintptr_t>(module);
    int local = 0;
    const auto find = [](uintptr_t h) {
        return zplat::FindResourceIn(reinterpret_cast<HINSTANCE>(h), zplat::RES_ICON, "IC_SHIP1");
    };
    for (uintptr_t h : {uintptr_t{0}, reinterpret_cast<uintptr_t>(&local),
                        uintptr_t{0x400000}, // where a program image might load
                        raw + 0x10000,       // the right number, another tag
                        raw + 50000,         // a module never registered
                        reinterpret_cast<uintptr_t>(zplat::RegisterModule(nullptr, 0)) + 1,
                        raw & ~uintptr_t{0xFFFF}, // number 0
                        ~uintptr_t{0}}) {
        EXPECT_EQ(find(h), nullptr) << h;
    }
    EXPECT_EQ(zplat::RegisterModule(nullptr, 2), nullptr);
    const HINSTANCE empty = zplat::RegisterModule(nullptr, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(zplat::FindResourceIn(empty, zplat::RES_ICON, "IC_SHIP1"), nullptr);
}

} // namespace
