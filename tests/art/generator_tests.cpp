// The generator as people use it: it turns a resource folder's text sources
// into the files its script lists, the same bytes every time, refuses
// sources with mistakes, naming the file and line, and tells committed files
// that are out of date.
#include "tests/support/art_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace support;
namespace fs = std::filesystem;

namespace {

struct GenRun {
    int status;
    std::string output;
};

class Generator : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("zorvak-art-test-" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "art");
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<uint8_t> Slurp(const std::string &relative) {
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(art::ReadFile((dir / relative).string(), &bytes, &error)) << error;
        return bytes;
    }
    void Write(const std::string &relative, const std::string &text) {
        fs::create_directories((dir / relative).parent_path());
        std::ofstream(dir / relative) << text;
    }
    GenRun Generate(const std::string &options = "") {
        std::string cmd =
            std::string(ZORVAK_ART_GENERATOR) + " " + options + " " + dir.string() + " 2>&1";
        FILE *p = popen(cmd.c_str(), "r");
        GenRun run{-1, ""};
        if (!p) {
            return run;
        }
        char buf[512];
        while (fgets(buf, sizeof buf, p)) {
            run.output += buf;
        }
        run.status = pclose(p);
        return run;
    }
    // A 32x32 sprite: a white square on black, with one row replaced.
    static std::string Sprite(const std::string &name, int badRow = -1,
                              const std::string &bad = "") {
        std::string s = "sprite " + name + " 32 32\n";
        for (int y = 0; y < 32; ++y) {
            std::string row(32, '.');
            if (y >= 8 && y < 24) {
                row.replace(8, 16, 16, 'W');
            }
            s += (y == badRow ? bad : row) + "\n";
        }
        return s;
    }
    fs::path dir;
};

} // namespace

TEST_F(Generator, WritesListedIconsAndPicturesTheSameEveryTime) {
    Write("zorvak.rc",
          "// test\nIC_SQUARE ICON \"icons/square.ico\"\nBMP_X BITMAP \"pics/x.bmp\"\n");
    Write("art/square.txt", Sprite("IC_SQUARE", 0, "W" + std::string(31, '.')));
    Write("art/font.txt", "font tiny 3 3 4 4\nglyph A\n###\n#.#\n###\n");
    Write("art/x.txt", "picture BMP_X 453 302\ntext tiny 2 plain left 10 10 \"AA\"\nend\n");
    GenRun first = Generate();
    ASSERT_EQ(first.status, 0) << first.output;
    std::vector<uint8_t> ico = Slurp("icons/square.ico"), bmp = Slurp("pics/x.bmp");
    ASSERT_EQ(ico.size(), 22u + 744u);
    ASSERT_EQ(bmp.size(), 14u + 18168u);
    // Read byte by byte: the marked top-left pixel, the square's corners, and
    // black around them; every pixel opaque.
    EXPECT_EQ((std::vector<int>{IcoIndex(ico, 32, 0, 0), IcoIndex(ico, 32, 0, 31),
                                IcoIndex(ico, 32, 8, 8), IcoIndex(ico, 32, 23, 23),
                                IcoIndex(ico, 32, 7, 8), IcoIndex(ico, 32, 24, 23)}),
              (std::vector<int>{15, 0, 15, 15, 0, 0}));
    for (int k = 0; k < 32 * 32; ++k) {
        ASSERT_EQ(IcoMask(ico, 32, k % 32, k / 32), 0) << k;
    }
    // "A" at scale 2 from (10, 10): a ring of 6x6 with a 2x2 hole, a gap,
    // and the second letter one advance on.
    auto white = [&bmp](int x, int y) { return BmpBit(bmp, 453, 302, x, y) == 1; };
    EXPECT_EQ((std::vector<bool>{white(10, 10), white(15, 15), white(12, 12), white(9, 10),
                                 white(16, 10), white(18, 10), white(10, 9), white(10, 16)}),
              (std::vector<bool>{true, true, false, false, false, true, false, false}));

    GenRun second = Generate();
    ASSERT_EQ(second.status, 0) << second.output;
    EXPECT_EQ(Slurp("icons/square.ico"), ico);
    EXPECT_EQ(Slurp("pics/x.bmp"), bmp);
}

