// The resource decoders and the module registry, on well-formed files and on
// every kind of damage a file can carry.  Each malformed input is copied into
// a buffer of exactly its own length, so that any read past the end shows up
// under AddressSanitizer.
#include "platform/core/resource_decode.h"
#include "platform/module.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void Put16(Bytes *b, size_t at, uint32_t v) {
    (*b)[at] = static_cast<unsigned char>(v);
    (*b)[at + 1] = static_cast<unsigned char>(v >> 8);
}

void Put32(Bytes *b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        (*b)[at + i] = static_cast<unsigned char>(v >> (8 * i));
    }
}

// The standard 16-colour palette, 0x00RRGGBB.
const uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                           0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                           0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

uint32_t PaletteColor(int bits, uint32_t i) {
    if (bits == 4) {
        return kVga[i];
    }
    return (i * 0x010305u) & 0xFFFFFFu; // 8 bits: any distinct colours
}

size_t Stride(int width, int bits) {
    return (static_cast<size_t>(width) * bits + 31) / 32 * 4;
}

void PutIndex(Bytes *b, size_t rowStart, int x, int bits, uint32_t index) {
    if (bits == 1) {
        (*b)[rowStart + x / 8] |= static_cast<unsigned char>((index & 1) << (7 - x % 8));
    } else if (bits == 4) {
        (*b)[rowStart + x / 2] |= static_cast<unsigned char>(x % 2 == 0 ? index << 4 : index);
    } else {
        (*b)[rowStart + x] = static_cast<unsigned char>(index);
    }
}

// An .ico file with one image whose pixel (x, y), top row first, has palette
// index index(x, y) and mask bit mask(x, y).
Bytes MakeIcon(int size, int bits, const std::function<uint32_t(int, int)> &index,
               const std::function<bool(int, int)> &mask) {
    const size_t palette = size_t{1} << bits;
    const size_t colorStride = Stride(size, bits);
    const size_t maskStride = Stride(size, 1);
    const size_t image = 40 + 4 * palette + (colorStride + maskStride) * size;
    Bytes b(22 + image, 0);
    Put16(&b, 2, 1); // type: icon
    Put16(&b, 4, 1); // one image
    b[6] = static_cast<unsigned char>(size);
    b[7] = static_cast<unsigned char>(size);
    b[8] = bits == 4 ? 16 : 0;
    Put16(&b, 10, 1);
    Put16(&b, 12, bits);
    Put32(&b, 14, static_cast<uint32_t>(image));
    Put32(&b, 18, 22);
    const size_t h = 22;
    Put32(&b, h, 40);
    Put32(&b, h + 4, size);
    Put32(&b, h + 8, 2 * size);
    Put16(&b, h + 12, 1);
    Put16(&b, h + 14, bits);
    Put32(&b, h + 20, static_cast<uint32_t>((colorStride + maskStride) * size));
    for (size_t i = 0; i < palette; ++i) {
        const uint32_t c = PaletteColor(bits, static_cast<uint32_t>(i));
        b[h + 40 + 4 * i] = static_cast<unsigned char>(c);
        b[h + 41 + 4 * i] = static_cast<unsigned char>(c >> 8);
        b[h + 42 + 4 * i] = static_cast<unsigned char>(c >> 16);
    }
    const size_t colorBits = h + 40 + 4 * palette;
    const size_t maskBits = colorBits + colorStride * size;
    for (int y = 0; y < size; ++y) {
        const int row = size - 1 - y; // bottom-up
        for (int x = 0; x < size; ++x) {
            PutIndex(&b, colorBits + colorStride * row, x, bits, index(x, y));
            PutIndex(&b, maskBits + maskStride * row, x, 1, mask(x, y) ? 1 : 0);
        }
    }
    return b;
}

Bytes Icon32() {
    return MakeIcon(
        32, 4, [](int x, int y) { return static_cast<uint32_t>((x + 2 * y) % 16); },
        [](int x, int y) { return x == y; });
}

