// The resource script's reader and rcembed: the errors they stop the build
// with, the menu template rcembed writes, the files it embeds and the list
// of files it read.
#include "tests/support/recording_window.h"
#include "tests/support/resource_files.h"
#include "tools/rcembed/embed.h"
#include "tools/rcscript/rc_script.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using rcscript::EntryKind;

// A fresh folder under the system's temporary folder, removed afterwards.
struct TempDir {
    fs::path path = fs::temp_directory_path() / ("rcembed_test_" + std::to_string(getpid()));
    TempDir() {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    std::string Write(const std::string &name, const std::string &bytes) const {
        fs::create_directories((path / name).parent_path());
        std::ofstream(path / name, std::ios::binary) << bytes;
        return bytes;
    }
    // Reads, collects and checks a script lying here: the error, or "".
    std::string Build(const std::string &script, std::vector<rcembed::Blob> *blobs) const {
        std::vector<rcscript::Entry> entries;
        std::string error;
        EXPECT_TRUE(rcscript::ParseScript(script, "game.rc", &entries, &error)) << error;
        if (rcembed::CollectBlobs(entries, path.string(), "game.rc", blobs, &error) &&
            rcembed::CheckBlobs(entries, *blobs, "game.rc", &error)) {
            return "";
        }
        return error;
    }
    // Runs the built tool on a script, writing out.cpp here and the list of
    // files it read to dep when one is named: its exit code (124 when it
    // hung, -1 when it crashed) and what it printed.
    std::pair<int, std::string> Rcembed(const fs::path &script, const fs::path &dep = "") const {
        const std::string command = "timeout 20 '" + std::string(ZORVAK_RCEMBED_PATH) + "' '" +
                                    script.string() + "' '" + (path / "out.cpp").string() + "'" +
                                    (dep.empty() ? "" : " '" + dep.string() + "'") + " > '" +
                                    (path / "log.txt").string() + "' 2>&1";
        const int status = std::system(command.c_str());
        std::stringstream output;
        output << std::ifstream(path / "log.txt").rdbuf();
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output.str()};
    }
};

// The smallest icon the platform loads: one pixel, 16 colours, its mask.
std::string TinyIcon() {
    const support::Bytes b = support::SolidIcon(1, 0);
    return std::string(b.begin(), b.end());
}

TEST(RcScript, ReadsTheSubsetTheWindowsBuildCompiles) {
    const std::string script = "// comment line\r\n"
                               "\n"
                               "ICON_1 ICON \"icons/one.ico\"   // trailing comment\r\n"
                               "  BMP_ABOUT\tBITMAP \"bitmaps/about.bmp\"\n"
                               "MENU_1 MENU\n"
                               "// a comment before BEGIN\n"
                               "BEGIN\n"
                               "    MENUITEM \"&New game\", 1000\n"
                               "    MENUITEM \"Say \"\"hi\"\"\",0x3E9 // hex id\n"
                               "    menuitem \"&Quit\" , 0XfFfF\n"
                               "END\n"
                               "same ICON \"a.ico\"\n"
                               "SAME BITMAP \"a.bmp\""; // no newline at the end
    std::vector<rcscript::Entry> entries;
    std::string error;
    ASSERT_TRUE(rcscript::ParseScript(script, "game.rc", &entries, &error)) << error;
    std::string got; // kind name path line [items]
    for (const rcscript::Entry &e : entries) {
        got += std::to_string(int(e.kind)) + " " + e.name + " " + e.path + " " +
               std::to_string(e.line);
        for (const rcscript::MenuItem &i : e.items) {
            got += " [" + i.text + "=" + std::to_string(i.id) + "]";
        }
        got += "\n";
    }
    // One name may be an icon and a bitmap at once, as on Windows.
    EXPECT_EQ(got, "0 ICON_1 icons/one.ico 3\n"
                   "1 BMP_ABOUT bitmaps/about.bmp 4\n"
                   "2 MENU_1  5 [&New game=1000] [Say \"hi\"=1001] [&Quit=65535]\n"
                   "0 same a.ico 12\n"
                   "1 SAME a.bmp 13\n");
}

