// The game under test: a headless window whose client area is 511 x 330, a
// module of test sprites that can be told apart on screen, and objects put
// into the table by hand.
#ifndef ZORVAK_TESTS_SUPPORT_GAME_FIXTURE_H
#define ZORVAK_TESTS_SUPPORT_GAME_FIXTURE_H

#include "platform/headless/headless.h"
#include "presentation/playfield.h"
#include "presentation/sprites.h"
#include "presentation/window_services.h"
#include "tests/support/recorders.h"
#include "world/game_state.h"
#include "world/init_object.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

// Two objects are the same when both slots are free or every field matches;
// a failed comparison prints every field.
bool operator==(const GameObject &a, const GameObject &b);
void PrintTo(const GameObject &o, std::ostream *os);
// Every field in which actual differs from expected, named, for failure
// messages: " y -2 (expected -6)"; empty when all fields are the same.
std::string Differences(const GameObject &actual, const GameObject &expected);

namespace support {

const int CLIENT_W = 511, CLIENT_H = 330;
// The ship's start: centred, its box 80 pixels above the bottom.
const int START_X = CLIENT_W / 2 - 16, START_Y = CLIENT_H - 80;

// The module of test sprites: each a flat colour with an inner square of a
// second colour and a black border, IC_BLANC black; and a 40 x 20 1-bit
// "BMP_TEST" whose white pixels TestBitmapPixelWhite tells.
HINSTANCE TestSprites();
bool TestBitmapPixelWhite(int x, int y);

// Fresh headless platform and process values; a window whose client area is
// 511 x 330 as mainWindow, drawDC held on it, the sprites of `module` loaded
// from appInstance, and the generator at state 1.
void SetUpGame(HINSTANCE module = TestSprites());
void TearDownGame();
// New game as the main window runs it, with drawDC held throughout.
void NewGame();

headless::Image Client();
// The test sprite whose whole cell starts at (x, y), or -1.
int SpriteAt(const headless::Image &image, int x, int y);
bool CellIsBlack(const headless::Image &image, int x, int y);
uint32_t SpriteColour(int sprite); // its outer colour, 0x00RRGGBB

// An object's fields, in the order of the record.
GameObject Obj(int kind, int32_t energy, int32_t x, int32_t y, int dy = 0, int dx = 0,
               int delay = 0, int frame = 1, int frameStep = 1, uint32_t cooldown = 0);
// An active object with plain fields (no motion, frame 1, step 1).
GameObject &Put(int slot, int kind, int32_t x, int32_t y, int32_t energy = 5000);
// Occupies every free slot from 1 to 39 with a far-away dormant alien.
void FillTable();
int CountKind(int kind); // in slots 1 to 39

// A copy of the game's generator, kept apart from it, to work out what the
// game's draws give: Next(n) is what Random(n) returns from the same state.
struct Generator {
    uint32_t state;
    int32_t Next(uint32_t n) {
        state = state * 214013u + 2531011u;
        return int32_t(uint64_t(n) * ((state >> 16) & 32767u) / 32768u);
    }
};
// A generator state from which the game's next draws fall where asked: for
// each {n, lo, hi}, Random(n) gives a value from lo to hi.
struct Draw {
    uint32_t n;
    int32_t lo, hi;
};
uint32_t StateGiving(const std::vector<Draw> &draws);

// The status line, formatted independently of the game's own formatting.
std::string StatusLine(int32_t lives, int32_t level, int32_t score);

// The fixture of the game tests; each test file names its own after it.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpGame();
        ClearRecords();
    }
    void TearDown() override { TearDownGame(); }
};

} // namespace support

#endif
