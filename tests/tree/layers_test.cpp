// The layers of docs/HACKING.md hold: every quoted #include of every C and
// C++ file in the tree is one that the guide's table allows for the file's
// folder.  The test reads the table itself, so the guide and the check
// cannot drift apart.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kRoot = ZORVAK_SOURCE_DIR;

// One row of the table: the folders or files it is about, what they may
// include (a folder ending in '/', a file, or '*' standing for any name
// within one folder: `platform/*.h`).
struct Row {
    std::vector<std::string> about;
    std::vector<std::string> allowed;
};

// The `quoted` names of a cell.
std::vector<std::string> Names(const std::string &cell) {
    std::vector<std::string> names;
    size_t at = 0;
    while ((at = cell.find('`', at)) != std::string::npos) {
        const size_t end = cell.find('`', at + 1);
        if (end == std::string::npos) {
            break;
        }
        names.push_back(cell.substr(at + 1, end - at - 1));
        at = end + 1;
    }
    return names;
}

// The first table after the heading that starts with "## Layers".
std::vector<Row> ReadTable(std::string *error) {
    std::ifstream guide(kRoot / "docs/HACKING.md");
    std::vector<Row> rows;
    std::string line;
    bool inSection = false;
    bool inTable = false;
    while (std::getline(guide, line)) {
        if (line.rfind("## ", 0) == 0) {
            if (inSection) {
                break;
            }
            inSection = line.rfind("## Layers", 0) == 0;
            continue;
        }
        if (!inSection || line.rfind("|", 0) != 0) {
            if (inTable) {
                break;
            }
            continue;
        }
        inTable = true;
        const size_t middle = line.find('|', 1);
        if (middle == std::string::npos) {
            continue;
        }
        Row row{Names(line.substr(1, middle - 1)), Names(line.substr(middle + 1))};
        if (!row.about.empty()) {
            rows.push_back(row);
        }
    }
    if (rows.empty()) {
        *error = "docs/HACKING.md has no table under a heading \"## Layers\"";
    }
    return rows;
}

// Whether a path matches a table name: a folder ('/' at its end) holds it,
// a file is it, '*' stands for any name without '/'.
bool Matches(const std::string &name, const std::string &path) {
    if (!name.empty() && name.back() == '/') {
        return path.rfind(name, 0) == 0;
    }
    const size_t star = name.find('*');
    if (star == std::string::npos) {
        return name == path;
    }
    const std::string before = name.substr(0, star);
    const std::string after = name.substr(star + 1);
    if (path.size() < before.size() + after.size() || path.rfind(before, 0) != 0 ||
        path.compare(path.size() - after.size(), after.size(), after) != 0) {
        return false;
    }
    const std::string middle =
        path.substr(before.size(), path.size() - before.size() - after.size());
    return middle.find('/') == std::string::npos;
}

// The row about a file: the one naming it, or else the one naming its
// innermost folder.
const Row *RowFor(const std::vector<Row> &rows, const std::string &path) {
    const Row *best = nullptr;
    size_t bestLength = 0;
    for (const Row &row : rows) {
        for (const std::string &name : row.about) {
            const size_t length = name == path ? SIZE_MAX : name.size();
            if (Matches(name, path) && length > bestLength) {
                best = &row;
                bestLength = length;
            }
        }
    }
    return best;
}

bool IsSource(const fs::path &path) {
    const std::string ext = path.extension().string();
    return ext == ".c" || ext == ".cc" || ext == ".cpp" || ext == ".h";
}

