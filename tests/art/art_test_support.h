// Shared helpers of the art tests: where the resources are and how to load
// one of them by its resource name.
#ifndef ZORVAK_TESTS_ART_SUPPORT_H
#define ZORVAK_TESTS_ART_SUPPORT_H

#include "tests/art/readers.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace arttest {

inline std::string ResourcesDir() {
    return ZORVAK_RESOURCES_DIR;
}
inline const Rc &Script() {
    static const Rc rc = ReadRc(ResourcesDir() + "/zorvak.rc");
    return rc;
}
inline std::string PathOf(const std::string &name) {
    for (const RcLine &l : Script().files)
        if (l.name == name)
            return ResourcesDir() + "/" + l.path;
    return "";
}
inline Icon LoadIcon(const std::string &name) {
    Icon icon;
    std::string why;
    std::string path = PathOf(name);
    EXPECT_FALSE(path.empty()) << name << " is not in zorvak.rc";
    EXPECT_TRUE(ReadIcon(Slurp(path), &icon, &why)) << name << ": " << why;
    return icon;
}

// The sprite set in load order, and the icons carried but not loaded.
inline const std::vector<std::string> &SpriteSet() {
    static const std::vector<std::string> names = {
        "IC_ALIEN1",   "IC_ALIEN2",   "IC_ALIEN3",   "IC_ALIEN4",   "IC_ALIEN5",   "IC_ROCKET1",
        "IC_ROCKET2",  "IC_LAND1",    "IC_LAND2",    "IC_LAND3",    "IC_LAND4",    "IC_EXPLOSE1",
        "IC_EXPLOSE2", "IC_EXPLOSE3", "IC_EXPLOSE4", "IC_BLANC",    "IC_KAMIK1",   "IC_KAMIK2",
        "IC_SHIP1",    "IC_SHIP2",    "IC_SHIP3",    "IC_MISSILE1", "IC_MISSILE2", "IC_BASE1",
        "IC_BASE2",    "IC_BASE3",    "IC_BASE4",    "IC_CRAZY1",   "IC_CRAZY2",   "IC_WALL1",
        "IC_WALL2",    "IC_WALL3",    "IC_WALL4"};
    return names;
}
inline const std::vector<std::string> &CarriedIcons() {
    static const std::vector<std::string> names = {"ICON_1", "ICON_2", "ICON_3", "ICON_4",
                                                   "ICON_5", "ICON_6", "ICON_7", "IC_ALIEN"};
    return names;
}
inline bool IsBase(const std::string &name) {
    return name.rfind("IC_BASE", 0) == 0;
}
inline bool IsFrameTile(const std::string &name) {
    return name.rfind("IC_LAND", 0) == 0 || name.rfind("IC_WALL", 0) == 0;
}

} // namespace arttest

#endif
