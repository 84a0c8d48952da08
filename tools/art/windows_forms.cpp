// The Windows file forms of the art: 16-colour .ico icons and 1-bit .bmp
// pictures, written byte by byte and read back through the platform's own
// decoders, as the game will see them.
#include "platform/resource_decode.h"
#include "tools/art/art.h"

#include <algorithm>
#include <iterator>

namespace art {

const uint32_t kPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

namespace {
void Put16(std::vector<uint8_t> &b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t> &b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
size_t Pad4(size_t n) {
    return (n + 3) & ~size_t(3);
}

// A BITMAPINFOHEADER of an uncompressed image with every colour used.
void PutInfoHeader(std::vector<uint8_t> &b, int width, int height, int bitCount, size_t bits) {
    Put32(b, 40);
    Put32(b, uint32_t(width));
    Put32(b, uint32_t(height));
    Put16(b, 1);
    Put16(b, uint32_t(bitCount));
    Put32(b, 0);
    Put32(b, uint32_t(bits));
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
}

} // namespace

bool EncodeIco(const Image &img, std::vector<uint8_t> *out, std::string *error) {
    if (img.width != img.height || (img.width != 32 && img.width != 64)) {
        *error = "icons are 32x32 or 64x64";
        return false;
    }
    const size_t xorRow = Pad4(size_t(img.width) / 2);
    const size_t andRow = Pad4(size_t(img.width) / 8);
    const size_t bits = (xorRow + andRow) * size_t(img.height);
    const size_t imageBytes = 40 + 16 * 4 + bits;
    std::vector<uint8_t> b;
    Put16(b, 0); // ICONDIR
    Put16(b, 1);
    Put16(b, 1);
    b.push_back(uint8_t(img.width)); // ICONDIRENTRY
    b.push_back(uint8_t(img.height));
    b.push_back(16);
    b.push_back(0);
    Put16(b, 1);
    Put16(b, 4);
    Put32(b, uint32_t(imageBytes));
    Put32(b, 22);
    // The colour bits and the mask, one above the other.
    PutInfoHeader(b, img.width, img.height * 2, 4, bits);
    for (uint32_t c : kPalette) {
        b.push_back(uint8_t(c));
        b.push_back(uint8_t(c >> 8));
        b.push_back(uint8_t(c >> 16));
        b.push_back(0);
    }
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(xorRow, 0);
        for (int x = 0; x < img.width; ++x) {
            uint8_t v = img.at(x, y);
            uint8_t idx = v == kTransparent ? 0 : v;
            row[size_t(x) / 2] |= uint8_t(x % 2 == 0 ? idx << 4 : idx);
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(andRow, 0);
        for (int x = 0; x < img.width; ++x) {
            if (img.at(x, y) == kTransparent) {
                row[size_t(x) / 8] |= uint8_t(0x80 >> (x % 8));
            }
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    *out = b;
    return true;
}

std::vector<uint8_t> EncodeBmp1(const Image &img) {
    const size_t row = Pad4((size_t(img.width) + 7) / 8);
    const size_t bits = row * size_t(img.height);
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, uint32_t(14 + 40 + 8 + bits));
    Put16(b, 0);
    Put16(b, 0);
    Put32(b, 14 + 40 + 8);
    PutInfoHeader(b, img.width, img.height, 1, bits);
    Put32(b, 0x00000000); // index 0 black
    Put32(b, 0x00FFFFFF); // index 1 white
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<uint8_t> r(row, 0);
        for (int x = 0; x < img.width; ++x) {
            if (img.at(x, y)) {
                r[size_t(x) / 8] |= uint8_t(0x80 >> (x % 8));
            }
        }
        b.insert(b.end(), r.begin(), r.end());
    }
    return b;
}

bool ImageFromIco(const std::vector<uint8_t> &bytes, Image *out) {
    zplat::DecodedIcon icon;
    if (!zplat::DecodeIcon(bytes.data(), bytes.size(), &icon)) {
        return false;
    }
    Image img(icon.width, icon.height);
    for (size_t i = 0; i < img.pixels.size(); ++i) {
        if (icon.transparent[i]) {
            img.pixels[i] = kTransparent;
            continue;
        }
        const uint32_t *entry = std::find(std::begin(kPalette), std::end(kPalette), icon.color[i]);
        if (entry == std::end(kPalette)) {
            return false;
        }
        img.pixels[i] = uint8_t(entry - std::begin(kPalette));
    }
    *out = img;
    return true;
}

bool ImageFromBmp1(const std::vector<uint8_t> &bytes, Image *out) {
    zplat::DecodedBitmap bitmap;
    if (!zplat::DecodeBitmap(bytes.data(), bytes.size(), &bitmap) || bitmap.bitsPixel != 1) {
        return false;
    }
    Image img(bitmap.width, bitmap.height);
    for (size_t i = 0; i < img.pixels.size(); ++i) {
        img.pixels[i] = bitmap.pixels[i] == 0xFFFFFF ? 1 : 0;
    }
    *out = img;
    return true;
}

} // namespace art
