// The object table and the process-wide game values.
//
// Every moving thing lives in one of the 40 slots of objectTable; slot 0 is
// the player's ship.  Objects are named only by their slot index.
#ifndef ZORVAK_WORLD_GAME_STATE_H
#define ZORVAK_WORLD_GAME_STATE_H

#include <cstdint>

// Object kinds (the values of GameObject::kind).
enum {
    KIND_FREE = 0,
    KIND_SHIP = 1,
    KIND_ALIEN = 2,
    KIND_KAMIKAZE = 3,
    KIND_EXPLOSION = 4,
    KIND_ROCKET = 5,
    KIND_MISSILE = 6,
    KIND_BASE = 7,
    KIND_FIREBALL = 8,
    KIND_CRAZY = 9,
    KIND_STAR = 10
};

const int OBJECT_SLOTS = 40;

struct GameObject {
    int8_t kind;
    int32_t energy;
    int32_t x;
    int32_t y;
    int8_t dy;
    int8_t dx;
    uint8_t delay;
    int8_t frame;
    int8_t frameStep;
    uint32_t cooldown;
};

extern GameObject objectTable[OBJECT_SLOTS];

extern int32_t score;
extern int32_t lives;
extern int8_t level;
extern int32_t nextBonusScore;
extern uint8_t enemyCount;
extern uint8_t objectCount;
extern uint8_t fireRequested;
extern int32_t gameOver;
extern int32_t clientWidth;
extern int32_t clientHeight;

// The playfield, in client pixels of an object's top-left corner, y growing
// downward.  The side walls keep x from WALL_LEFT_X to WallRightX(); an object
// has passed the ground line when y > GroundLineY() and has left through the
// top when y < TOP_EXIT_Y.  New invaders enter at ENTRY_Y, just above the
// playfield, and the player's ship starts at (ShipStartX(), ShipStartY()),
// standing on the ground line.
const int32_t WALL_LEFT_X = 32;
const int32_t TOP_EXIT_Y = -32;
const int32_t ENTRY_Y = -32;
inline int32_t WallRightX() {
    return clientWidth - 64;
}
inline int32_t GroundLineY() {
    return clientHeight - 80;
}
inline int32_t ShipStartX() {
    return clientWidth / 2 - 16;
}
inline int32_t ShipStartY() {
    return GroundLineY();
}

// The game's one source of chance: 0 .. n-1 (0 for n of 0 or 1).
int32_t Random(uint32_t n);
// Sets the generator's state (the shell passes the tick count).
void SeedRandom(uint32_t seed);
// Lowest free slot from 1 to 39, or -1 when all are taken.
int32_t FindFreeSlot();

// The game's 32-bit and 8-bit values wrap as two's complement.  These do the
// arithmetic in unsigned form so that an overflow wraps instead of being
// undefined.
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t WrapNeg(int32_t a) {
    return static_cast<int32_t>(0u - static_cast<uint32_t>(a));
}
inline int8_t Byte(int32_t v) {
    return static_cast<int8_t>(static_cast<uint8_t>(v));
}

#endif
