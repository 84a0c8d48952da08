// Shared helpers of the art tests: the resource script and the pixels of the
// files it names, as the platform's decoders read them. The file forms
// themselves are checked byte by byte (resource_form_tests.cpp,
// generator_tests.cpp), so a fault shared by the tools' writer and the
// decoder cannot hide behind this.
#ifndef ZORVAK_TESTS_SUPPORT_ART_FILES_H
#define ZORVAK_TESTS_SUPPORT_ART_FILES_H

#include "tools/art/art.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace support {

inline std::string ResourcesDir() {
    return ZORVAK_RESOURCES_DIR;
}
inline const std::vector<rcscript::Entry> &Script() {
    static const std::vector<rcscript::Entry> entries =
        art::ReadScript(ResourcesDir() + "/zorvak.rc");
    return entries;
}
inline std::string PathOf(const std::string &name) {
    for (const rcscript::Entry &e : Script())
        if (e.name == name && e.kind != rcscript::EntryKind::Menu)
            return ResourcesDir() + "/" + e.path;
    ADD_FAILURE() << name << " is not in zorvak.rc";
    return "";
}
inline std::vector<uint8_t> FileOf(const std::string &name) {
    return art::ReadFile(PathOf(name));
}

// The files read byte by byte: a little-endian field, the palette index of a
// pixel of a square 4-bit .ico and its mask bit (1 = transparent), and a pixel
// of a 1-bit .bmp, as the Windows forms lay them out (bottom row first).
// These readers stand apart from the platform's decoder on purpose: they are
// what the checks of the files and of the decoder's view rest on.
inline uint32_t Field(const std::vector<uint8_t> &f, size_t at, int bytes = 4) {
    uint32_t v = 0;
    for (int k = bytes - 1; k >= 0; --k)
        v = v << 8 | (at + size_t(k) < f.size() ? f[at + size_t(k)] : 0xFF);
    return v;
}
inline int IcoIndex(const std::vector<uint8_t> &f, int side, int x, int y) {
    return f.at(126 + size_t((side - 1 - y) * side / 2 + x / 2)) >> (x % 2 ? 0 : 4) & 15;
}
inline int IcoMask(const std::vector<uint8_t> &f, int side, int x, int y) {
    const int row = (side / 8 + 3) / 4 * 4;
    return f.at(126 + size_t(side * side / 2 + (side - 1 - y) * row + x / 8)) >> (7 - x % 8) & 1;
}
inline int BmpBit(const std::vector<uint8_t> &f, int w, int h, int x, int y) {
    return f.at(62 + size_t((h - 1 - y) * ((w + 31) / 32 * 4) + x / 8)) >> (7 - x % 8) & 1;
}

struct Icon : art::Image {
    bool clear(int x, int y) const { return at(x, y) == art::kTransparent; }
    bool lit(int x, int y) const { return !clear(x, y) && at(x, y) != 0; } // opaque, not black
};
inline Icon LoadIcon(const std::string &name) {
    Icon icon;
    EXPECT_TRUE(art::ImageFromIco(FileOf(name), &icon)) << name;
    return icon;
}
inline art::Image LoadPicture(const std::string &name) {
    art::Image picture;
    EXPECT_TRUE(art::ImageFromBmp1(FileOf(name), &picture)) << name;
    return picture;
}

// The sprite set in load order, and the icons carried but not loaded.
inline const std::vector<std::string> &SpriteSet() {
    static const std::vector<std::string> names = [] {
        const std::pair<const char *, int> runs[] = {
            {"ALIEN", 5}, {"ROCKET", 2},  {"LAND", 4}, {"EXPLOSE", 4}, {"BLANC", 0}, {"KAMIK", 2},
            {"SHIP", 3},  {"MISSILE", 2}, {"BASE", 4}, {"CRAZY", 2},   {"WALL", 4}};
        std::vector<std::string> all;
        for (auto [stem, count] : runs)
            for (int k = count ? 1 : 0; k <= count; ++k)
                all.push_back("IC_" + std::string(stem) + (count ? std::to_string(k) : ""));
        return all;
    }();
    return names;
}
inline const std::vector<std::string> &CarriedIcons() {
    static const std::vector<std::string> names = {"ICON_1", "ICON_2", "ICON_3", "ICON_4",
                                                   "ICON_5", "ICON_6", "ICON_7", "IC_ALIEN"};
    return names;
}
inline bool IsEither(uint32_t v, uint32_t a, uint32_t b) {
    return v == a || v == b;
}
inline bool Starts(const std::string &name, const char *prefix) {
    return name.rfind(prefix, 0) == 0;
}

} // namespace support

#endif
