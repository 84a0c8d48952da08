// The program's process-wide values, kept as they were at the start and put
// back on demand.
#include "shell/process_start.h"

#include "presentation/sprites.h"
#include "presentation/window_services.h"
#include "shell/shell_state.h"
#include "world/game_state.h"

#include <algorithm>
#include <type_traits>

namespace {

// Every process-wide value of the game and the shell.
// clang-format off
#define PROCESS_VALUES(X)                                                              \
    X(needsFirstPaint) X(isMinimized) X(aboutOpen) X(attractTicks) X(attractStage)     \
    X(minimizedFrame) X(minimizedStep) X(score) X(lives) X(nextBonusScore) X(gameOver) \
    X(clientWidth) X(clientHeight) X(level) X(enemyCount) X(objectCount)               \
    X(fireRequested) X(drawDC) X(appInstance) X(mainWindow)
// clang-format on

struct ProcessState {
#define DECLARE_VALUE(name) std::remove_reference_t<decltype(::name)> name;
    PROCESS_VALUES(DECLARE_VALUE)
#undef DECLARE_VALUE
    GameObject objects[OBJECT_SLOTS];
    HICON sprites[SPRITE_COUNT];
};

} // namespace

void RestoreProcessStart() {
    // The values the program starts with, taken before the first test ran.
    static const ProcessState atStart = [] {
        ProcessState state;
#define CAPTURE_VALUE(name) state.name = ::name;
        PROCESS_VALUES(CAPTURE_VALUE)
#undef CAPTURE_VALUE
        std::copy(objectTable, objectTable + OBJECT_SLOTS, state.objects);
        std::copy(spriteSet, spriteSet + SPRITE_COUNT, state.sprites);
        return state;
    }();
#define RESTORE_VALUE(name) ::name = atStart.name;
    PROCESS_VALUES(RESTORE_VALUE)
#undef RESTORE_VALUE
    std::copy(atStart.objects, atStart.objects + OBJECT_SLOTS, objectTable);
    std::copy(atStart.sprites, atStart.sprites + SPRITE_COUNT, spriteSet);
}