// A .bmp file whose pixel (x, y), top row first, has palette index (or, at
// 24 bits, the colour) value(x, y).
Bytes MakeBitmap(int width, int height, int bits, const std::function<uint32_t(int, int)> &value,
                 bool topDown = false, std::vector<uint32_t> palette = {}) {
    if (palette.empty() && bits <= 8) {
        for (uint32_t i = 0; i < (1u << bits); ++i) {
            palette.push_back(PaletteColor(bits == 4 ? 4 : 8, i));
        }
    }
    const size_t stride = Stride(width, bits);
    const size_t bitsAt = 14 + 40 + 4 * palette.size();
    Bytes b(bitsAt + stride * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(&b, 2, static_cast<uint32_t>(b.size()));
    Put32(&b, 10, static_cast<uint32_t>(bitsAt));
    Put32(&b, 14, 40);
    Put32(&b, 18, width);
    Put32(&b, 22, static_cast<uint32_t>(topDown ? -height : height));
    Put16(&b, 26, 1);
    Put16(&b, 28, bits);
    Put32(&b, 34, static_cast<uint32_t>(stride * height));
    Put32(&b, 46, bits <= 8 ? static_cast<uint32_t>(palette.size()) : 0);
    for (size_t i = 0; i < palette.size(); ++i) {
        b[54 + 4 * i] = static_cast<unsigned char>(palette[i]);
        b[55 + 4 * i] = static_cast<unsigned char>(palette[i] >> 8);
        b[56 + 4 * i] = static_cast<unsigned char>(palette[i] >> 16);
    }
    for (int y = 0; y < height; ++y) {
        const size_t row = bitsAt + stride * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint32_t v = value(x, y);
            if (bits == 24) {
                b[row + 3 * x] = static_cast<unsigned char>(v);
                b[row + 3 * x + 1] = static_cast<unsigned char>(v >> 8);
                b[row + 3 * x + 2] = static_cast<unsigned char>(v >> 16);
            } else {
                PutIndex(&b, row, x, bits, v);
            }
        }
    }
    return b;
}

// The game's picture form: 453 x 302, 1 bit, palette 0 black 1 white.
Bytes Picture(std::vector<uint32_t> palette = {0x000000, 0xFFFFFF}) {
    return MakeBitmap(
        453, 302, 1, [](int x, int y) { return static_cast<uint32_t>((x / 7 + y / 5) % 2); }, false,
        palette);
}

// Decoders run on a copy of exactly `size` bytes.
bool IconDecodes(const Bytes &b, size_t size, zplat::DecodedIcon *out) {
    Bytes copy(b.begin(), b.begin() + size);
    return zplat::DecodeIcon(copy.data(), copy.size(), out);
}
bool BitmapDecodes(const Bytes &b, size_t size, zplat::DecodedBitmap *out) {
    Bytes copy(b.begin(), b.begin() + size);
    return zplat::DecodeBitmap(copy.data(), copy.size(), out);
}
bool MenuDecodes(const Bytes &b, size_t size, std::vector<zplat::DecodedMenuItem> *out) {
    Bytes copy(b.begin(), b.begin() + size);
    return zplat::DecodeMenu(copy.data(), copy.size(), out);
}

// ---- Icons ---------------------------------------------------------------

TEST(DecodeIcon, SixteenColourSpriteHasTheDocumentedSizeAndPixels) {
    const Bytes ico = Icon32();
    ASSERT_EQ(ico.size(), 6u + 16u + 744u);
    zplat::DecodedIcon icon;
    ASSERT_TRUE(IconDecodes(ico, ico.size(), &icon));
    ASSERT_EQ(icon.width, 32);
    ASSERT_EQ(icon.height, 32);
    ASSERT_EQ(icon.color.size(), 1024u);
    ASSERT_EQ(icon.transparent.size(), 1024u);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(icon.color[y * 32 + x], kVga[(x + 2 * y) % 16]) << x << "," << y;
            ASSERT_EQ(icon.transparent[y * 32 + x], x == y ? 1 : 0) << x << "," << y;
        }
    }
}

