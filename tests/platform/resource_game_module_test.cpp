// The game's own module, as the build embeds it from resources/zorvak.rc:
// every resource that the script lists is there, byte for byte, and decodes.
#ifdef ZORVAK_HAVE_GAME_MODULE

#include "platform/core/resource_decode.h"
#include "tools/rcembed/rc_script.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

zplat::ResourceType TypeOf(rcembed::EntryKind kind) {
    switch (kind) {
    case rcembed::EntryKind::Icon:
        return zplat::RES_ICON;
    case rcembed::EntryKind::Bitmap:
        return zplat::RES_BITMAP;
    default:
        return zplat::RES_MENU;
    }
}

TEST(GameModule, HoldsEveryScriptedResourceAndEachDecodes) {
    const std::string script = ZORVAK_RESOURCE_SCRIPT;
    std::ifstream in(script, std::ios::binary);
    ASSERT_TRUE(in) << script;
    std::stringstream text;
    text << in.rdbuf();
    std::vector<rcembed::Entry> entries;
    std::string error;
    ASSERT_TRUE(rcembed::ParseScript(text.str(), script, &entries, &error)) << error;
    std::vector<rcembed::Blob> blobs;
    ASSERT_TRUE(rcembed::CollectBlobs(entries, std::filesystem::path(script).parent_path().string(),
                                      script, &blobs, &error))
        << error;

    const HINSTANCE module = zplat::GameModule();
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(zplat::GameModule(), module);
    int icons = 0, bitmaps = 0, menus = 0;
    for (const rcembed::Blob &blob : blobs) {
        const zplat::Resource *r =
            zplat::FindResourceIn(module, TypeOf(blob.kind), blob.name.c_str());
        ASSERT_NE(r, nullptr) << blob.name;
        ASSERT_TRUE(r->size == blob.bytes.size() &&
                    std::equal(blob.bytes.begin(), blob.bytes.end(), r->data))
            << blob.name << " differs from its file: the embedded table is stale";
        if (blob.kind == rcembed::EntryKind::Icon) {
            zplat::DecodedIcon icon;
            ASSERT_TRUE(zplat::DecodeIcon(r->data, r->size, &icon)) << blob.name;
            const int side = blob.name.rfind("IC_BASE", 0) == 0 ? 64 : 32;
            EXPECT_EQ(icon.width, side) << blob.name;
            EXPECT_EQ(icon.height, side) << blob.name;
            ++icons;
        } else if (blob.kind == rcembed::EntryKind::Bitmap) {
            zplat::DecodedBitmap bitmap;
            ASSERT_TRUE(zplat::DecodeBitmap(r->data, r->size, &bitmap)) << blob.name;
            EXPECT_EQ(bitmap.width, 453) << blob.name;
            EXPECT_EQ(bitmap.height, 302) << blob.name;
            EXPECT_EQ(bitmap.bitsPixel, 1) << blob.name;
            ++bitmaps;
        } else {
            ++menus;
        }
    }
    // 33 sprites and 8 carried icons, three pictures, one menu bar.
    EXPECT_EQ(icons, 41);
    EXPECT_EQ(bitmaps, 3);
    EXPECT_EQ(menus, 1);

    const zplat::Resource *menu = zplat::FindResourceIn(module, zplat::RES_MENU, "MENU_1");
    ASSERT_NE(menu, nullptr);
    std::vector<zplat::DecodedMenuItem> items;
    ASSERT_TRUE(zplat::DecodeMenu(menu->data, menu->size, &items));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "&New game");
    EXPECT_EQ(items[0].id, 1000u);
    EXPECT_EQ(items[1].text, "&About Zorvak");
    EXPECT_EQ(items[1].id, 1001u);
    EXPECT_EQ(items[2].text, "&Quit Zorvak");
    EXPECT_EQ(items[2].id, 1003u);
}

} // namespace

#endif
