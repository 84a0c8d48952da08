// Decoders for the Windows file forms of icons, bitmaps and menus.
//
// Each decoder first proves, in 64-bit arithmetic, that every byte it is
// going to read lies inside the buffer, and only then reads.  The result is
// built aside and handed over only when the whole resource has decoded, so a
// failed decode leaves the caller's value as it was.
#include "platform/resource_decode.h"

#include <cstdint>
#include <utility>

namespace zplat {
namespace {

uint16_t U16(const unsigned char *p) {
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t U32(const unsigned char *p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

int32_t I32(const unsigned char *p) {
    return int32_t(U32(p));
}

constexpr size_t kInfoHeaderSize = 40; // BITMAPINFOHEADER
constexpr size_t kFileHeaderSize = 14; // BITMAPFILEHEADER
constexpr uint32_t kCompressionNone = 0;

// The fields of a BITMAPINFOHEADER that the decoders use.
struct InfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t colorsUsed;
};

// Reads the header at the start of `p`, `available` bytes long.
bool ReadInfoHeader(const unsigned char *p, uint64_t available, InfoHeader *h) {
    if (available < kInfoHeaderSize) {
        return false;
    }
    h->size = U32(p);
    h->width = I32(p + 4);
    h->height = I32(p + 8);
    h->planes = U16(p + 12);
    h->bitCount = U16(p + 14);
    h->compression = U32(p + 16);
    h->colorsUsed = U32(p + 32);
    return h->size >= kInfoHeaderSize && h->size <= available && h->planes == 1 &&
           h->compression == kCompressionNone;
}

// Bytes in one row of `width` pixels at `bits` per pixel, padded to 4 bytes.
uint64_t RowBytes(uint64_t width, uint64_t bits) {
    return (width * bits + 31) / 32 * 4;
}

// The number of palette entries that follow the header, or -1 if the header
// asks for more than its depth can index.
int64_t PaletteEntries(const InfoHeader &h) {
    if (h.bitCount > 8) {
        return h.colorsUsed <= 256 ? h.colorsUsed : -1; // an optional, unused palette
    }
    const uint32_t full = 1u << h.bitCount;
    if (h.colorsUsed == 0) {
        return full;
    }
    return h.colorsUsed <= full ? h.colorsUsed : -1;
}

uint32_t PaletteColor(const unsigned char *palette, uint32_t index) {
    const unsigned char *q = palette + 4 * size_t(index); // blue, green, red, 0
    return (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0];
}

// The palette index of pixel x in a row of 1, 4 or 8 bits per pixel.
uint32_t IndexAt(const unsigned char *row, int x, int bits) {
    switch (bits) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1u;
    case 4:
        return (x % 2 == 0) ? (row[x / 2] >> 4) : (row[x / 2] & 0x0Fu);
    default:
        return row[x];
    }
}

// Icons and bitmaps are small; these limits keep every product well inside
// 64 bits and refuse absurd headers before anything is allocated.
constexpr int32_t kMaxIconSide = 256;
constexpr int32_t kMaxBitmapSide = 32767;

} // namespace

bool DecodeIcon(const unsigned char *data, size_t size, DecodedIcon *out) {
    if (data == nullptr || out == nullptr) {
        return false;
    }
    // ICONDIR: reserved 0, type 1 (icon), count; then 16-byte entries.
    constexpr size_t kDirSize = 6;
    constexpr size_t kEntrySize = 16;
    if (size < kDirSize || U16(data) != 0 || U16(data + 2) != 1) {
        return false;
    }
    const uint64_t count = U16(data + 4);
    const uint64_t directoryEnd = kDirSize + kEntrySize * count;
    if (count == 0 || directoryEnd > size) {
        return false;
    }
    const unsigned char *entry = data + kDirSize;
    const int entryWidth = entry[0] == 0 ? 256 : entry[0];
    const int entryHeight = entry[1] == 0 ? 256 : entry[1];
    const uint64_t imageSize = U32(entry + 8);
    const uint64_t imageOffset = U32(entry + 12);
    if (imageOffset < directoryEnd || imageOffset + imageSize > size) {
        return false;
    }
    const unsigned char *image = data + imageOffset;

    InfoHeader h;
    if (!ReadInfoHeader(image, imageSize, &h) || (h.bitCount != 4 && h.bitCount != 8)) {
        return false;
    }
    // The header's height covers the colour bits and the mask together.
    if (h.width <= 0 || h.width > kMaxIconSide || h.height <= 0 || h.height % 2 != 0 ||
        h.height / 2 > kMaxIconSide) {
        return false;
    }
    const int width = h.width;
    const int height = h.height / 2;
    if (width != entryWidth || height != entryHeight) {
        return false;
    }
    const int64_t paletteEntries = PaletteEntries(h);
    if (paletteEntries < 0) {
        return false;
    }
    const uint64_t colorStride = RowBytes(width, h.bitCount);
    const uint64_t maskStride = RowBytes(width, 1);
    const uint64_t paletteOffset = h.size;
    const uint64_t colorOffset = paletteOffset + 4 * uint64_t(paletteEntries);
    const uint64_t maskOffset = colorOffset + colorStride * height;
    if (maskOffset + maskStride * height > imageSize) {
        return false;
    }

    DecodedIcon icon;
    icon.width = width;
    icon.height = height;
    icon.color.resize(size_t(width) * height);
    icon.transparent.resize(size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        const int sourceRow = height - 1 - y; // stored bottom-up
        const unsigned char *colorRow = image + colorOffset + colorStride * sourceRow;
        const unsigned char *maskRow = image + maskOffset + maskStride * sourceRow;
        for (int x = 0; x < width; ++x) {
            const uint32_t index = IndexAt(colorRow, x, h.bitCount);
            if (index >= uint64_t(paletteEntries)) {
                return false;
            }
            const size_t at = size_t(y) * width + x;
            icon.color[at] = PaletteColor(image + paletteOffset, index);
            icon.transparent[at] = uint8_t(IndexAt(maskRow, x, 1));
        }
    }
    *out = std::move(icon);
    return true;
}

bool DecodeBitmap(const unsigned char *data, size_t size, DecodedBitmap *out) {
    if (data == nullptr || out == nullptr) {
        return false;
    }
    // BITMAPFILEHEADER: "BM", file size, two reserved words, offset of the bits.
    if (size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const uint64_t bitsOffset = U32(data + 10);
    const unsigned char *info = data + kFileHeaderSize;
    InfoHeader h;
    if (!ReadInfoHeader(info, size - kFileHeaderSize, &h)) {
        return false;
    }
    if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 24) {
        return false;
    }
    const bool topDown = h.height < 0;
    const int64_t signedHeight = h.height;
    const int64_t heightAbs = topDown ? -signedHeight : signedHeight;
    if (h.width <= 0 || h.width > kMaxBitmapSide || heightAbs == 0 || heightAbs > kMaxBitmapSide) {
        return false;
    }
    const int width = h.width;
    const int height = int(heightAbs);
    const int64_t paletteEntries = PaletteEntries(h);
    if (paletteEntries < 0) {
        return false;
    }
    // The resource compiler keeps only what follows the file header, and
    // Windows then finds the bits right after the palette; a file whose bits
    // sit anywhere else would look different there, so it is refused here.
    const uint64_t paletteOffset = kFileHeaderSize + h.size;
    const uint64_t expectedBits = paletteOffset + 4 * uint64_t(paletteEntries);
    const uint64_t stride = RowBytes(width, h.bitCount);
    if (bitsOffset != expectedBits || bitsOffset + stride * height > size) {
        return false;
    }

    DecodedBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.bitsPixel = h.bitCount;
    bitmap.pixels.resize(size_t(width) * height);
    const unsigned char *palette = data + paletteOffset;
    for (int y = 0; y < height; ++y) {
        const int sourceRow = topDown ? y : height - 1 - y;
        const unsigned char *row = data + bitsOffset + stride * sourceRow;
        uint32_t *target = bitmap.pixels.data() + size_t(y) * width;
        for (int x = 0; x < width; ++x) {
            if (h.bitCount == 24) {
                const unsigned char *p = row + 3 * size_t(x); // blue, green, red
                target[x] = (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
                continue;
            }
            const uint32_t index = IndexAt(row, x, h.bitCount);
            if (h.bitCount == 1) {
                // A monochrome bitmap copies through a context with the default
                // colours: 0 black, 1 white, whatever its palette says.
                target[x] = index != 0 ? 0x00FFFFFFu : 0u;
                continue;
            }
            if (index >= uint64_t(paletteEntries)) {
                return false;
            }
            target[x] = PaletteColor(palette, index);
        }
    }
    *out = std::move(bitmap);
    return true;
}

namespace {

// Appends one code point as UTF-8.
void AppendUtf8(std::string *s, uint32_t c) {
    if (c < 0x80) {
        s->push_back(char(c));
    } else if (c < 0x800) {
        s->push_back(char(0xC0 | (c >> 6)));
        s->push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        s->push_back(char(0xE0 | (c >> 12)));
        s->push_back(char(0x80 | ((c >> 6) & 0x3F)));
        s->push_back(char(0x80 | (c & 0x3F)));
    } else {
        s->push_back(char(0xF0 | (c >> 18)));
        s->push_back(char(0x80 | ((c >> 12) & 0x3F)));
        s->push_back(char(0x80 | ((c >> 6) & 0x3F)));
        s->push_back(char(0x80 | (c & 0x3F)));
    }
}

// Reads the NUL-terminated UTF-16LE text at `*pos`, leaving `*pos` after it.
bool ReadMenuText(const unsigned char *data, size_t size, size_t *pos, std::string *text) {
    for (;;) {
        if (size - *pos < 2) {
            return false;
        }
        const uint32_t unit = U16(data + *pos);
        *pos += 2;
        if (unit == 0) {
            return true;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return false; // a second half without a first
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (size - *pos < 2) {
                return false;
            }
            const uint32_t low = U16(data + *pos);
            if (low < 0xDC00 || low > 0xDFFF) {
                return false;
            }
            *pos += 2;
            AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else {
            AppendUtf8(text, unit);
        }
    }
}

constexpr uint16_t kMenuEnd = 0x0080; // MF_END: the last item of its level

} // namespace

bool DecodeMenu(const unsigned char *data, size_t size, std::vector<DecodedMenuItem> *out) {
    if (data == nullptr || out == nullptr) {
        return false;
    }
    // MENUITEMTEMPLATEHEADER: version 0, then the distance from the end of the
    // header to the first item.
    constexpr size_t kHeaderSize = 4;
    if (size < kHeaderSize || U16(data) != 0) {
        return false;
    }
    size_t pos = kHeaderSize + U16(data + 2);
    if (pos > size) {
        return false;
    }
    std::vector<DecodedMenuItem> items;
    for (;;) {
        if (size - pos < 4) {
            return false; // ended before the item marked as the last
        }
        const uint16_t flags = U16(data + pos);
        // A menu bar of plain command items: no pop-ups, no greyed or checked
        // states, nothing that the item list could not show faithfully.
        if ((flags & ~kMenuEnd) != 0) {
            return false;
        }
        DecodedMenuItem item;
        item.id = U16(data + pos + 2);
        pos += 4;
        if (!ReadMenuText(data, size, &pos, &item.text)) {
            return false;
        }
        items.push_back(std::move(item));
        if ((flags & kMenuEnd) != 0) {
            break;
        }
    }
    *out = std::move(items);
    return true;
}

} // namespace zplat
