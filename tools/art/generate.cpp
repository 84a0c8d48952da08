// zorvak-art: turns the text sources under resources/art into the icon and
// bitmap files that resources/zorvak.rc lists, byte for byte the same on
// every run.
//
//   zorvak-art [RESOURCES_DIR [OUTPUT_DIR]]
//
// Reads RESOURCES_DIR/zorvak.rc and RESOURCES_DIR/art/**.txt and writes each
// listed file under OUTPUT_DIR (RESOURCES_DIR when not given).  Without
// arguments it regenerates the source tree's resources/ in place.
#include "tools/art/art.h"

#include <cstdio>
#include <exception>
#include <set>
#include <stdexcept>
#include <string>

int main(int argc, char **argv) {
    if (argc > 3 || (argc > 1 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: %s [RESOURCES_DIR [OUTPUT_DIR]]\n", argv[0]);
        return 2;
    }
    const std::string resources = argc > 1 ? argv[1] : ZORVAK_SOURCE_RESOURCES;
    const std::string output = argc > 2 ? argv[2] : resources;
    try {
        const std::vector<rcscript::Entry> script = art::ReadScript(resources + "/zorvak.rc");
        art::ArtSet set = art::LoadArt(resources + "/art");
        // Everything is made and checked before anything is written, so a
        // mistake in the sources leaves the output folder as it was.
        std::set<std::string> used;
        std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
        for (const rcscript::Entry &e : script) {
            std::vector<uint8_t> bytes;
            if (e.kind == rcscript::EntryKind::Menu) {
                continue;
            } else if (e.kind == rcscript::EntryKind::Icon) {
                auto s = set.sprites.find(e.name);
                if (s == set.sprites.end())
                    throw std::runtime_error("zorvak.rc lists icon " + e.name +
                                             " but no art source defines it");
                bytes = art::EncodeIco(s->second.image);
            } else {
                auto p = set.pictures.find(e.name);
                if (p == set.pictures.end())
                    throw std::runtime_error("zorvak.rc lists bitmap " + e.name +
                                             " but no art source defines it");
                bytes = art::EncodeBmp1(art::RenderPicture(p->second, set));
            }
            if (!used.insert(e.name).second)
                throw std::runtime_error("zorvak.rc lists " + e.name + " twice");
            files.emplace_back(output + "/" + e.path, std::move(bytes));
        }
        for (const auto &[name, sprite] : set.sprites)
            if (!used.count(name))
                throw std::runtime_error(sprite.file + ": sprite " + name +
                                         " is not listed in zorvak.rc");
        for (const auto &[name, picture] : set.pictures)
            if (!used.count(name))
                throw std::runtime_error(picture.file + ": picture " + name +
                                         " is not listed in zorvak.rc");
        for (const auto &[path, bytes] : files)
            art::WriteFile(path, bytes);
        const int written = int(files.size());
        std::printf("zorvak-art: wrote %d files under %s\n", written, output.c_str());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zorvak-art: %s\n", e.what());
        return 1;
    }
    return 0;
}