// The tree's own source files, as paths from the top (build folders,
// hidden folders and the fuzzers' corpora left out).
std::vector<std::string> SourceFiles() {
    std::vector<std::string> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(kRoot, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (it->is_directory() &&
            (name.rfind("build", 0) == 0 || name[0] == '.' || name == "corpus")) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file() && IsSource(it->path())) {
            files.push_back(fs::relative(it->path(), kRoot).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The "quoted" includes of a file, with their line numbers.
std::vector<std::pair<int, std::string>> Includes(const std::string &file) {
    std::ifstream in(kRoot / file);
    std::vector<std::pair<int, std::string>> found;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const size_t hash = line.find_first_not_of(" \t");
        if (hash == std::string::npos || line.compare(hash, 8, "#include") != 0) {
            continue;
        }
        const size_t open = line.find('"', hash);
        const size_t close = open == std::string::npos ? open : line.find('"', open + 1);
        if (close != std::string::npos) {
            found.emplace_back(number, line.substr(open + 1, close - open - 1));
        }
    }
    return found;
}

TEST(Layers, EveryIncludeIsOneTheGuideAllows) {
    std::string error;
    const std::vector<Row> rows = ReadTable(&error);
    ASSERT_FALSE(rows.empty()) << error;
    const std::vector<std::string> files = SourceFiles();
    ASSERT_GT(files.size(), 100u) << "the tree was not found at " << kRoot;
    int checked = 0;
    for (const std::string &file : files) {
        const Row *row = RowFor(rows, file);
        if (row == nullptr) {
            ADD_FAILURE() << file << " lies in no folder of docs/HACKING.md's layer table";
            continue;
        }
        for (const auto &found : Includes(file)) {
            const int line = found.first;
            const std::string &include = found.second;
            ++checked;
            if (!fs::exists(kRoot / include)) {
                ADD_FAILURE() << file << ":" << line << " includes \"" << include
                              << "\", which is no file of the tree (includes are written from "
                                 "the top of the tree)";
                continue;
            }
            const bool allowed =
                std::any_of(row->allowed.begin(), row->allowed.end(),
                            [&](const std::string &name) { return Matches(name, include); });
            EXPECT_TRUE(allowed) << file << ":" << line << " includes \"" << include
                                 << "\", which docs/HACKING.md does not allow for `"
                                 << row->about.front() << "`";
        }
    }
    EXPECT_GT(checked, 300);
}

// Every folder and file the table names exists: a row about something gone
// is a guide that no longer describes the tree.
TEST(Layers, TheTableNamesOnlyWhatExists) {
    std::string error;
    for (const Row &row : ReadTable(&error)) {
        for (const std::string &name : row.about) {
            EXPECT_TRUE(fs::exists(kRoot / name)) << "the layer table names " << name;
        }
        for (const std::string &name : row.allowed) {
            if (name.find('*') == std::string::npos) {
                EXPECT_TRUE(fs::exists(kRoot / name)) << "the layer table allows " << name;
            }
        }
    }
}

// The matching rules themselves, on the shapes the table uses.
TEST(Layers, TableNamesMatchFoldersFilesAndOneLevelStars) {
    EXPECT_TRUE(Matches("world/", "world/spawn.cpp"));
    EXPECT_FALSE(Matches("world/", "worlds/x.h"));
    EXPECT_TRUE(Matches("platform/*.h", "platform/backend.h"));
    EXPECT_FALSE(Matches("platform/*.h", "platform/core/state.h"));
    EXPECT_FALSE(Matches("platform/*.h", "platform/backend.cpp"));
    EXPECT_TRUE(Matches("platform/sdl/main.cpp", "platform/sdl/main.cpp"));
    const std::vector<Row> rows = {
        {{"platform/"}, {"a"}}, {{"platform/sdl/"}, {"b"}}, {{"platform/sdl/main.cpp"}, {"c"}}};
    EXPECT_EQ(RowFor(rows, "platform/sdl/main.cpp")->allowed[0], "c");
    EXPECT_EQ(RowFor(rows, "platform/sdl/options.cpp")->allowed[0], "b");
    EXPECT_EQ(RowFor(rows, "platform/display.h")->allowed[0], "a");
    EXPECT_EQ(RowFor(rows, "world/x.h"), nullptr);
}

} // namespace
