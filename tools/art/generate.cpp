// zorvak-art: turns the text sources under resources/art into the icon and
// bitmap files that resources/zorvak.rc lists, and into the program's icon
// for the desktop's menus (hicolor/SIZExSIZE/apps/org.zorvak.Zorvak.png),
// byte for byte the same on every run.
//
//   zorvak-art [RESOURCES_DIR [OUTPUT_DIR]]
//   zorvak-art --check [RESOURCES_DIR]
//
// Reads RESOURCES_DIR/zorvak.rc and RESOURCES_DIR/art/**.txt and writes each
// listed file under OUTPUT_DIR (RESOURCES_DIR when not given).  Without
// arguments it regenerates the source tree's resources/ in place.  With
// --check it writes nothing and fails, naming each file, when a file in
// RESOURCES_DIR differs from what it would write or is missing, or when its
// folders hold a file that it does not make.
#include "tools/art/art.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Each file that the script lists, by its path relative to the resources.
using Files = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

// Everything is made and checked before anything is written, so a mistake
// in the sources leaves the output folder as it was.
Files MakeFiles(const std::string &resources) {
    const std::vector<rcscript::Entry> script = art::ReadScript(resources + "/zorvak.rc");
    art::ArtSet set = art::LoadArt(resources + "/art");
    std::set<std::string> used;
    Files files;
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
        files.emplace_back(e.path, std::move(bytes));
    }
    // The program's icon, ICON_1, for the desktop, at every size of the
    // hicolor theme.
    const auto icon = set.sprites.find("ICON_1");
    for (int size : art::kDesktopIconSizes)
        if (used.count("ICON_1"))
            files.emplace_back("hicolor/" + std::to_string(size) + "x" + std::to_string(size) +
                                   "/apps/org.zorvak.Zorvak.png",
                               art::EncodePng(art::Enlarge(icon->second.image, size, size)));
    for (const auto &[name, sprite] : set.sprites)
        if (!used.count(name))
            throw std::runtime_error(sprite.file + ": sprite " + name +
                                     " is not listed in zorvak.rc");
    for (const auto &[name, picture] : set.pictures)
        if (!used.count(name))
            throw std::runtime_error(picture.file + ": picture " + name +
                                     " is not listed in zorvak.rc");
    return files;
}

// What differs between `files` and the folder `resources`, one line each.
std::string Differences(const std::string &resources, const Files &files) {
    std::string problems;
    std::set<std::string> made, folders;
    for (const auto &[path, bytes] : files) {
        made.insert(fs::path(path).lexically_normal().generic_string());
        const fs::path folder = *fs::path(path).begin();
        if (folder != fs::path(path))
            folders.insert(folder.string());
        const fs::path file = fs::path(resources) / path;
        if (!fs::is_regular_file(file))
            problems += "\n  missing from " + resources + ": " + path;
        else if (art::ReadFile(file.string()) != bytes)
            problems += "\n  differs from the generator's output: " + path;
    }
    for (const std::string &folder : folders) {
        if (!fs::is_directory(fs::path(resources) / folder))
            continue;
        for (const auto &entry : fs::recursive_directory_iterator(fs::path(resources) / folder)) {
            const std::string path = fs::relative(entry.path(), resources).generic_string();
            if (entry.is_regular_file() && !made.count(path))
                problems += "\n  not made by the generator (stale?): " + path;
        }
    }
    return problems;
}

} // namespace

int main(int argc, char **argv) {
    const bool check = argc > 1 && std::string(argv[1]) == "--check";
    const int first = check ? 2 : 1;
    if (argc > first + (check ? 1 : 2) || (argc > first && argv[first][0] == '-')) {
        std::fprintf(stderr,
                     "usage: %s [RESOURCES_DIR [OUTPUT_DIR]]\n       %s --check [RESOURCES_DIR]\n",
                     argv[0], argv[0]);
        return 2;
    }
    const std::string resources = argc > first ? argv[first] : ZORVAK_SOURCE_RESOURCES;
    const std::string output = argc > first + 1 ? argv[first + 1] : resources;
    try {
        const Files files = MakeFiles(resources);
        if (check) {
            const std::string problems = Differences(resources, files);
            if (!problems.empty()) {
                std::fprintf(stderr,
                             "zorvak-art: the committed resources are out of date; run `cmake "
                             "--build <build> --target art-regenerate`:%s\n",
                             problems.c_str());
                return 1;
            }
            std::printf("zorvak-art: %zu generated files match %s\n", files.size(),
                        resources.c_str());
            return 0;
        }
        for (const auto &[path, bytes] : files)
            art::WriteFile(output + "/" + path, bytes);
        std::printf("zorvak-art: wrote %zu files under %s\n", files.size(), output.c_str());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zorvak-art: %s\n", e.what());
        return 1;
    }
    return 0;
}