TEST(DecodeIcon, FirstStoredRowIsTheBottomRowAndHighNibbleIsTheLeftPixel) {
    // Bytes placed by hand at their file offsets: directory 22, header 40,
    // palette 64, so the colour rows (16 bytes each) start at 126 and the
    // mask rows (4 bytes each) at 126 + 512.
    Bytes ico = MakeIcon(
        32, 4, [](int, int) { return 0u; }, [](int, int) { return false; });
    ico[126 + 31 * 16] = 0x9C; // last stored row: the top of the image
    ico[126] = 0x0E;           // first stored row: the bottom of the image
    ico[638 + 31 * 4] = 0x80;  // mask of the top-left pixel
    ico[638 + 3] = 0x01;       // mask of the bottom row's pixel 31
    zplat::DecodedIcon icon;
    ASSERT_TRUE(IconDecodes(ico, ico.size(), &icon));
    EXPECT_EQ(icon.color[0], 0xFF0000u);           // index 9: red
    EXPECT_EQ(icon.color[1], 0x0000FFu);           // index 12: blue
    EXPECT_EQ(icon.color[31 * 32 + 1], 0x00FFFFu); // index 14: cyan
    EXPECT_EQ(icon.color[31 * 32 + 0], 0u);
    EXPECT_EQ(icon.transparent[0], 1);
    EXPECT_EQ(icon.transparent[1], 0);
    EXPECT_EQ(icon.transparent[31 * 32 + 31], 1);
    EXPECT_EQ(icon.transparent[31 * 32 + 30], 0);
}

TEST(DecodeIcon, LargeSpritesAndOtherWellFormedVariants) {
    const Bytes base = MakeIcon(
        64, 4, [](int x, int y) { return static_cast<uint32_t>((x * y) % 16); },
        [](int x, int) { return x >= 60; });
    ASSERT_EQ(base.size(), 22u + 2664u);
    zplat::DecodedIcon icon;
    ASSERT_TRUE(IconDecodes(base, base.size(), &icon));
    EXPECT_EQ(icon.width, 64);
    EXPECT_EQ(icon.height, 64);
    EXPECT_EQ(icon.color[63 * 64 + 5], kVga[(5 * 63) % 16]);
    EXPECT_EQ(icon.transparent[10 * 64 + 61], 1);
    EXPECT_EQ(icon.transparent[10 * 64 + 59], 0);

    // 256 colours, with pixels using indices above 15.
    const Bytes deep = MakeIcon(
        32, 8, [](int x, int y) { return static_cast<uint32_t>(x * 8 + y); },
        [](int, int) { return false; });
    ASSERT_TRUE(IconDecodes(deep, deep.size(), &icon));
    EXPECT_EQ(icon.color[3 * 32 + 31], PaletteColor(8, 31 * 8 + 3));

    // A second directory entry (pointing at the same image) and bytes after
    // the image change nothing: the first image is the icon.
    Bytes two = Icon32();
    const Bytes entry(two.begin() + 6, two.begin() + 22);
    two.insert(two.begin() + 22, entry.begin(), entry.end());
    Put16(&two, 4, 2);
    Put32(&two, 18, 38);
    Put32(&two, 34, 38);
    two.resize(two.size() + 7, 0xAA);
    zplat::DecodedIcon again;
    ASSERT_TRUE(IconDecodes(two, two.size(), &again));
    ASSERT_TRUE(IconDecodes(Icon32(), Icon32().size(), &icon));
    EXPECT_EQ(again.color, icon.color);
    EXPECT_EQ(again.transparent, icon.transparent);
}

// One damaged field: `width` bytes at `at` set to `value`; a second, when
// `at2` is not 0.
struct Patch {
    const char *what;
    size_t at;
    int width;
    uint32_t value;
    size_t at2 = 0;
    uint32_t value2 = 0;
};

Bytes Patched(Bytes b, const Patch &p) {
    if (p.width == 1) {
        b[p.at] = static_cast<unsigned char>(p.value);
    } else if (p.width == 2) {
        Put16(&b, p.at, p.value);
    } else {
        Put32(&b, p.at, p.value);
    }
    if (p.at2 != 0) {
        Put32(&b, p.at2, p.value2);
    }
    return b;
}

