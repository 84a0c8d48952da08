// Small readers for the resource files, written for the tests alone so that
// they check the files against their Windows forms independently of the
// generator's own writer.
#ifndef ZORVAK_TESTS_ART_READERS_H
#define ZORVAK_TESTS_ART_READERS_H

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace arttest {

inline std::vector<uint8_t> Slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
inline uint32_t U16(const std::vector<uint8_t> &b, size_t o) {
    return o + 2 <= b.size() ? uint32_t(b[o] | (b[o + 1] << 8)) : 0xFFFFFFFFu;
}
inline uint32_t U32(const std::vector<uint8_t> &b, size_t o) {
    return o + 4 <= b.size() ? U16(b, o) | (U16(b, o + 2) << 16) : 0xFFFFFFFFu;
}
inline int32_t S32(const std::vector<uint8_t> &b, size_t o) {
    return int32_t(U32(b, o));
}

// One entry of the resource script.
struct RcLine {
    std::string name, type, path;
};
struct RcMenuItem {
    std::string text;
    int id;
};
struct Rc {
    std::vector<RcLine> files;        // ICON and BITMAP lines, in order
    std::vector<std::string> menus;   // names of MENU blocks
    std::vector<RcMenuItem> items;    // MENUITEM lines of all blocks
    std::vector<std::string> strange; // lines outside the script's subset
};
Rc ReadRc(const std::string &path);

// The pixels of a 4-bit icon: palette index and mask bit per pixel.
struct Icon {
    int width = 0, height = 0;
    std::vector<uint8_t> index;  // top row first
    std::vector<uint8_t> masked; // 1 = transparent
    uint8_t at(int x, int y) const { return index[size_t(y * width + x)]; }
    bool clear(int x, int y) const { return masked[size_t(y * width + x)] != 0; }
    // Lit: opaque and not black.
    bool lit(int x, int y) const { return !clear(x, y) && at(x, y) != 0; }
};
// Decodes a single-image 4-bit .ico; false (with a reason) if it is not one.
bool ReadIcon(const std::vector<uint8_t> &file, Icon *out, std::string *why);

// The pixels of a 1-bit .bmp: 1 where the palette entry is white.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> white; // top row first
    bool at(int x, int y) const { return white[size_t(y * width + x)] != 0; }
};
bool ReadPicture(const std::vector<uint8_t> &file, Picture *out, std::string *why);

} // namespace arttest

#endif