TEST_F(Generator, RefusesBrokenSourcesNamingTheirPlace) {
    const std::string rc = "IC_SQUARE ICON \"icons/square.ico\"\n";
    const std::string font = "font tiny 3 3 4 4\nglyph A\n###\n#.#\n###\n";
    const struct {
        const char *what;
        std::string rc, art, expected;
    } cases[] = {
        {"short grid row", rc, Sprite("IC_SQUARE", 5, std::string(31, '.')), "square.txt:7"},
        {"unknown colour", rc, Sprite("IC_SQUARE", 3, std::string(31, '.') + "Q"), "square.txt:5"},
        {"transparency in a loaded sprite", rc, Sprite("IC_SQUARE", 3, std::string(31, '.') + "-"),
         "square.txt:5"},
        {"icon without a source", rc + "IC_OTHER ICON \"icons/other.ico\"\n", Sprite("IC_SQUARE"),
         "IC_OTHER"},
        {"source not in the script", rc, Sprite("IC_SQUARE") + Sprite("IC_SPARE"), "IC_SPARE"},
        {"menu item without a comma",
         rc + "MENU_1 MENU\nBEGIN\n    MENUITEM \"&New game\" 1000\nEND\n", Sprite("IC_SQUARE"),
         "zorvak.rc:4"},
        {"text its font cannot draw", "BMP_X BITMAP \"icons/x.bmp\"\n",
         font + "picture BMP_X 453 302\ntext tiny 1 plain left 0 0 \"AB\"\nend\n",
         "square.txt:7: font tiny has no glyph 'B'"},
        {"picture of a negative size", "BMP_X BITMAP \"icons/x.bmp\"\n",
         "picture BMP_X -453 302\nend\n", "square.txt:1: bad picture size"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Write("zorvak.rc", c.rc);
        Write("art/square.txt", c.art);
        GenRun run = Generate();
        EXPECT_NE(run.status, 0);
        EXPECT_NE(run.output.find(c.expected), std::string::npos) << run.output;
        EXPECT_FALSE(fs::exists(dir / "icons")) << "a refused run wrote files";
    }
}

TEST_F(Generator, CheckNamesEachFileThatDiffersIsMissingOrIsNotMade) {
    Write("zorvak.rc", "IC_SQUARE ICON \"icons/square.ico\"\nBMP_X BITMAP \"pics/x.bmp\"\n");
    Write("art/square.txt", Sprite("IC_SQUARE") + "picture BMP_X 453 302\nbox 0 0 9 9\nend\n");
    ASSERT_EQ(Generate().status, 0);
    GenRun clean = Generate("--check");
    EXPECT_EQ(clean.status, 0) << clean.output;

    std::vector<uint8_t> ico = Slurp("icons/square.ico");
    ico[200] ^= 1;
    std::string error;
    ASSERT_TRUE(art::WriteFile((dir / "icons/square.ico").string(), ico, &error)) << error;
    fs::remove(dir / "pics/x.bmp");
    Write("icons/old/stale.ico", "");
    GenRun stale = Generate("--check");
    EXPECT_NE(stale.status, 0);
    for (const std::string &says :
         {std::string("differs from the generator's output: icons/square.ico"),
          "missing from " + dir.string() + ": pics/x.bmp",
          std::string("not made by the generator (stale?): icons/old/stale.ico")}) {
        EXPECT_NE(stale.output.find(says), std::string::npos) << says << "\n" << stale.output;
    }
    EXPECT_EQ(Slurp("icons/square.ico"), ico) << "--check wrote files";
}