TEST(DecodeIcon, TruncatedOrDamagedFilesFailAndLeaveTheResultAlone) {
    for (const Bytes &ico :
         {Icon32(), MakeIcon(
                        64, 8, [](int, int) { return 7u; }, [](int, int) { return true; })}) {
        for (size_t n = 0; n < ico.size(); ++n) {
            zplat::DecodedIcon icon;
            ASSERT_FALSE(IconDecodes(ico, n, &icon)) << "length " << n;
        }
    }
    // Offsets: directory 0, entry 6, image header 22.
    const Patch patches[] = {
        {"reserved word set", 0, 2, 1},
        {"cursor, not icon", 2, 2, 2},
        {"no images", 4, 2, 0},
        {"directory longer than the file", 4, 2, 0xFFFF},
        {"entry width disagrees", 6, 1, 16},
        {"entry height disagrees", 7, 1, 0},
        {"image past the end", 18, 4, 766},
        {"image inside the directory", 18, 4, 6},
        {"offset that wraps 32 bits", 18, 4, 0xFFFFFFF0u},
        {"image size that wraps 32 bits", 14, 4, 0xFFFFFFFFu},
        {"image size one short", 14, 4, 743},
        {"header size too small", 22, 4, 12},
        {"header size beyond the image", 22, 4, 0x7FFFFFFF},
        {"height not doubled", 30, 4, 32},
        {"odd doubled height", 30, 4, 63},
        {"negative height", 30, 4, static_cast<uint32_t>(-64)},
        {"zero width", 26, 4, 0},
        {"negative width", 26, 4, static_cast<uint32_t>(-32)},
        {"absurd size", 26, 4, 0x40000000, 30, 0x80000000u},
        {"two planes", 34, 2, 2},
        {"24 bits", 36, 2, 24},
        {"1 bit", 36, 2, 1},
        {"compressed", 38, 4, 2},
        {"more colours than 4 bits index", 54, 4, 17},
        {"pixels beyond a short palette", 54, 4, 4},
    };
    for (const Patch &p : patches) {
        const Bytes ico = Patched(Icon32(), p);
        zplat::DecodedIcon icon;
        icon.width = -7;
        EXPECT_FALSE(IconDecodes(ico, ico.size(), &icon)) << p.what;
        EXPECT_EQ(icon.width, -7) << p.what;
        EXPECT_TRUE(icon.color.empty()) << p.what;
    }
    zplat::DecodedIcon icon;
    EXPECT_FALSE(zplat::DecodeIcon(nullptr, 100, &icon));
}

// ---- Bitmaps ---------------------------------------------------------------

TEST(DecodeBitmap, GamePictureFormCopiesAsBlackAndWhiteByIndex) {
    const Bytes bmp = Picture();
    ASSERT_EQ(bmp.size(), 14u + 18168u);
    zplat::DecodedBitmap normal;
    ASSERT_TRUE(BitmapDecodes(bmp, bmp.size(), &normal));
    EXPECT_EQ(normal.width, 453);
    EXPECT_EQ(normal.height, 302);
    EXPECT_EQ(normal.bitsPixel, 1);
    EXPECT_EQ(normal.widthBytes, 60);
    ASSERT_EQ(normal.pixels.size(), 453u * 302u);
    for (int y = 0; y < 302; y += 13) {
        for (int x = 0; x < 453; x += 3) {
            const uint32_t want = (x / 7 + y / 5) % 2 ? 0xFFFFFFu : 0u;
            ASSERT_EQ(normal.pixels[y * 453 + x], want) << x << "," << y;
        }
    }
    // Whatever the palette says, index 0 is black and index 1 white.
    zplat::DecodedBitmap odd;
    ASSERT_TRUE(BitmapDecodes(Picture({0xFF0000, 0x00FF00}), bmp.size(), &odd));
    EXPECT_EQ(odd.pixels, normal.pixels);
    ASSERT_TRUE(BitmapDecodes(Picture({0xFFFFFF, 0x000000}), bmp.size(), &odd));
    EXPECT_EQ(odd.pixels, normal.pixels);
}

TEST(DecodeBitmap, BitsAreFoundAtTheirFileOffsets) {
    // Bits start at 14 + 40 + 8 = 62; rows are 60 bytes, bottom row first.
    Bytes bmp = MakeBitmap(453, 302, 1, [](int, int) { return 0u; });
    bmp[62 + 301 * 60] = 0x80; // top-left pixel
    bmp[62 + 56] = 0x08;       // bottom row, pixel 452 (byte 56, bit 3)
    zplat::DecodedBitmap b;
    ASSERT_TRUE(BitmapDecodes(bmp, bmp.size(), &b));
    EXPECT_EQ(b.pixels[0], 0xFFFFFFu);
    EXPECT_EQ(b.pixels[1], 0u);
    EXPECT_EQ(b.pixels[301 * 453 + 452], 0xFFFFFFu);
    EXPECT_EQ(b.pixels[301 * 453 + 451], 0u);
}

