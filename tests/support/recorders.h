// Recorders of calls the game makes.  A test program that uses them is linked
// with zorvak_record_calls() (tests/support/CMakeLists.txt), which sends every
// call of AddScore, UpdateObject, DestroyIcon and PostQuitMessage through them.
#ifndef ZORVAK_TESTS_SUPPORT_RECORDERS_H
#define ZORVAK_TESTS_SUPPORT_RECORDERS_H

#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace support {

// One AddScore call: its arguments, the values around it and the title after.
struct ScoreEvent {
    int32_t points, lifeChange;
    int32_t scoreBefore, livesBefore, bonusBefore, scoreAfter, livesAfter, bonusAfter;
    int8_t level;
    std::string title;
};
extern std::vector<ScoreEvent> scoreLog;

// Updates of slots 1 to 39 that the tick should never make.
struct UpdateWatch {
    long freeSlotCalls = 0, dormantCalls = 0;
};
extern UpdateWatch updates;

// Called after each AddScore, when set: a test's rule over the game's state
// that runs at the same point of the game every time it is played.
extern std::function<void()> afterAddScore;

extern std::vector<HICON> destroyedIcons; // every DestroyIcon call, in order
extern int postQuitMessageCalls;

void ClearRecords();

} // namespace support

#endif
