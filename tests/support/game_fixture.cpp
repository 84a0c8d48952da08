#include "tests/support/game_fixture.h"

#include "rules/new_game.h"
#include "shell/process_start.h"
#include "tests/support/game_window.h"
#include "tests/support/resource_files.h"

#include <algorithm>
#include <sstream>
#include <tuple>

bool operator==(const GameObject &a, const GameObject &b) {
    auto fields = [](const GameObject &o) {
        return std::tie(o.kind, o.energy, o.x, o.y, o.dy, o.dx, o.delay, o.frame, o.frameStep,
                        o.cooldown);
    };
    return a.kind == KIND_FREE ? b.kind == KIND_FREE : fields(a) == fields(b);
}

void PrintTo(const GameObject &o, std::ostream *os) {
    if (o.kind == KIND_FREE) {
        *os << "{free}";
        return;
    }
    *os << "{kind " << int(o.kind) << ", energy " << o.energy << ", x " << o.x << ", y " << o.y
        << ", dy " << int(o.dy) << ", dx " << int(o.dx) << ", delay " << int(o.delay) << ", frame "
        << int(o.frame) << ", frameStep " << int(o.frameStep) << ", cooldown " << o.cooldown << "}";
}

std::string Differences(const GameObject &actual, const GameObject &expected) {
    std::ostringstream out;
    auto field = [&out](const char *name, long a, long e) {
        if (a != e) {
            out << " " << name << " " << a << " (expected " << e << ")";
        }
    };
    field("kind", actual.kind, expected.kind);
    field("energy", actual.energy, expected.energy);
    field("x", actual.x, expected.x);
    field("y", actual.y, expected.y);
    field("dy", actual.dy, expected.dy);
    field("dx", actual.dx, expected.dx);
    field("delay", actual.delay, expected.delay);
    field("frame", actual.frame, expected.frame);
    field("frameStep", actual.frameStep, expected.frameStep);
    field("cooldown", long(actual.cooldown), long(expected.cooldown));
    return out.str();
}

