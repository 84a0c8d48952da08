// The generator as people use it: it turns a resource folder's text sources
// into the files its script lists, the same bytes every time, and refuses
// sources with mistakes, naming the file and line.
#include "tests/art/art_test_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace arttest;
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

    void Write(const std::string &relative, const std::string &text) {
        fs::create_directories((dir / relative).parent_path());
        std::ofstream(dir / relative) << text;
    }
    GenRun Generate() {
        std::string cmd = std::string(ZORVAK_ART_GENERATOR) + " " + dir.string() + " 2>&1";
        FILE *p = popen(cmd.c_str(), "r");
        GenRun run{-1, ""};
        if (!p)
            return run;
        char buf[512];
        while (fgets(buf, sizeof buf, p))
            run.output += buf;
        run.status = pclose(p);
        return run;
    }
    // A 32x32 sprite: a white square on black, with one row replaced.
    static std::string Sprite(const std::string &name, int badRow = -1,
                              const std::string &bad = "") {
        std::string s = "sprite " + name + " 32 32\n";
        for (int y = 0; y < 32; ++y) {
            std::string row(32, '.');
            if (y >= 8 && y < 24)
                row.replace(8, 16, 16, 'W');
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
    Write("art/square.txt", Sprite("IC_SQUARE"));
    Write("art/font.txt", "font tiny 3 3 4 4\nglyph A\n###\n#.#\n###\n");
    Write("art/x.txt", "picture BMP_X 453 302\ntext tiny 2 plain left 10 10 \"AA\"\nend\n");
    GenRun first = Generate();
    ASSERT_EQ(first.status, 0) << first.output;
    std::vector<uint8_t> ico = Slurp((dir / "icons/square.ico").string());
    std::vector<uint8_t> bmp = Slurp((dir / "pics/x.bmp").string());
    EXPECT_EQ(ico.size(), 22u + 744u);
    EXPECT_EQ(bmp.size(), 14u + 18168u);

    Icon icon;
    std::string why;
    ASSERT_TRUE(ReadIcon(ico, &icon, &why)) << why;
    EXPECT_EQ(icon.at(8, 8), 15);   // white, top-left of the square
    EXPECT_EQ(icon.at(7, 8), 0);    // black beside it
    EXPECT_EQ(icon.at(23, 23), 15); // bottom-right: rows are not flipped
    Picture pic;
    ASSERT_TRUE(ReadPicture(bmp, &pic, &why)) << why;
    // "A" at scale 2 from (10, 10): a ring of 6x6 with a 2x2 hole.
    EXPECT_TRUE(pic.at(10, 10));
    EXPECT_TRUE(pic.at(15, 15));
    EXPECT_FALSE(pic.at(12, 12));
    EXPECT_FALSE(pic.at(16, 10)) << "the gap between letters";
    EXPECT_TRUE(pic.at(18, 10)) << "the second letter, one advance on";

    GenRun second = Generate();
    ASSERT_EQ(second.status, 0) << second.output;
    EXPECT_EQ(Slurp((dir / "icons/square.ico").string()), ico);
    EXPECT_EQ(Slurp((dir / "pics/x.bmp").string()), bmp);
}

TEST_F(Generator, RefusesBrokenSourcesNamingTheirPlace) {
    struct Case {
        const char *what;
        std::string rc, art, expected;
    };
    const std::string rc = "IC_SQUARE ICON \"icons/square.ico\"\n";
    const std::vector<Case> cases = {
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
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Write("zorvak.rc", c.rc);
        Write("art/square.txt", c.art);
        GenRun run = Generate();
        EXPECT_NE(run.status, 0);
        EXPECT_NE(run.output.find(c.expected), std::string::npos) << run.output;
        EXPECT_FALSE(fs::exists(dir / "icons")) << "a refused run wrote files";
    }
}

TEST_F(Generator, RefusesTextItsFontCannotDraw) {
    Write("zorvak.rc", "BMP_X BITMAP \"x.bmp\"\n");
    Write("art/font.txt", "font tiny 3 3 4 4\nglyph A\n###\n#.#\n###\n");
    Write("art/x.txt", "picture BMP_X 453 302\n\ntext tiny 1 plain left 0 0 \"AB\"\nend\n");
    GenRun run = Generate();
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("x.txt:3"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("'B'"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(dir / "x.bmp"));
}