TEST(DecodeBitmap, OtherDepthsAndTopDownRows) {
    const auto pattern = [](int x, int y) { return static_cast<uint32_t>((x * 3 + y * 5) % 16); };
    zplat::DecodedBitmap b;
    for (int bits : {4, 8}) {
        const Bytes bmp = MakeBitmap(13, 7, bits, pattern);
        ASSERT_TRUE(BitmapDecodes(bmp, bmp.size(), &b)) << bits;
        EXPECT_EQ(b.bitsPixel, bits);
        EXPECT_EQ(b.widthBytes, bits == 4 ? 8 : 16);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 13; ++x) {
                ASSERT_EQ(b.pixels[y * 13 + x], PaletteColor(bits == 4 ? 4 : 8, pattern(x, y)));
            }
        }
    }
    const auto rgb = [](int x, int y) { return static_cast<uint32_t>(0x102030 * (x + 1) + y); };
    const Bytes true24 = MakeBitmap(5, 3, 24, rgb);
    ASSERT_TRUE(BitmapDecodes(true24, true24.size(), &b));
    EXPECT_EQ(b.widthBytes, 16);
    EXPECT_EQ(b.pixels[2 * 5 + 4], rgb(4, 2) & 0xFFFFFFu);
    EXPECT_EQ(b.pixels[0], rgb(0, 0) & 0xFFFFFFu);

    const Bytes down = MakeBitmap(13, 7, 4, pattern, true);
    zplat::DecodedBitmap top;
    ASSERT_TRUE(BitmapDecodes(down, down.size(), &top));
    ASSERT_TRUE(BitmapDecodes(MakeBitmap(13, 7, 4, pattern), down.size(), &b));
    EXPECT_EQ(top.height, 7);
    EXPECT_EQ(top.pixels, b.pixels);
}

TEST(DecodeBitmap, TruncatedOrDamagedFilesFailAndLeaveTheResultAlone) {
    for (const Bytes &bmp : {Picture(), MakeBitmap(9, 4, 24, [](int, int) { return 1u; })}) {
        for (size_t n = 0; n < bmp.size(); ++n) {
            zplat::DecodedBitmap b;
            ASSERT_FALSE(BitmapDecodes(bmp, n, &b)) << "length " << n;
        }
    }
    // Offsets: file header 0, info header 14, palette 54, bits 62.
    const Patch patches[] = {
        {"not BM", 1, 1, 'A'},
        {"gap before the bits", 10, 4, 66},
        {"bits over the palette", 10, 4, 58},
        {"bits offset that wraps", 10, 4, 0xFFFFFFF0u},
        {"old 12-byte header", 14, 4, 12},
        {"header size beyond the file", 14, 4, 0xFFFFFFF0u},
        {"zero width", 18, 4, 0},
        {"negative width", 18, 4, static_cast<uint32_t>(-453)},
        {"zero height", 22, 4, 0},
        {"most negative height", 22, 4, 0x80000000u},
        {"absurd width", 18, 4, 0x7FFFFFFF},
        {"huge but plausible size", 18, 4, 30000, 22, 30000},
        {"one row too many", 22, 4, 303},
        {"no planes", 26, 2, 0},
        {"2 bits", 28, 2, 2},
        {"16 bits", 28, 2, 16},
        {"32 bits", 28, 2, 32},
        {"compressed", 30, 4, 1},
        {"three colours at one bit", 46, 4, 3},
    };
    for (const Patch &p : patches) {
        const Bytes bmp = Patched(Picture(), p);
        zplat::DecodedBitmap b;
        b.width = -7;
        EXPECT_FALSE(BitmapDecodes(bmp, bmp.size(), &b)) << p.what;
        EXPECT_EQ(b.width, -7) << p.what;
        EXPECT_TRUE(b.pixels.empty()) << p.what;
    }
    // An 8-bit pixel naming a colour that the palette does not hold.
    const Bytes bmp = MakeBitmap(4, 2, 8, [](int x, int) { return x == 3 ? 5u : 1u; }, false,
                                 {0x000000, 0x111111, 0x222222, 0x333333});
    zplat::DecodedBitmap b;
    EXPECT_FALSE(BitmapDecodes(bmp, bmp.size(), &b));
}

// ---- Menus -------------------------------------------------------------------

void PutText(Bytes *b, const std::u16string &text) {
    for (char16_t c : text) {
        b->push_back(static_cast<unsigned char>(c & 0xFF));
        b->push_back(static_cast<unsigned char>(c >> 8));
    }
    b->push_back(0);
    b->push_back(0);
}

