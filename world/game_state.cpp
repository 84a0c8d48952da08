// The object table, the game values, the random source and slot allocation.
#include "world/game_state.h"

GameObject objectTable[OBJECT_SLOTS];

int32_t score = 0;
int32_t lives = 0;
int8_t level = 0;
int32_t nextBonusScore = 10000;
uint8_t enemyCount = 0;
uint8_t objectCount = 0;
uint8_t fireRequested = 0;
int32_t gameOver = 0;
int32_t clientWidth = 0;
int32_t clientHeight = 0;

static uint32_t randomState = 1;

void SeedRandom(uint32_t seed) {
    randomState = seed;
}

int32_t Random(uint32_t n) {
    randomState = randomState * 214013u + 2531011u;
    uint32_t r = (randomState >> 16) & 32767u;
    return static_cast<int32_t>((static_cast<uint64_t>(n) * r) / 32768u);
}

int32_t FindFreeSlot() {
    for (int32_t i = 1; i < OBJECT_SLOTS; i++) {
        if (objectTable[i].kind == KIND_FREE)
            return i;
    }
    return -1;
}
