// rcembed: reading the resource script, the errors it stops the build with,
// and the menu template it writes, read back by the platform's decoder.
#include "platform/core/resource_decode.h"
#include "tools/rcembed/rc_script.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using rcembed::EntryKind;

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir() {
        static int counter = 0;
        path_ = fs::temp_directory_path() /
                ("rcembed_test_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path &path() const { return path_; }
    void Write(const std::string &name, const std::string &bytes) const {
        fs::create_directories((path_ / name).parent_path());
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }

private:
    fs::path path_;
};

// The smallest icon the platform loads: one pixel, 16 colours, its mask.
std::string TinyIcon() {
    std::string b(22 + 40 + 64 + 4 + 4, '\0');
    const auto put = [&b](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            b[at + i] = static_cast<char>(v >> (8 * i));
        }
    };
    put(2, 1, 2);    // type: icon
    put(4, 1, 2);    // one image
    b[6] = b[7] = 1; // 1 x 1
    put(14, 112, 4); // image bytes
    put(18, 22, 4);  // image offset
    put(22, 40, 4);  // header size
    put(26, 1, 4);   // width
    put(30, 2, 4);   // height, doubled
    put(34, 1, 2);   // planes
    put(36, 4, 2);   // bits per pixel
    return b;
}

std::string ParseError(const std::string &script) {
    std::vector<rcembed::Entry> entries;
    std::string error;
    EXPECT_FALSE(rcembed::ParseScript(script, "game.rc", &entries, &error)) << script;
    return error;
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
                               "    menuitem \"&Quit\" , 65535\n"
                               "END\n"
                               "same ICON \"a.ico\"\n"
                               "SAME BITMAP \"a.bmp\""; // no newline at the end
    std::vector<rcembed::Entry> entries;
    std::string error;
    ASSERT_TRUE(rcembed::ParseScript(script, "game.rc", &entries, &error)) << error;
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].kind, EntryKind::Icon);
    EXPECT_EQ(entries[0].name, "ICON_1");
    EXPECT_EQ(entries[0].path, "icons/one.ico");
    EXPECT_EQ(entries[0].line, 3);
    EXPECT_EQ(entries[1].kind, EntryKind::Bitmap);
    EXPECT_EQ(entries[1].name, "BMP_ABOUT");
    EXPECT_EQ(entries[1].path, "bitmaps/about.bmp");
    EXPECT_EQ(entries[2].kind, EntryKind::Menu);
    EXPECT_EQ(entries[2].name, "MENU_1");
    EXPECT_EQ(entries[2].line, 5);
    ASSERT_EQ(entries[2].items.size(), 3u);
    EXPECT_EQ(entries[2].items[0].text, "&New game");
    EXPECT_EQ(entries[2].items[0].id, 1000);
    EXPECT_EQ(entries[2].items[1].text, "Say \"hi\"");
    EXPECT_EQ(entries[2].items[1].id, 1001);
    EXPECT_EQ(entries[2].items[2].text, "&Quit");
    EXPECT_EQ(entries[2].items[2].id, 65535);
    // One name may be an icon and a bitmap at once, as on Windows.
    EXPECT_EQ(entries[3].kind, EntryKind::Icon);
    EXPECT_EQ(entries[4].kind, EntryKind::Bitmap);
    EXPECT_EQ(entries[4].line, 13);
}

