#include "tests/art/readers.h"

#include <regex>

namespace arttest {

Rc ReadRc(const std::string &path) {
    Rc rc;
    std::ifstream in(path);
    static const std::regex comment(R"re(^\s*(//.*)?$)re");
    static const std::regex file(R"re(^([A-Z_0-9]+) (ICON|BITMAP) "([^"]+)"$)re");
    static const std::regex menu(R"re(^([A-Z_0-9]+) MENU$)re");
    static const std::regex item(R"re(^\s+MENUITEM "([^"]*)", (\d+)$)re");
    static const std::regex keyword(R"re(^(BEGIN|END)$)re");
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_match(line, comment) || std::regex_match(line, keyword))
            continue;
        if (std::regex_match(line, m, file))
            rc.files.push_back({m[1], m[2], m[3]});
        else if (std::regex_match(line, m, menu))
            rc.menus.push_back(m[1]);
        else if (std::regex_match(line, m, item))
            rc.items.push_back({m[1], std::stoi(m[2])});
        else
            rc.strange.push_back(line);
    }
    return rc;
}

bool ReadIcon(const std::vector<uint8_t> &b, Icon *out, std::string *why) {
    auto fail = [&](const std::string &s) {
        *why = s;
        return false;
    };
    if (b.size() < 22)
        return fail("shorter than the icon directory");
    if (U16(b, 0) != 0 || U16(b, 2) != 1 || U16(b, 4) != 1)
        return fail("icon directory is not reserved 0, type 1, count 1");
    const int w = b[6], h = b[7];
    if (b[8] != 16 || b[9] != 0 || U16(b, 10) != 1 || U16(b, 12) != 4)
        return fail("directory entry is not 16 colours, 1 plane, 4 bits");
    const uint32_t bytes = U32(b, 14), offset = U32(b, 18);
    if (offset != 22 || size_t(offset) + bytes != b.size())
        return fail("image bytes do not follow the directory exactly");
    const size_t hdr = offset;
    if (U32(b, hdr) != 40 || S32(b, hdr + 4) != w || S32(b, hdr + 8) != 2 * h ||
        U16(b, hdr + 12) != 1 || U16(b, hdr + 14) != 4 || U32(b, hdr + 16) != 0)
        return fail("BITMAPINFOHEADER is not 40 bytes, w x 2h, 1 plane, 4 bits, uncompressed");
    const size_t xorRow = (size_t(w) / 2 + 3) / 4 * 4, andRow = (size_t(w) / 8 + 3) / 4 * 4;
    const size_t pixels = hdr + 40 + 64;
    if (40 + 64 + (xorRow + andRow) * size_t(h) != bytes)
        return fail("image size does not match the header, palette, colour and mask rows");
    const uint32_t sizeImage = U32(b, hdr + 20);
    if (sizeImage != 0 && sizeImage != (xorRow + andRow) * size_t(h))
        return fail("biSizeImage is neither 0 nor the size of the colour and mask bits");
    out->width = w;
    out->height = h;
    out->index.assign(size_t(w * h), 0);
    out->masked.assign(size_t(w * h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t row = size_t(h - 1 - y);
            uint8_t byte = b[pixels + row * xorRow + size_t(x / 2)];
            out->index[size_t(y * w + x)] = x % 2 ? byte & 15 : byte >> 4;
            uint8_t mask = b[pixels + xorRow * size_t(h) + row * andRow + size_t(x / 8)];
            out->masked[size_t(y * w + x)] = (mask >> (7 - x % 8)) & 1;
        }
    return true;
}

bool ReadPicture(const std::vector<uint8_t> &b, Picture *out, std::string *why) {
    auto fail = [&](const std::string &s) {
        *why = s;
        return false;
    };
    if (b.size() < 62 || b[0] != 'B' || b[1] != 'M')
        return fail("no BM file header");
    if (U32(b, 2) != b.size() || U32(b, 10) != 62)
        return fail("file header size or bits offset is wrong");
    if (U32(b, 14) != 40 || U16(b, 26) != 1 || U16(b, 28) != 1 || U32(b, 30) != 0)
        return fail("not a 40-byte header, 1 plane, 1 bit, uncompressed");
    const int w = S32(b, 18), h = S32(b, 22);
    if (w <= 0 || h <= 0)
        return fail("not a bottom-up bitmap of positive size");
    const uint32_t used = U32(b, 46);
    if (used != 0 && used != 2)
        return fail("palette is not two entries");
    const size_t row = (size_t(w) + 31) / 32 * 4;
    if (62 + row * size_t(h) != b.size())
        return fail("pixel rows do not fill the file exactly");
    const uint32_t zero = U32(b, 54), one = U32(b, 58);
    if ((zero & 0xFFFFFF) != 0 || (one & 0xFFFFFF) != 0xFFFFFF)
        return fail("palette is not 0 black, 1 white");
    out->width = w;
    out->height = h;
    out->white.assign(size_t(w * h), 0);
    for (int y = 0; y < h; ++y) {
        const size_t base = 62 + size_t(h - 1 - y) * row;
        for (int x = 0; x < int(row * 8); ++x) {
            bool bit = (b[base + size_t(x / 8)] >> (7 - x % 8)) & 1;
            if (x >= w && bit)
                return fail("padding bits are set");
            if (x < w)
                out->white[size_t(y * w + x)] = bit;
        }
    }
    return true;
}

} // namespace arttest
