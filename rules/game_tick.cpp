// The tick: next wave when the last is gone, then every slot in order.
#include "rules/game_tick.h"

#include "rules/update_object.h"
#include "world/game_state.h"
#include "world/init_object.h"

// alienCount, crazyCount, rocketThreshold, fireballThreshold, wanderThreshold
const LevelEntry levelTable[LEVEL_COUNT] = {
    {5, 0, 990, 990, 990},            // 0
    {5, 0, 920, 990, 992},            // 1
    {5, 1, 990, 830, 800},            // 2
    {4, 0, 730, 990, FORMATION_MARK}, // 3
    {5, 0, 940, 990, 930},            // 4
    {0, 3, 890, 890, FORMATION_MARK}, // 5
    {7, 2, 820, 890, 892},            // 6
    {8, 3, 890, 830, FORMATION_MARK}, // 7
    {5, 1, 730, 990, 900},            // 8
    {3, 1, 840, 890, 830},            // 9
    {2, 2, 790, 790, 400},            // 10
    {2, 3, 720, 790, 200},            // 11
    {3, 4, 790, 730, 100},            // 12
    {3, 5, 730, 790, FORMATION_MARK}, // 13
    {2, 6, 640, 690, 600},            // 14
    {1, 7, 640, 690, 910},            // 15
};

// One row of up to five formation aliens from x = 64, 64 pixels apart; the
// columns close up when the table runs out of slots.
static void PlaceFormationRow(int32_t y, uint8_t delay) {
    int32_t x = 64;
    for (int attempt = 0; attempt < 5; attempt++) {
        int32_t slot = FindFreeSlot();
        if (slot < 0)
            continue;
        GameObject &o = objectTable[slot];
        o.kind = KIND_ALIEN;
        o.x = x;
        o.y = y;
        o.dx = 0;
        o.dy = 2;
        o.frame = Byte(Random(5) + 1);
        o.frameStep = 1;
        o.energy = 5000;
        o.delay = delay;
        o.cooldown = 0;
        x += 64;
    }
}

static void AddByInit(int8_t kind, int count) {
    for (int n = 0; n < count; n++) {
        int32_t slot = FindFreeSlot();
        if (slot < 0)
            continue;
        objectTable[slot].kind = kind;
        InitObject(slot);
    }
}

void StartWave() {
    if (enemyCount != 0 || lives == 0)
        return;
    level = Byte(level + 1);
    if (level >= LEVEL_COUNT)
        level = 0;
    const LevelEntry &entry = levelTable[level];
    enemyCount = entry.alienCount;
    if (entry.wanderThreshold == FORMATION_MARK) {
        int32_t y = ENTRY_Y;
        int32_t rows = 1;
        while (enemyCount / 5 > rows) {
            PlaceFormationRow(y, 1);
            y += 64;
            rows++;
        }
        PlaceFormationRow(y, 0);
    } else {
        AddByInit(KIND_ALIEN, entry.alienCount);
    }
    AddByInit(KIND_CRAZY, entry.crazyCount);
}

void GameTick() {
    StartWave();
    UpdateObject(0);
    enemyCount = 0;
    objectCount = 0;
    for (int32_t i = 1; i < OBJECT_SLOTS; i++) {
        GameObject &o = objectTable[i];
        if (o.kind == KIND_FREE)
            continue;
        if (o.delay == 0)
            UpdateObject(i);
        else
            o.delay--;
        if (o.kind != KIND_MISSILE && o.kind != KIND_SHIP)
            enemyCount++;
        objectCount++;
    }
}
