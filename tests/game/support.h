// Shared set-up of the game tests: a headless window with a client area of
// 511 x 330, a module of test sprites, and recorders of score events and of
// the updates the tick makes.
#ifndef ZORVAK_TESTS_GAME_SUPPORT_H
#define ZORVAK_TESTS_GAME_SUPPORT_H

#include "platform/headless/headless.h"
#include "presentation/playfield.h"
#include "presentation/sprites.h"
#include "presentation/window_services.h"
#include "world/game_state.h"
#include "world/init_object.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gt {

const int CLIENT_W = 511, CLIENT_H = 330;
const int START_X = CLIENT_W / 2 - 16, START_Y = CLIENT_H - 80;

// Fresh headless platform; a window whose client area is 511 x 330;
// drawDC, appInstance and mainWindow set; sprites loaded from the test
// module (each sprite a flat colour with an inner square of a second colour
// and a black border, IC_BLANC black, and a 40 x 20 1-bit "BMP_TEST"); game
// state zeroed, generator at state 1, recorders cleared.
void SetUpGame();
void TearDownGame();
// What the shell's "New game" does to the game state.
void NewGame();

headless::Image Client();
// The test sprite whose whole cell starts at (x, y), or -1.
int SpriteAt(const headless::Image &image, int x, int y);
bool CellIsBlack(const headless::Image &image, int x, int y);
uint32_t SpriteColour(int sprite); // its outer colour, 0x00RRGGBB
bool TestBitmapPixelWhite(int x, int y);

// An active object with plain fields (no motion, frame 1, step 1).
GameObject &Put(int slot, int kind, int32_t x, int32_t y, int32_t energy = 5000);
// Occupies every free slot from 1 to 39 with a far-away dormant alien.
void FillTable();
int CountKind(int kind); // in slots 1 to 39

struct ScoreEvent {
    int32_t points, lifeChange;
    int32_t scoreBefore, livesBefore, bonusBefore, scoreAfter, livesAfter, bonusAfter;
    int8_t level;
    std::string title;
};
extern std::vector<ScoreEvent> scoreLog;
struct UpdateWatch {
    long freeSlotCalls = 0, dormantCalls = 0; // for slots 1 to 39
};
extern UpdateWatch updates;
extern std::vector<HICON> destroyedIcons; // every DestroyIcon call, in order

// The status line, formatted independently of the game's own formatting.
std::string StatusLine(int32_t lives, int32_t level, int32_t score);

class GameTest : public ::testing::Test {
protected:
    void SetUp() override { SetUpGame(); }
    void TearDown() override { TearDownGame(); }
};

} // namespace gt

#endif