TEST(RcScript, AnythingElseStopsWithFileLineAndReason) {
    struct Case {
        std::string script;
        int line;
        std::string says;
    };
    const std::string ok = "IC_A ICON \"a.ico\"\n";
    const Case cases[] = {
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
        {ok + "ic_a ICON \"b.ico\"\n", 2, "duplicate ICON 'ic_a' (first at line 1)"},
        {ok + "M MENU\nMENUITEM \"a\", 1\n", 3, "expected BEGIN"},
        {"M MENU\n{\n", 2, "unsupported syntax at '{'"},
        {"M MENU DISCARDABLE\n", 1, "after MENU"},
        {"M MENU\nBEGIN\nMENUITEM \"a\" 1\nEND\n", 3, "expected MENUITEM \"text\", id"},
        {"M MENU\nBEGIN\nMENUITEM \"a\", 70000\nEND\n", 3, "16 bits"},
        {"M MENU\nBEGIN\nMENUITEM \"a\", 12x\nEND\n", 3, "malformed number"},
        {"M MENU\nBEGIN\nMENUITEM \"a\", 1, GRAYED\nEND\n", 3, "options"},
        {"M MENU\nBEGIN\nMENUITEM SEPARATOR\nEND\n", 3, "separators"},
        {"M MENU\nBEGIN\nPOPUP \"File\"\nEND\n", 3, "pop-up"},
        {"M MENU\nBEGIN\nIC_A ICON \"a.ico\"\n", 3, "expected MENUITEM or END"},
        {"M MENU\nBEGIN\nEND\n", 3, "has no items"},
        {ok + "\nM MENU\nBEGIN\nMENUITEM \"a\", 1\n", 3, "menu 'M' has no END"},
    };
    for (const Case &c : cases) {
        const std::string error = ParseError(c.script);
        const std::string where = "game.rc:" + std::to_string(c.line) + ": ";
        EXPECT_EQ(error.rfind(where, 0), 0u) << c.script << "\n -> " << error;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.script << "\n -> " << error;
    }
}

TEST(RcScript, MenuTemplateHasTheBinaryLayoutAndReadsBack) {
    const std::vector<rcembed::MenuItem> items = {
        {"&New game", 1000}, {"&About Zorvak", 1001}, {"&Quit Zorvak", 1003}};
    const std::vector<unsigned char> bytes = rcembed::BuildMenuTemplate(items);
    // Header: version 0, offset 0.  Item: flags, id, UTF-16LE text, NUL.
    const std::vector<unsigned char> start = {0,   0, 0,   0, 0,   0, 0xE8, 0x03,
                                              '&', 0, 'N', 0, 'e', 0, 'w',  0};
    ASSERT_GE(bytes.size(), start.size());
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.begin() + start.size()), start);
    // The last item: flags MF_END (0x80), id 1003 (0x3EB).
    const size_t last = 4 + (4 + 20) + (4 + 28);
    ASSERT_EQ(bytes.size(), last + 4 + 26);
    EXPECT_EQ(bytes[last], 0x80);
    EXPECT_EQ(bytes[last + 1], 0x00);
    EXPECT_EQ(bytes[last + 2], 0xEB);
    EXPECT_EQ(bytes[last + 3], 0x03);
    EXPECT_EQ(bytes[4], 0x00); // the first item is not the last
    EXPECT_EQ(bytes[bytes.size() - 1], 0);
    EXPECT_EQ(bytes[bytes.size() - 2], 0);

    std::vector<zplat::DecodedMenuItem> decoded;
    ASSERT_TRUE(zplat::DecodeMenu(bytes.data(), bytes.size(), &decoded));
    ASSERT_EQ(decoded.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(decoded[i].text, items[i].text);
        EXPECT_EQ(decoded[i].id, items[i].id);
    }

    const std::vector<rcembed::MenuItem> edges = {{"", 0}, {"x", 65535}};
    const std::vector<unsigned char> edgeBytes = rcembed::BuildMenuTemplate(edges);
    ASSERT_TRUE(zplat::DecodeMenu(edgeBytes.data(), edgeBytes.size(), &decoded));
    ASSERT_EQ(decoded.size(), 2u);
    EXPECT_EQ(decoded[0].text, "");
    EXPECT_EQ(decoded[0].id, 0u);
    EXPECT_EQ(decoded[1].id, 65535u);
}

