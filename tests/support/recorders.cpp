#include "tests/support/recorders.h"

#include "platform/headless/headless.h"
#include "presentation/window_services.h"
#include "world/game_state.h"

namespace support {

std::vector<ScoreEvent> scoreLog;
UpdateWatch updates;
std::function<void()> afterAddScore;
std::vector<HICON> destroyedIcons;
int postQuitMessageCalls = 0;

void ClearRecords() {
    scoreLog.clear();
    updates = UpdateWatch();
    destroyedIcons.clear();
    postQuitMessageCalls = 0;
}

} // namespace support

// The linker sends the calls here (--wrap); __real_ names the original.
extern "C" {
void __real__Z8AddScoreii(int32_t points, int32_t lifeChange);
void __real__Z12UpdateObjecti(int32_t i);
BOOL WINAPI __real_DestroyIcon(HICON icon);
VOID WINAPI __real_PostQuitMessage(int exitCode);

void __wrap__Z8AddScoreii(int32_t points, int32_t lifeChange) {
    support::ScoreEvent e{points, lifeChange, score, lives, nextBonusScore, 0, 0, 0, 0, ""};
    __real__Z8AddScoreii(points, lifeChange);
    e.scoreAfter = score;
    e.livesAfter = lives;
    e.bonusAfter = nextBonusScore;
    e.level = level;
    e.title = headless::Title(mainWindow);
    support::scoreLog.push_back(e);
    if (support::afterAddScore) {
        support::afterAddScore();
    }
}

void __wrap__Z12UpdateObjecti(int32_t i) {
    support::UpdateWatch &w = support::updates;
    w.freeSlotCalls += i != 0 && objectTable[i].kind == KIND_FREE;
    w.dormantCalls += i != 0 && objectTable[i].delay != 0;
    __real__Z12UpdateObjecti(i);
}

BOOL WINAPI __wrap_DestroyIcon(HICON icon) {
    support::destroyedIcons.push_back(icon);
    return __real_DestroyIcon(icon);
}

VOID WINAPI __wrap_PostQuitMessage(int exitCode) {
    ++support::postQuitMessageCalls;
    __real_PostQuitMessage(exitCode);
}
}
