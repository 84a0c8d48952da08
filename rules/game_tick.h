// One step of the game, the waves and the level table.
#ifndef ZORVAK_RULES_GAME_TICK_H
#define ZORVAK_RULES_GAME_TICK_H

#include <cstdint>

struct LevelEntry {
    uint8_t alienCount;
    uint8_t crazyCount;
    uint32_t rocketThreshold;
    uint32_t fireballThreshold;
    uint32_t wanderThreshold;
};

const int LEVEL_COUNT = 16;
const uint32_t FORMATION_MARK = 65535;

extern const LevelEntry levelTable[LEVEL_COUNT];

void GameTick();
void StartWave();

#endif
