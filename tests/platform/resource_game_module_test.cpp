// The game's own module, as the build embeds it from resources/zorvak.rc:
// every resource that the script lists is there, byte for byte, and the
// platform's decoders accept it.  (The files' forms are the art tests'.)
#include "platform/module.h"
#include "platform/resource_decode.h"
#include "resources/game_module.h"
#include "shell/about_picture.h"
#include "tools/rcembed/embed.h"
#include "tools/rcscript/rc_script.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using rcscript::EntryKind;

bool Decodes(EntryKind kind, const zplat::Resource &r) {
    zplat::DecodedIcon icon;
    zplat::DecodedBitmap bitmap;
    std::vector<zplat::DecodedMenuItem> items;
    switch (kind) {
    case EntryKind::Icon:
        return zplat::DecodeIcon(r.data, r.size, &icon);
    case EntryKind::Bitmap:
        return zplat::DecodeBitmap(r.data, r.size, &bitmap) && bitmap.bitsPixel == 1;
    default:
        return zplat::DecodeMenu(r.data, r.size, &items) && items.size() == 3;
    }
}

TEST(GameModule, HoldsEveryScriptedResourceByteForByteAndEachDecodes) {
    const std::string script = ZORVAK_RESOURCE_SCRIPT;
    std::vector<rcscript::Entry> entries;
    std::string error;
    ASSERT_TRUE(rcscript::ReadScript(script, &entries, &error)) << error;
    std::vector<rcembed::Blob> blobs;
    ASSERT_TRUE(rcembed::CollectBlobs(entries, std::filesystem::path(script).parent_path().string(),
                                      script, &blobs, &error))
        << error;
    ASSERT_FALSE(blobs.empty());

    const HINSTANCE module = GameModule();
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GameModule(), module);
    for (const rcembed::Blob &blob : blobs) {
        const zplat::ResourceType type = blob.kind == EntryKind::Icon     ? zplat::RES_ICON
                                         : blob.kind == EntryKind::Bitmap ? zplat::RES_BITMAP
                                                                          : zplat::RES_MENU;
        const zplat::Resource *r = zplat::FindResourceIn(module, type, blob.name.c_str());
        ASSERT_NE(r, nullptr) << blob.name;
        ASSERT_EQ(r->size, blob.bytes.size()) << blob.name;
        ASSERT_TRUE(std::equal(blob.bytes.begin(), blob.bytes.end(), r->data))
            << blob.name << " differs from its file: the embedded table is stale";
        EXPECT_TRUE(Decodes(blob.kind, *r)) << blob.name;
    }
}

// The About picture sets the size of the playfield: the game keeps a fixed
// size instead of one too small to play in, so the picture the game ships
// must be at least that large.
TEST(GameModule, AboutPictureGivesAPlayableField) {
    const zplat::Resource *about =
        zplat::FindResourceIn(GameModule(), zplat::RES_BITMAP, "BMP_ABOUT");
    ASSERT_NE(about, nullptr);
    zplat::DecodedBitmap bitmap;
    ASSERT_TRUE(zplat::DecodeBitmap(about->data, about->size, &bitmap));
    EXPECT_GE(bitmap.width, ABOUT_PICTURE_MIN_WIDTH);
    EXPECT_GE(bitmap.height, ABOUT_PICTURE_MIN_HEIGHT);
}

} // namespace