TEST(RcScript, FilesAreEmbeddedByteForByteRelativeToTheScript) {
    TempDir dir;
    std::string binary("\x00\x01\xFF\r\n\x1A", 6);
    dir.Write("icons/a.ico", binary);
    dir.Write("b.bmp", "BM");
    std::vector<rcembed::Entry> entries;
    std::string error;
    ASSERT_TRUE(rcembed::ParseScript("A ICON \"icons/a.ico\"\nM MENU\nBEGIN\nMENUITEM \"x\", 5\n"
                                     "END\nB BITMAP \"b.bmp\"\n",
                                     "game.rc", &entries, &error));
    std::vector<rcembed::Blob> blobs;
    ASSERT_TRUE(rcembed::CollectBlobs(entries, dir.path().string(), "game.rc", &blobs, &error))
        << error;
    ASSERT_EQ(blobs.size(), 3u);
    EXPECT_EQ(std::string(blobs[0].bytes.begin(), blobs[0].bytes.end()), binary);
    EXPECT_EQ(blobs[1].kind, EntryKind::Menu);
    EXPECT_EQ(blobs[1].bytes, rcembed::BuildMenuTemplate(entries[1].items));
    EXPECT_EQ(std::string(blobs[2].bytes.begin(), blobs[2].bytes.end()), "BM");

    // A listed file that is missing or empty names the line that lists it.
    ASSERT_TRUE(rcembed::ParseScript("A ICON \"icons/a.ico\"\n\nC ICON \"icons/c.ico\"\n",
                                     "game.rc", &entries, &error));
    EXPECT_FALSE(rcembed::CollectBlobs(entries, dir.path().string(), "game.rc", &blobs, &error));
    EXPECT_EQ(error.rfind("game.rc:3: cannot read 'icons/c.ico'", 0), 0u) << error;
    dir.Write("icons/c.ico", "");
    EXPECT_FALSE(rcembed::CollectBlobs(entries, dir.path().string(), "game.rc", &blobs, &error));
    EXPECT_EQ(error, "game.rc:3: 'icons/c.ico' is empty");
}

TEST(RcScript, DamagedIconsAndBitmapsStopTheBuild) {
    TempDir dir;
    dir.Write("good.ico", TinyIcon());
    std::string cut = TinyIcon();
    cut.pop_back();
    dir.Write("cut.ico", cut);
    dir.Write("text.bmp", "BM not really a bitmap");
    std::vector<rcembed::Entry> entries;
    std::vector<rcembed::Blob> blobs;
    std::string error;
    const std::string good = "A ICON \"good.ico\"\nM MENU\nBEGIN\nMENUITEM \"x\", 5\nEND\n";
    const std::pair<std::string, std::string> cases[] = {
        {good + "B ICON \"cut.ico\"\n", "game.rc:6: 'cut.ico' is not an icon"},
        {good + "\nB BITMAP \"text.bmp\"\n", "game.rc:7: 'text.bmp' is not a bitmap"},
        {good + "B BITMAP \"good.ico\"\n", "game.rc:6: 'good.ico' is not a bitmap"},
    };
    for (const auto &[script, says] : cases) {
        ASSERT_TRUE(rcembed::ParseScript(script, "game.rc", &entries, &error)) << error;
        ASSERT_TRUE(rcembed::CollectBlobs(entries, dir.path().string(), "game.rc", &blobs, &error));
        EXPECT_FALSE(rcembed::CheckBlobs(entries, blobs, "game.rc", &error)) << script;
        EXPECT_EQ(error.rfind(says, 0), 0u) << error;
    }
    ASSERT_TRUE(rcembed::ParseScript(good, "game.rc", &entries, &error));
    ASSERT_TRUE(rcembed::CollectBlobs(entries, dir.path().string(), "game.rc", &blobs, &error));
    EXPECT_TRUE(rcembed::CheckBlobs(entries, blobs, "game.rc", &error)) << error;
}

#ifdef ZORVAK_RCEMBED_PATH
// The built tool: what the build sees when the script is wrong.
TEST(RcembedTool, FailsWithTheScriptLineAndWritesNothing) {
    TempDir dir;
    dir.Write("game.rc", "A ICON \"a.ico\"\nB ICON \"missing.ico\"\n");
    dir.Write("a.ico", TinyIcon());
    const fs::path out = dir.path() / "out.cpp";
    const std::string command = std::string("'") + ZORVAK_RCEMBED_PATH + "' '" +
                                (dir.path() / "game.rc").string() + "' '" + out.string() + "' 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0);
    EXPECT_NE(output.find("game.rc:2: cannot read 'missing.ico'"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(out));

    dir.Write("missing.ico", TinyIcon());
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(fs::exists(out));
}
#endif

} // namespace