namespace support {
namespace {

int Size(int s) {
    return s >= IC_BASE1 && s <= IC_BASE4 ? 64 : 32;
}

// Palette index of pixel (x, y) of test sprite s; (outer, inner) differs per sprite.
int Pixel(int s, int x, int y) {
    int n = Size(s);
    if (s == IC_BLANC || x == 0 || y == 0 || x == n - 1 || y == n - 1) {
        return 0;
    }
    bool inner = x >= n * 3 / 8 && x < n * 5 / 8 && y >= n * 3 / 8 && y < n * 5 / 8;
    return inner ? 1 + s / 15 : 1 + s % 15;
}

std::string Padded(long v, int digits) {
    std::string d = std::to_string(v < 0 ? -v : v);
    return (v < 0 ? "-" : "") + std::string(digits > int(d.size()) ? digits - d.size() : 0, '0') +
           d;
}

} // namespace

HINSTANCE TestSprites() {
    static HINSTANCE module = [] {
        std::vector<TestResource> resources;
        for (int s = 0; s < SPRITE_COUNT; s++) {
            const PixelFn pixel = [s](int x, int y) { return uint32_t(Pixel(s, x, y)); };
            resources.push_back({zplat::RES_ICON, spriteNames[s],
                                 MakeIcon(Size(s), pixel, [](int, int) { return false; })});
        }
        resources.push_back({zplat::RES_BITMAP, "BMP_TEST", MakeBitmap(40, 20, 1, [](int x, int y) {
                                 return uint32_t(TestBitmapPixelWhite(x, y));
                             })});
        return RegisterTestModule(resources);
    }();
    return module;
}

bool TestBitmapPixelWhite(int x, int y) {
    return x == 0 || (x * 7 + y * 3) % 5 == 0;
}
uint32_t SpriteColour(int s) {
    return PaletteColor(4, uint32_t(Pixel(s, 4, 4)));
}

int SpriteAt(const headless::Image &img, int x, int y) {
    auto index = [&img](int px, int py) {
        for (int k = 1; k < 16; k++) {
            if (px < img.width && py < img.height &&
                img.At(px, py) == PaletteColor(4, uint32_t(k))) {
                return k;
            }
        }
        return -99;
    };
    if (x < 0 || y < 0) {
        return -1;
    }
    const int outer = index(x + 4, y + 4);
    // Decode as a 32 x 32 sprite, then as a 64 x 64 one, and check the whole cell.
    for (int n : {32, 64}) {
        int s = (index(x + n / 2, y + n / 2) - 1) * 15 + outer - 1;
        if (s < 0 || s >= SPRITE_COUNT || Size(s) != n || x + n > img.width || y + n > img.height) {
            continue;
        }
        bool match = true;
        for (int py = 0; py < n && match; py++) {
            for (int px = 0; px < n && match; px++) {
                match = img.At(x + px, y + py) == PaletteColor(4, uint32_t(Pixel(s, px, py)));
            }
        }
        if (match) {
            return s;
        }
    }
    return -1;
}

bool CellIsBlack(const headless::Image &img, int x, int y) {
    for (int py = y; py < y + 32 && py < img.height; py++) {
        for (int px = x; px < x + 32 && px < img.width; px++) {
            if (img.At(px, py) != 0) {
                return false;
            }
        }
    }
    return true;
}

headless::Image Client() {
    return headless::ClientImage(mainWindow);
}

std::string StatusLine(int32_t lv, int32_t lev, int32_t sc) {
    return "Lives: " + Padded(lv, 2) + " - Level " + Padded(lev, 2) + " - Score: " + Padded(sc, 5);
}

uint32_t StateGiving(const std::vector<Draw> &draws) {
    for (uint64_t state = 0; state <= UINT32_MAX; state++) {
        Generator g{uint32_t(state)};
        if (std::all_of(draws.begin(), draws.end(), [&g](const Draw &d) {
                const int32_t v = g.Next(d.n);
                return v >= d.lo && v <= d.hi;
            })) {
            return uint32_t(state);
        }
    }
    ADD_FAILURE() << "no generator state gives these draws";
    return 0;
}

GameObject Obj(int kind, int32_t energy, int32_t x, int32_t y, int dy, int dx, int delay, int frame,
               int frameStep, uint32_t cooldown) {
    return GameObject{
        int8_t(kind),      energy,  x, y, int8_t(dy), int8_t(dx), uint8_t(delay), int8_t(frame),
        int8_t(frameStep), cooldown};
}

GameObject &Put(int slot, int kind, int32_t x, int32_t y, int32_t energy) {
    return objectTable[slot] = Obj(kind, energy, x, y);
}

void FillTable() {
    for (int i = 1; i < OBJECT_SLOTS; i++) {
        if (objectTable[i].kind == KIND_FREE) {
            Put(i, KIND_ALIEN, 100000, 100000).delay = 200;
        }
    }
}

int CountKind(int kind) {
    int n = 0;
    for (int i = 1; i < OBJECT_SLOTS; i++) {
        n += objectTable[i].kind == kind;
    }
    return n;
}

void SetUpGame(HINSTANCE module) {
    headless::Reset();
    RestoreProcessStart();
    SeedRandom(1);
    mainWindow = MakeClientWindow(module, "GameTestWindow", CLIENT_W, CLIENT_H);
    ShowWindow(mainWindow, SW_SHOW);
    appInstance = module;
    drawDC = GetDC(mainWindow);
    RECT rc = {0, 0, 0, 0};
    GetClientRect(mainWindow, &rc);
    clientWidth = rc.right;
    clientHeight = rc.bottom;
    LoadSprites();
}

void TearDownGame() {
    ReleaseDC(mainWindow, drawDC);
    drawDC = NULL;
    FreeSprites();
}

void NewGame() {
    SendMessageA(mainWindow, WM_ERASEBKGND, reinterpret_cast<WPARAM>(drawDC), 0);
    EraseObjects();
    DrawPlayfield(drawDC);
    ResetTableForNewGame();
    StartNewGame();
}

} // namespace support
