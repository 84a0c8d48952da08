#include "support.h"

#include "platform/module.h"
#include "rules/new_game.h"
#include "rules/score.h"
#include "tests/game/game_driver.h"

#include <cstring>

namespace gt {
namespace {

const uint32_t PALETTE[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                              0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                              0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

int Size(int s) {
    return s >= IC_BASE1 && s <= IC_BASE4 ? 64 : 32;
}

// Palette index of pixel (x, y) of test sprite s; (outer, inner) differs per sprite.
int Pixel(int s, int x, int y) {
    int n = Size(s);
    if (s == IC_BLANC || x == 0 || y == 0 || x == n - 1 || y == n - 1)
        return 0;
    bool inner = x >= n * 3 / 8 && x < n * 5 / 8 && y >= n * 3 / 8 && y < n * 5 / 8;
    return inner ? 1 + s / 15 : 1 + s % 15;
}

// Appends little-endian fields of the given size in bytes.
void Put(std::vector<unsigned char> &b, uint32_t bytes, const std::vector<uint32_t> &values) {
    for (uint32_t v : values)
        for (uint32_t k = 0; k < bytes; k++)
            b.push_back((v >> (8 * k)) & 0xFF);
}

// A .ico file: one 16-colour image with an all-opaque mask.
std::vector<unsigned char> Icon(int s) {
    const uint32_t n = Size(s), andRow = n / 8 < 4 ? 4 : n / 8, bits = n / 2 * n + andRow * n;
    std::vector<unsigned char> b;
    Put(b, 2, {0, 1, 1});
    Put(b, 1, {n, n, 16, 0});
    Put(b, 2, {1, 4});
    Put(b, 4, {40 + 64 + bits, 22, 40, n, 2 * n});
    Put(b, 2, {1, 4});
    Put(b, 4, {0, bits, 0, 0, 16, 0});
    Put(b, 4, {PALETTE, PALETTE + 16}); // 0x00RRGGBB is the file's B, G, R, 0
    for (int y = n - 1; y >= 0; y--)
        for (int x = 0; x < int(n); x += 2)
            b.push_back(Pixel(s, x, y) << 4 | Pixel(s, x + 1, y));
    b.insert(b.end(), size_t(andRow) * n, 0);
    return b;
}

// A 40 x 20 1-bit .bmp.
std::vector<unsigned char> Bitmap() {
    std::vector<unsigned char> b = {'B', 'M'};
    Put(b, 4, {14 + 48 + 160, 0, 14 + 48, 40, 40, 20});
    Put(b, 2, {1, 1});
    Put(b, 4, {0, 160, 0, 0, 2, 0, 0, 0xFFFFFF});
    for (int y = 19; y >= 0; y--) {
        unsigned char row[8] = {};
        for (int x = 0; x < 40; x++)
            row[x / 8] |= TestBitmapPixelWhite(x, y) ? 0x80 >> (x % 8) : 0;
        b.insert(b.end(), row, row + 8);
    }
    return b;
}

HINSTANCE TestModule() {
    static std::vector<std::vector<unsigned char>> blobs;
    static std::vector<zplat::Resource> table;
    static HINSTANCE module = nullptr;
    if (module == nullptr) {
        for (int s = 0; s < SPRITE_COUNT; s++)
            blobs.push_back(Icon(s));
        blobs.push_back(Bitmap());
        for (int s = 0; s < SPRITE_COUNT; s++)
            table.push_back({zplat::RES_ICON, spriteNames[s], blobs[s].data(), blobs[s].size()});
        table.push_back({zplat::RES_BITMAP, "BMP_TEST", blobs.back().data(), blobs.back().size()});
        module = zplat::RegisterModule(table.data(), table.size());
    }
    return module;
}

std::string Padded(long v, int digits) {
    std::string d = std::to_string(v < 0 ? -v : v);
    return (v < 0 ? "-" : "") + std::string(digits > int(d.size()) ? digits - d.size() : 0, '0') +
           d;
}

} // namespace

bool TestBitmapPixelWhite(int x, int y) {
    return x == 0 || (x * 7 + y * 3) % 5 == 0;
}
uint32_t SpriteColour(int s) {
    return PALETTE[Pixel(s, 4, 4)];
}

int SpriteAt(const headless::Image &img, int x, int y) {
    auto index = [&img](int px, int py) {
        for (int k = 1; k < 16; k++)
            if (px < img.width && py < img.height && img.At(px, py) == PALETTE[k])
                return k;
        return -99;
    };
    if (x < 0 || y < 0)
        return -1;
    const int outer = index(x + 4, y + 4);
    // Decode as a 32 x 32 sprite, then as a 64 x 64 one, and check the whole cell.
    for (int n : {32, 64}) {
        int s = (index(x + n / 2, y + n / 2) - 1) * 15 + outer - 1;
        if (s < 0 || s >= SPRITE_COUNT || Size(s) != n || x + n > img.width || y + n > img.height)
            continue;
        bool match = true;
        for (int py = 0; py < n && match; py++)
            for (int px = 0; px < n && match; px++)
                match = img.At(x + px, y + py) == PALETTE[Pixel(s, px, py)];
        if (match)
            return s;
    }
    return -1;
}

bool CellIsBlack(const headless::Image &img, int x, int y) {
    for (int py = y; py < y + 32 && py < img.height; py++)
        for (int px = x; px < x + 32 && px < img.width; px++)
            if (img.At(px, py) != 0)
                return false;
    return true;
}

headless::Image Client() {
    return headless::ClientImage(mainWindow);
}

std::vector<ScoreEvent> scoreLog;
UpdateWatch updates;
std::vector<HICON> destroyedIcons;

std::string StatusLine(int32_t lv, int32_t lev, int32_t sc) {
    return "Lives: " + Padded(lv, 2) + " - Level " + Padded(lev, 2) + " - Score: " + Padded(sc, 5);
}

GameObject &Put(int slot, int kind, int32_t x, int32_t y, int32_t energy) {
    GameObject &o = objectTable[slot];
    o = GameObject{int8_t(kind), energy, x, y, 0, 0, 0, 1, 1, 0};
    return o;
}

void FillTable() {
    for (int i = 1; i < OBJECT_SLOTS; i++)
        if (objectTable[i].kind == KIND_FREE)
            Put(i, KIND_ALIEN, 100000, 100000).delay = 200;
}

int CountKind(int kind) {
    int n = 0;
    for (int i = 1; i < OBJECT_SLOTS; i++)
        n += objectTable[i].kind == kind;
    return n;
}

void SetUpGame() {
    const int width = CLIENT_W, height = CLIENT_H;
    headless::Reset();
    HINSTANCE module = TestModule();
    HWND w = driver::MakeClientWindow(module, "GameTestWindow", width, height);
    RECT rc = {0, 0, 0, 0};
    GetClientRect(w, &rc);
    EXPECT_TRUE(rc.right == width && rc.bottom == height);
    ShowWindow(w, SW_SHOW);
    mainWindow = w, appInstance = module, drawDC = GetDC(w);
    clientWidth = rc.right, clientHeight = rc.bottom;
    LoadSprites();
    std::memset(objectTable, 0, sizeof objectTable);
    score = lives = gameOver = level = 0;
    nextBonusScore = 10000;
    enemyCount = objectCount = fireRequested = 0;
    SeedRandom(1);
    scoreLog.clear();
    updates = UpdateWatch();
}

void TearDownGame() {
    ReleaseDC(mainWindow, drawDC);
    drawDC = NULL;
    FreeSprites();
}

void NewGame() {
    EraseObjects();
    ResetTableForNewGame();
    StartNewGame();
}

} // namespace gt

// The linker sends every call of AddScore and UpdateObject through these.
extern "C" void __real__Z8AddScoreii(int32_t points, int32_t lifeChange);
extern "C" void __wrap__Z8AddScoreii(int32_t points, int32_t lifeChange) {
    gt::ScoreEvent e{points, lifeChange, score, lives, nextBonusScore, 0, 0, 0, 0, ""};
    __real__Z8AddScoreii(points, lifeChange);
    e.scoreAfter = score;
    e.livesAfter = lives;
    e.bonusAfter = nextBonusScore;
    e.level = level;
    e.title = headless::Title(mainWindow);
    gt::scoreLog.push_back(e);
}

extern "C" void __real__Z12UpdateObjecti(int32_t i);
extern "C" void __wrap__Z12UpdateObjecti(int32_t i) {
    gt::UpdateWatch &w = gt::updates;
    w.freeSlotCalls += i != 0 && objectTable[i].kind == KIND_FREE;
    w.dormantCalls += i != 0 && objectTable[i].delay != 0;
    __real__Z12UpdateObjecti(i);
}

extern "C" BOOL __real_DestroyIcon(HICON icon);
extern "C" BOOL __wrap_DestroyIcon(HICON icon) {
    gt::destroyedIcons.push_back(icon);
    return __real_DestroyIcon(icon);
}
