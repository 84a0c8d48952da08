// zorvak-contact-sheet: draws every resource that resources/zorvak.rc lists
// onto one PNG, so that the whole set can be judged at a glance.
//
//   zorvak-contact-sheet [RESOURCES_DIR] OUT.png
//
// RESOURCES_DIR defaults to the source tree's resources/.
// Sprites are enlarged four times and shown in the order the game plays
// their frames; the three pictures are shown at 1:1, once on their own and
// once inside a mock playfield; a strip of walls, ground and corners is
// shown at 2x so that the seams can be judged.  Labels use the game's own
// small font from resources/art.
#include "tools/art/art.h"

#include <cstdio>
#include <map>
#include <png.h>
#include <string>
#include <vector>

namespace {

struct Canvas {
    int width, height;
    std::vector<uint32_t> rgb;
    Canvas(int w, int h, uint32_t fill) : width(w), height(h), rgb(size_t(w) * size_t(h), fill) {}
    void set(int x, int y, uint32_t c) {
        if (x >= 0 && y >= 0 && x < width && y < height) {
            rgb[size_t(y) * size_t(width) + size_t(x)] = c;
        }
    }
    void fill(int x, int y, int w, int h, uint32_t c) {
        for (int yy = y; yy < y + h; ++yy) {
            for (int xx = x; xx < x + w; ++xx) {
                set(xx, yy, c);
            }
        }
    }
};

constexpr uint32_t kBackground = 0x303848;
constexpr uint32_t kLabel = 0xE8E8E8;
constexpr uint32_t kNote = 0x98A8C0;

std::map<std::string, art::Image> icons, pictures;
const art::Font *labelFont = nullptr;

// The first thing the sheet cannot show; with one, nothing is written.
std::string problem;
void Problem(const std::string &what) {
    if (problem.empty()) {
        problem = what;
    }
}

// Draws an icon at a scale; transparent pixels show a checkerboard.
void DrawIcon(Canvas &c, const art::Image &img, int x, int y, int scale) {
    for (int yy = 0; yy < img.height; ++yy) {
        for (int xx = 0; xx < img.width; ++xx) {
            uint8_t v = img.at(xx, yy);
            for (int a = 0; a < scale; ++a) {
                for (int b = 0; b < scale; ++b) {
                    int px = x + xx * scale + b, py = y + yy * scale + a;
                    uint32_t col = v == art::kTransparent
                                       ? (((px / 8) + (py / 8)) % 2 ? 0xB0B0B0 : 0xE0E0E0)
                                       : art::kPalette[v];
                    c.set(px, py, col);
                }
            }
        }
    }
}

void DrawPicture(Canvas &c, const art::Image &img, int x, int y) {
    for (int yy = 0; yy < img.height; ++yy) {
        for (int xx = 0; xx < img.width; ++xx) {
            c.set(x + xx, y + yy, img.at(xx, yy) ? 0xFFFFFF : 0x000000);
        }
    }
}

void Label(Canvas &c, int x, int y, const std::string &text, uint32_t colour, int scale = 2) {
    art::Image mask(art::TextWidth(*labelFont, scale, "plain", text) + 8,
                    labelFont->height * scale + 8, 0);
    std::string why;
    if (!art::DrawText(mask, *labelFont, scale, "plain", 4, 4, text, 1, &why)) {
        Problem("label \"" + text + "\": " + why);
    }
    for (int yy = 0; yy < mask.height; ++yy) {
        for (int xx = 0; xx < mask.width; ++xx) {
            if (mask.at(xx, yy)) {
                c.set(x - 4 + xx, y - 4 + yy, colour);
            }
        }
    }
}

const art::Image &Icon(const std::string &name) {
    static const art::Image missing;
    auto it = icons.find(name);
    if (it == icons.end()) {
        Problem("zorvak.rc has no icon " + name);
        return missing;
    }
    return it->second;
}

struct Row {
    std::string title;
    std::string note;
    std::vector<std::string> frames;
};

bool WritePng(const Canvas &c, const std::string &path, std::string *error) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        *error = path + ": cannot write";
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        *error = path + ": PNG error";
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(c.width), png_uint_32(c.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    std::vector<png_byte> row(size_t(c.width) * 3);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            uint32_t v = c.rgb[size_t(y) * size_t(c.width) + size_t(x)];
            row[size_t(x) * 3] = png_byte(v >> 16);
            row[size_t(x) * 3 + 1] = png_byte(v >> 8);
            row[size_t(x) * 3 + 2] = png_byte(v);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return true;
}

// A fixed pseudo-random sequence so the sheet is the same on every run.
uint32_t sheetSeed = 20261206u;
int SheetRandom(int n) {
    sheetSeed = sheetSeed * 1103515245u + 12345u;
    return int((sheetSeed >> 16) % uint32_t(n));
}

// Walls, ground in random order and corners, as DrawPlayfield lays them out.
void DrawFrame(Canvas &c, int x0, int y0, int w, int h, int scale) {
    for (int y = 0; y < h - 32; y += 32) {
        DrawIcon(c, Icon("IC_WALL4"), x0, y0 + y * scale, scale);
        DrawIcon(c, Icon("IC_WALL3"), x0 + (w - 32) * scale, y0 + y * scale, scale);
    }
    for (int x = 0; x < w - 32; x += 32) {
        DrawIcon(c, Icon("IC_LAND" + std::to_string(1 + SheetRandom(4))), x0 + x * scale,
                 y0 + (h - 32) * scale, scale);
    }
    DrawIcon(c, Icon("IC_WALL1"), x0, y0 + (h - 32) * scale, scale);
    DrawIcon(c, Icon("IC_WALL2"), x0 + (w - 32) * scale, y0 + (h - 32) * scale, scale);
}

int Fail(const std::string &message) {
    std::fprintf(stderr, "zorvak-contact-sheet: %s\n", message.c_str());
    return 1;
}

// Reads every icon and bitmap that the script lists, as the game loads them.
bool LoadImages(const std::string &res, const std::vector<rcscript::Entry> &script,
                std::string *error) {
    for (const rcscript::Entry &e : script) {
        if (e.kind == rcscript::EntryKind::Menu) {
            continue;
        }
        const bool icon = e.kind == rcscript::EntryKind::Icon;
        art::Image img;
        std::vector<uint8_t> bytes;
        if (!art::ReadFile(res + "/" + e.path, &bytes, error)) {
            return false;
        }
        if (!(icon ? art::ImageFromIco(bytes, &img) : art::ImageFromBmp1(bytes, &img))) {
            *error = e.path + (icon ? ": not a readable icon" : ": not a readable 1-bit bitmap");
            return false;
        }
        (icon ? icons : pictures)[e.name] = img;
    }
    return true;
}

// The sprites' rows, each frame in the order the game plays them.
const std::vector<Row> &Rows() {
    static const std::vector<Row> rows = {
        {"Ship",
         "bounce 1 2 3 3 2 1",
         {"IC_SHIP1", "IC_SHIP2", "IC_SHIP3", "IC_SHIP3", "IC_SHIP2", "IC_SHIP1"}},
        {"Alien",
         "bounce 1..5..1",
         {"IC_ALIEN1", "IC_ALIEN2", "IC_ALIEN3", "IC_ALIEN4", "IC_ALIEN5", "IC_ALIEN5", "IC_ALIEN4",
          "IC_ALIEN3", "IC_ALIEN2", "IC_ALIEN1"}},
        {"Kamikaze", "toggle", {"IC_KAMIK1", "IC_KAMIK2", "IC_KAMIK1", "IC_KAMIK2"}},
        {"Crazy", "toggle", {"IC_CRAZY1", "IC_CRAZY2", "IC_CRAZY1", "IC_CRAZY2"}},
        {"Rocket", "toggle, falls", {"IC_ROCKET1", "IC_ROCKET2", "IC_ROCKET1", "IC_ROCKET2"}},
        {"Missile", "toggle, rises", {"IC_MISSILE1", "IC_MISSILE2", "IC_MISSILE1", "IC_MISSILE2"}},
        {"Fireball", "toggle", {"IC_EXPLOSE1", "IC_EXPLOSE2", "IC_EXPLOSE1", "IC_EXPLOSE2"}},
        {"Explosion",
         "1 2 3 4 4 3 2 1 blank",
         {"IC_EXPLOSE1", "IC_EXPLOSE2", "IC_EXPLOSE3", "IC_EXPLOSE4", "IC_EXPLOSE4", "IC_EXPLOSE3",
          "IC_EXPLOSE2", "IC_EXPLOSE1", "IC_BLANC"}},
        {"Frame",
         "ground 1-4, left wall, right wall, corners",
         {"IC_LAND1", "IC_LAND2", "IC_LAND3", "IC_LAND4", "IC_WALL4", "IC_WALL3", "IC_WALL1",
          "IC_WALL2"}},
        {"Carried",
         "ICON_1..7, IC_ALIEN (checks = transparent)",
         {"ICON_1", "ICON_2", "ICON_3", "ICON_4", "ICON_5", "ICON_6", "ICON_7", "IC_ALIEN"}},
        {"Base",
         "64x64, bounce 1 2 3 4 4 3 2 1",
         {"IC_BASE1", "IC_BASE2", "IC_BASE3", "IC_BASE4", "IC_BASE4", "IC_BASE3", "IC_BASE2",
          "IC_BASE1"}},
    };
    return rows;
}

constexpr int kScale = 4, kGap = 8, kLeft = 24, kLabelH = 30;

// Where each part of the sheet starts, under its label, and the sheet's size.
struct Layout {
    int width = 0, height = 0;
    int pictureY = 0, stripY = 0, mockY = 0;
};

Layout Measure(const std::vector<Row> &rows) {
    Layout l;
    l.height = 16;
    for (const Row &r : rows) {
        int x = kLeft, tall = 0;
        for (const std::string &n : r.frames) {
            x += Icon(n).width * kScale + kGap;
            tall = std::max(tall, Icon(n).height * kScale);
        }
        l.width = std::max(l.width, x + kLeft);
        l.height += kLabelH + tall + 20;
    }
    l.pictureY = l.height + kLabelH;
    l.height = l.pictureY + 302 + 24;
    l.stripY = l.height + kLabelH;
    l.height = l.stripY + 4 * 32 * 2 + 24;
    l.mockY = l.height + kLabelH;
    l.height = l.mockY + 330 + 24;
    l.width = std::max(l.width, kLeft + 3 * (453 + 24));
    return l;
}

void DrawRows(Canvas &c, const std::vector<Row> &rows) {
    int y = 16;
    for (const Row &r : rows) {
        Label(c, kLeft, y, r.title, kLabel);
        Label(c, kLeft + art::TextWidth(*labelFont, 2, "plain", r.title) + 24, y, r.note, kNote);
        y += kLabelH;
        int x = kLeft, tall = 0;
        for (const std::string &n : r.frames) {
            const art::Image &img = Icon(n);
            DrawIcon(c, img, x, y, kScale);
            x += img.width * kScale + kGap;
            tall = std::max(tall, img.height * kScale);
        }
        y += tall + 20;
    }
}

void DrawPictures(Canvas &c, int pictureY) {
    Label(c, kLeft, pictureY - kLabelH, "BMP_INTRO, BMP_GAMEOVER, BMP_ABOUT at 1:1", kLabel);
    int x = kLeft;
    for (const char *n : {"BMP_INTRO", "BMP_GAMEOVER", "BMP_ABOUT"}) {
        auto p = pictures.find(n);
        if (p == pictures.end()) {
            Problem(std::string("zorvak.rc has no bitmap ") + n);
            continue;
        }
        DrawPicture(c, p->second, x, pictureY);
        x += p->second.width + 24;
    }
}

void DrawStrip(Canvas &c, int stripY) {
    Label(c, kLeft, stripY - kLabelH, "Playfield strip at 2x: walls, random ground, corners",
          kLabel);
    c.fill(kLeft, stripY, 16 * 32 * 2, 4 * 32 * 2, 0);
    DrawFrame(c, kLeft, stripY, 16 * 32, 4 * 32, 2);
}

// A moment of play: the ship, a wave and shots in flight.
void DrawPlay(Canvas &c, int x, int y) {
    c.fill(x, y, 511, 330, 0);
    DrawFrame(c, x, y, 511, 330, 1);
    struct Placed {
        const char *name;
        int px, py;
    };
    for (const Placed &p : std::vector<Placed>{{"IC_ALIEN1", 96, 40},
                                               {"IC_ALIEN3", 160, 40},
                                               {"IC_ALIEN5", 224, 40},
                                               {"IC_ALIEN2", 288, 40},
                                               {"IC_ALIEN4", 352, 40},
                                               {"IC_CRAZY1", 200, 150},
                                               {"IC_KAMIK1", 400, 200},
                                               {"IC_ROCKET1", 300, 120},
                                               {"IC_EXPLOSE2", 120, 170},
                                               {"IC_EXPLOSE4", 352, 72},
                                               {"IC_MISSILE1", 239, 200},
                                               {"IC_SHIP2", 239, 250}}) {
        DrawIcon(c, Icon(p.name), x + p.px, y + p.py, 1);
    }
}

// The main window's client area: the two pictures in their frame, then play.
void DrawMockups(Canvas &c, int mockY) {
    Label(c, kLeft, mockY - kLabelH, "Main window client area 511x330 at 1:1", kLabel);
    int x = kLeft;
    for (const char *n : {"BMP_INTRO", "BMP_GAMEOVER"}) {
        c.fill(x, mockY, 511, 330, 0);
        DrawPicture(c, pictures[n], x + 32, mockY);
        DrawFrame(c, x, mockY, 511, 330, 1);
        x += 511 + 24;
    }
    DrawPlay(c, x, mockY);
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s [RESOURCES_DIR] OUT.png\n", argv[0]);
        return 2;
    }
    const std::string res = argc == 3 ? argv[1] : ZORVAK_SOURCE_RESOURCES;
    const char *outPath = argv[argc - 1];
    std::vector<rcscript::Entry> script;
    art::ArtSet set;
    std::string error;
    if (!rcscript::ReadScript(res + "/zorvak.rc", &script, &error) ||
        !art::LoadArt(res + "/art", &set, &error)) {
        return Fail(error);
    }
    auto f = set.fonts.find("small");
    if (f == set.fonts.end()) {
        return Fail("resources/art has no font 'small'");
    }
    labelFont = &f->second;
    if (!LoadImages(res, script, &error)) {
        return Fail(error);
    }
    const Layout layout = Measure(Rows());
    Canvas c(layout.width, layout.height, kBackground);
    DrawRows(c, Rows());
    DrawPictures(c, layout.pictureY);
    DrawStrip(c, layout.stripY);
    DrawMockups(c, layout.mockY);
    if (!problem.empty()) {
        return Fail(problem);
    }
    if (!WritePng(c, outPath, &error)) {
        return Fail(error);
    }
    std::printf("zorvak-contact-sheet: %dx%d written to %s\n", layout.width, layout.height,
                outPath);
    return 0;
}