TEST(RcScript, AnythingElseStopsWithFileLineAndReason) {
    const std::string ok = "IC_Z ICON \"a.ico\"\n";
    const std::tuple<std::string, int, std::string> cases[] = {
        {ok + "IC_C CURSOR \"c.cur\"\n", 2, "unknown resource type 'CURSOR'"},
        {ok + "#include \"resource.h\"\n", 2, "unsupported syntax at '#'"},
        {"/* block */\n", 1, "unsupported syntax at '/'"},
        {ok + "1 ICON \"a.ico\"\n", 2, "numeric resource ids"},
        {"IC_A ICON\n", 1, "expected a quoted file name"},
        {"IC_A ICON a_ico\n", 1, "expected a quoted file name"},
        {"IC_A ICON \"a.ico\" DISCARDABLE\n", 1, "unexpected 'DISCARDABLE'"},
        {"IC_A\n", 1, "expected a resource type"},
        {"IC_A ICON \"\"\n", 1, "empty file name"},
        {"IC_A ICON \"/abs/a.ico\"\n", 1, "relative"},
        {"IC_A ICON \"C:/a.ico\"\n", 1, "relative"},
        {"IC_A ICON \"icons\\\\a.ico\"\n", 1, "backslash"},
        {"IC_A ICON \"a.ico\n", 1, "unterminated string"},
        {"IC_A ICON \"\xC3\xA9.ico\"\n", 1, "printable ASCII"},
        {"IC_A ICON \"\x7F.ico\"\n", 1, "printable ASCII"},
        {"IC_A ICON \"\x1F.ico\"\n", 1, "printable ASCII"},
        {ok + "ic_z ICON \"b.ico\"\n", 2, "duplicate ICON 'ic_z' (first at line 1)"},
        {ok + "M MENU\nMENUITEM \"a\", 1\n", 3, "expected BEGIN"},
        {"M MENU\n{\n", 2, "unsupported syntax at '{'"},
        {"M MENU DISCARDABLE\n", 1, "after MENU"},
        {"M MENU\nBEGIN\nMENUITEM \"a\" 1\nEND\n", 3, "expected MENUITEM \"text\", id"},
        {"M MENU\nBEGIN\nMENUITEM \"a\", 65536\nEND\n", 3, "16 bits"},
        {"M MENU\nBEGIN\nMENUITEM \"a\", 0x100000000000000001\nEND\n", 3, "16 bits"},
        {"M MENU\nBEGIN\nMENUITEM \"a\", 0x\nEND\n", 3, "malformed number"},
        {"M MENU\nBEGIN MENUITEM \"a\", 1\nEND\n", 2, "expected BEGIN"},
        {"M MENU\nBEGIN\nMENUITEM \"a\", 12x\nEND\n", 3, "malformed number"},
        {"M MENU\nBEGIN\nMENUITEM \"a\", 1, GRAYED\nEND\n", 3, "options"},
        {"M MENU\nBEGIN\nMENUITEM SEPARATOR\nEND\n", 3, "separators"},
        {"M MENU\nBEGIN\nPOPUP \"File\"\nEND\n", 3, "pop-up"},
        {"M MENU\nBEGIN\nIC_A ICON \"a.ico\"\n", 3, "expected MENUITEM or END"},
        {"M MENU\nBEGIN\nEND\n", 3, "has no items"},
        {ok + "\nM MENU\nBEGIN\nMENUITEM \"a\", 1\n", 3, "menu 'M' has no END"},
    };
    for (const auto &[script, line, says] : cases) {
        std::vector<rcscript::Entry> entries;
        std::string error;
        EXPECT_FALSE(rcscript::ParseScript(script, "game.rc", &entries, &error)) << script;
        EXPECT_EQ(error.rfind("game.rc:" + std::to_string(line) + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(says), std::string::npos) << script << "\n -> " << error;
    }
}

// The template that the decoder tests read: header, then flags, id and
// UTF-16 text per item, the last flagged 0x80.
TEST(RcScript, MenuTemplateIsTheBinaryMenuBarTemplate) {
    EXPECT_EQ(rcembed::BuildMenuTemplate(
                  {{"&New game", 1000}, {"&About Zorvak", 1001}, {"&Quit Zorvak", 1003}}),
              support::MakeMenu(
                  {{1000, u"&New game"}, {1001, u"&About Zorvak"}, {1003, u"&Quit Zorvak"}}));
    EXPECT_EQ(rcembed::BuildMenuTemplate({{"", 0}, {"x", 65535}}),
              support::MakeMenu({{0, u""}, {65535, u"x"}}));
}

TEST(RcScript, FilesAreEmbeddedByteForByteAndMissingOrDamagedOnesStopTheBuild) {
    TempDir dir;
    // Bytes that a text-mode read would change, after a valid icon.
    const std::string icon =
        dir.Write("icons/a.ico", TinyIcon() + std::string("\r\n\x1A\0\xFF", 5));
    const support::Bytes picture = support::MakeBitmap(3, 2, 1, [](int x, int) { return x & 1; });
    const std::string bmp = dir.Write("b.bmp", std::string(picture.begin(), picture.end()));
    dir.Write("cut.ico", TinyIcon().substr(0, TinyIcon().size() - 1));
    dir.Write("empty.ico", "");
    dir.Write("text.bmp", "BM not really a bitmap");
    const std::string good = "A ICON \"icons/a.ico\"\nM MENU\nBEGIN\nMENUITEM \"x\", 5\nEND\n";
    std::vector<rcembed::Blob> blobs;
    ASSERT_EQ(dir.Build(good + "B BITMAP \"b.bmp\"\n", &blobs), "");
    ASSERT_EQ(blobs.size(), 3u);
    EXPECT_EQ(std::string(blobs[0].bytes.begin(), blobs[0].bytes.end()), icon);
    EXPECT_EQ(blobs[1].kind, EntryKind::Menu);
    EXPECT_EQ(blobs[1].bytes, rcembed::BuildMenuTemplate({{"x", 5}}));
    EXPECT_EQ(std::string(blobs[2].bytes.begin(), blobs[2].bytes.end()), bmp);

    // Each names the line that lists the file.
    const std::pair<std::string, std::string> cases[] = {
        {good + "\nC ICON \"icons/c.ico\"\n", "game.rc:7: cannot read 'icons/c.ico'"},
        {good + "C ICON \"empty.ico\"\n", "game.rc:6: 'empty.ico' is empty"},
        {good + "B ICON \"cut.ico\"\n", "game.rc:6: 'cut.ico' is not an icon"},
        {good + "\nB BITMAP \"text.bmp\"\n", "game.rc:7: 'text.bmp' is not a bitmap"},
        {good + "B BITMAP \"icons/a.ico\"\n", "game.rc:6: 'icons/a.ico' is not a bitmap"},
    };
    for (const auto &[script, says] : cases) {
        EXPECT_EQ(dir.Build(script, &blobs).rfind(says, 0), 0u) << says;
    }
}

// The built tool: what the build sees when the script is wrong, and the
// list of files it read (paths escaped as make and ninja read them).
TEST(RcembedTool, StopsAtTheScriptLineOrListsEveryFileItRead) {
    TempDir dir;
    const fs::path folder = dir.path / "my r#e$s";
    dir.Write("my r#e$s/game.rc", "A ICON \"a.ico\"\nB ICON \"sub/missing.ico\"\n");
    dir.Write("my r#e$s/a.ico", TinyIcon());
    const fs::path out = dir.path / "out.cpp", dep = dir.path / "out.d";
    auto [status, output] = dir.Rcembed(folder / "game.rc", dep);
    EXPECT_NE(status, 0);
    EXPECT_NE(output.find("game.rc:2: cannot read 'sub/missing.ico'"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(dep));

    dir.Write("my r#e$s/sub/missing.ico", TinyIcon());
    EXPECT_EQ(dir.Rcembed(folder / "game.rc", dep).first, 0);
    EXPECT_TRUE(fs::exists(out));
    std::stringstream depfile;
    depfile << std::ifstream(dep).rdbuf();
    const std::string escaped = (dir.path / "my\\ r\\#e$$s").string();
    EXPECT_EQ(depfile.str(), out.string() + ": \\\n  " + escaped + "/game.rc \\\n  " + escaped +
                                 "/a.ico \\\n  " + escaped + "/sub/missing.ico\n");
}

// Names that are not regular files stop the tool at their line at once: it
// neither waits on a FIFO, nor reads a device without end, nor crashes on a
// folder.  (timeout turns a hang into a failure with status 124.)
TEST(RcembedTool, RefusesWhatIsNotARegularFileOfASaneSize) {
    TempDir dir;
    dir.Write("game.rc", "");
    fs::create_directories(dir.path / "folder.ico");
    ASSERT_EQ(mkfifo((dir.path / "pipe.ico").c_str(), 0600), 0);
    // A sparse file just over the 16 MiB limit: nothing is written to disk.
    dir.Write("huge.bmp", "");
    fs::resize_file(dir.path / "huge.bmp", (16u << 20) + 1);
    const std::string zero = fs::relative("/dev/zero", dir.path).string();
    const std::pair<std::string, std::string> cases[] = {
        {"A ICON \"folder.ico\"", "it is a folder"},
        {"A ICON \"pipe.ico\"", "not a regular file"},
        {"A BITMAP \"" + zero + "\"", "not a regular file"},
        {"A BITMAP \"huge.bmp\"", "larger than 16777216 bytes"},
        {"A BITMAP \"missing.bmp\"", "No such file"},
    };
    for (const auto &[line, says] : cases) {
        dir.Write("game.rc", "// one resource\n" + line + "\n");
        const auto [status, output] = dir.Rcembed(dir.path / "game.rc");
        EXPECT_EQ(status, 1) << line << "\n" << output;
        EXPECT_EQ(output.rfind((dir.path / "game.rc").string() + ":2: cannot read", 0), 0u)
            << output;
        EXPECT_NE(output.find(says), std::string::npos) << output;
    }
    // The script itself is read under the same rules.
    EXPECT_EQ(dir.Rcembed(dir.path / "folder.ico").first, 1);
    EXPECT_FALSE(fs::exists(dir.path / "out.cpp"));

    // The limits themselves are allowed: a file of 16 MiB is read (and is
    // no bitmap), a script of 1 MiB (comments) too, but not a byte more.
    fs::resize_file(dir.path / "huge.bmp", 16u << 20);
    dir.Write("game.rc", "A BITMAP \"huge.bmp\"\n");
    EXPECT_NE(dir.Rcembed(dir.path / "game.rc").second.find("'huge.bmp' is not a bitmap"),
              std::string::npos);
    std::string script;
    for (int k = 0; k < 1024; ++k) {
        script += "//" + std::string(1021, '-') + "\n";
    }
    dir.Write("game.rc", script);
    EXPECT_EQ(dir.Rcembed(dir.path / "game.rc").first, 0);
    dir.Write("game.rc", script + "\n");
    EXPECT_NE(dir.Rcembed(dir.path / "game.rc").second.find("larger than 1048576 bytes (1048577)"),
              std::string::npos);
    // The command line: a script, an output and at most a dependency file.
    const int status =
        std::system((std::string(ZORVAK_RCEMBED_PATH) + " a b c d 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

} // namespace