Bytes MenuTemplate(const std::vector<std::pair<uint16_t, std::u16string>> &items,
                   uint16_t lastFlags = 0x80) {
    Bytes b = {0, 0, 0, 0};
    for (size_t i = 0; i < items.size(); ++i) {
        const uint16_t flags = i + 1 == items.size() ? lastFlags : 0;
        b.push_back(static_cast<unsigned char>(flags & 0xFF));
        b.push_back(static_cast<unsigned char>(flags >> 8));
        b.push_back(static_cast<unsigned char>(items[i].first & 0xFF));
        b.push_back(static_cast<unsigned char>(items[i].first >> 8));
        PutText(&b, items[i].second);
    }
    return b;
}

Bytes GameMenu() {
    return MenuTemplate({{1000, u"&New game"}, {1001, u"&About Zorvak"}, {1003, u"&Quit Zorvak"}});
}

TEST(DecodeMenu, MenuBarItemsInOrder) {
    const Bytes menu = GameMenu();
    // 4 header bytes; each item 4 bytes plus its text and NUL in UTF-16.
    ASSERT_EQ(menu.size(), 4u + (4 + 20) + (4 + 28) + (4 + 26));
    std::vector<zplat::DecodedMenuItem> items;
    ASSERT_TRUE(MenuDecodes(menu, menu.size(), &items));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].id, 1000u);
    EXPECT_EQ(items[0].text, "&New game");
    EXPECT_EQ(items[1].id, 1001u);
    EXPECT_EQ(items[1].text, "&About Zorvak");
    EXPECT_EQ(items[2].id, 1003u);
    EXPECT_EQ(items[2].text, "&Quit Zorvak");

    // Nothing is read after the item marked as the last.
    Bytes longer = menu;
    longer.insert(longer.end(), {0x10, 0x00, 0xFF});
    ASSERT_TRUE(MenuDecodes(longer, longer.size(), &items));
    EXPECT_EQ(items.size(), 3u);

    // The header's offset says where the items start.
    Bytes shifted = menu;
    shifted[2] = 2;
    shifted.insert(shifted.begin() + 4, {0xEE, 0xEE});
    ASSERT_TRUE(MenuDecodes(shifted, shifted.size(), &items));
    EXPECT_EQ(items[2].text, "&Quit Zorvak");
}

TEST(DecodeMenu, TextBeyondAsciiBecomesUtf8) {
    const Bytes menu =
        MenuTemplate({{7, u"\u00e9t\u00e9 \u20ac"}, {0, u""}, {65535, u"\U0001F47E"}});
    std::vector<zplat::DecodedMenuItem> items;
    ASSERT_TRUE(MenuDecodes(menu, menu.size(), &items));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(items[1].text, "");
    EXPECT_EQ(items[1].id, 0u);
    EXPECT_EQ(items[2].text, "\xF0\x9F\x91\xBE");
    EXPECT_EQ(items[2].id, 65535u);
}

TEST(DecodeMenu, MalformedTemplatesFail) {
    std::vector<std::pair<const char *, Bytes>> cases = {
        {"version 1",
         [] {
             Bytes b = GameMenu();
             b[0] = 1;
             return b;
         }()},
        {"items offset past the end",
         [] {
             Bytes b = GameMenu();
             b[2] = 0xFF;
             b[3] = 0xFF;
             return b;
         }()},
        {"no item marked last", MenuTemplate({{1, u"a"}, {2, u"b"}}, 0)},
        {"pop-up item", MenuTemplate({{1, u"a"}, {2, u"b"}}, 0x90)},
        {"greyed item", MenuTemplate({{1, u"a"}}, 0x81)},
        {"unknown flag", MenuTemplate({{1, u"a"}}, 0x8080)},
        {"lone second half of a pair", MenuTemplate({{1, u"a\xDC00"}})},
        {"first half then a letter", MenuTemplate({{1, u"\xD800z"}})},
        {"first half at the end", MenuTemplate({{1, u"\xD800"}})},
        {"header only", Bytes{0, 0, 0, 0}},
    };
    for (auto &[what, bytes] : cases) {
        std::vector<zplat::DecodedMenuItem> items = {{5, "kept"}};
        EXPECT_FALSE(MenuDecodes(bytes, bytes.size(), &items)) << what;
        ASSERT_EQ(items.size(), 1u) << what;
        EXPECT_EQ(items[0].text, "kept") << what;
    }
    const Bytes menu = GameMenu();
    for (size_t n = 0; n < menu.size(); ++n) {
        std::vector<zplat::DecodedMenuItem> items;
        ASSERT_FALSE(MenuDecodes(menu, n, &items)) << "length " << n;
    }
}

// ---- Modules -----------------------------------------------------------------

TEST(Module, NamesAreFoundByTypeIgnoringCase) {
    static const unsigned char a[] = {1}, b[] = {2}, c[] = {3};
    static const zplat::Resource table[] = {
        {zplat::RES_ICON, "IC_SHIP1", a, sizeof a},
        {zplat::RES_BITMAP, "IC_SHIP1", b, sizeof b},
        {zplat::RES_MENU, "Menu_1", c, sizeof c},
    };
    const HINSTANCE module = zplat::RegisterModule(table, 3);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(zplat::FindResourceIn(module, zplat::RES_ICON, "IC_SHIP1"), &table[0]);
    EXPECT_EQ(zplat::FindResourceIn(module, zplat::RES_ICON, "ic_Ship1"), &table[0]);
    EXPECT_EQ(zplat::FindResourceIn(module, zplat::RES_BITMAP, "ic_ship1"), &table[1]);
    EXPECT_EQ(zplat::FindResourceIn(module, zplat::RES_MENU, "MENU_1"), &table[2]);
    EXPECT_EQ(zplat::FindResourceIn(module, zplat::RES_MENU, "IC_SHIP1"), nullptr);
    EXPECT_EQ(zplat::FindResourceIn(module, zplat::RES_ICON, "IC_SHIP"), nullptr);
    EXPECT_EQ(zplat::FindResourceIn(module, zplat::RES_ICON, "IC_SHIP12"), nullptr);
    EXPECT_EQ(zplat::FindResourceIn(module, zplat::RES_ICON, ""), nullptr);
    EXPECT_EQ(zplat::FindResourceIn(module, zplat::RES_ICON, nullptr), nullptr);
    EXPECT_EQ(zplat::FindResourceIn(module, zplat::RES_ICON, MAKEINTRESOURCEA(1)), nullptr);

    // Each module keeps its own table.
    static const zplat::Resource other[] = {{zplat::RES_ICON, "IC_OTHER", a, sizeof a}};
    const HINSTANCE second = zplat::RegisterModule(other, 1);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, module);
    EXPECT_EQ(zplat::FindResourceIn(second, zplat::RES_ICON, "IC_SHIP1"), nullptr);
    EXPECT_EQ(zplat::FindResourceIn(second, zplat::RES_ICON, "ic_other"), &other[0]);
    EXPECT_EQ(zplat::FindResourceIn(module, zplat::RES_ICON, "IC_OTHER"), nullptr);
}

TEST(Module, HandlesThatAreNotModulesFindNothing) {
    static const unsigned char a[] = {1};
    static const zplat::Resource table[] = {{zplat::RES_ICON, "IC_X", a, sizeof a}};
    const HINSTANCE module = zplat::RegisterModule(table, 1);
    ASSERT_NE(module, nullptr);
    const uintptr_t raw = reinterpret_cast<uintptr_t>(module);
    int local = 0;
    const HINSTANCE bogus[] = {
        nullptr,
        reinterpret_cast<HINSTANCE>(&local),
        reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}),      // where a program image might load
        reinterpret_cast<HINSTANCE>(raw + 0x10000),            // the right number, another tag
        reinterpret_cast<HINSTANCE>(raw + 50000),              // a module never registered
        reinterpret_cast<HINSTANCE>(raw & ~uintptr_t{0xFFFF}), // number 0
        reinterpret_cast<HINSTANCE>(~uintptr_t{0}),
    };
    for (HINSTANCE h : bogus) {
        EXPECT_EQ(zplat::FindResourceIn(h, zplat::RES_ICON, "IC_X"), nullptr) << h;
    }
    EXPECT_EQ(zplat::RegisterModule(nullptr, 2), nullptr);
    const HINSTANCE empty = zplat::RegisterModule(nullptr, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(zplat::FindResourceIn(empty, zplat::RES_ICON, "IC_X"), nullptr);
}

} // namespace
