// What a tick, a game and a paint cost, on the headless backend (drawing
// into the real framebuffers, showing nothing), with percentiles.
//
//   game_benchmarks [--benchmark_filter=REGEX] [--benchmark_min_time=S]
//
// FullTableTick/L: one GameTick at level L with all 40 slots in play.
// MidGameTick: ticks of games played by the autopilot from New game.
// WholeGame: a whole program run, New game to game over (natural play);
//   reports games and ticks per second.
// Paint: the main window's WM_PAINT between games (frame and introduction).
#include "bench/percentiles.h"
#include "platform/headless/headless.h"
#include "presentation/playfield.h"
#include "presentation/sprites.h"
#include "presentation/window_services.h"
#include "resources/game_module.h"
#include "rules/game_tick.h"
#include "rules/update_object.h"
#include "shell/process_start.h"
#include "shell/windows_shell.h"
#include "tests/support/game_fixture.h"
#include "tests/support/game_window.h"
#include "world/game_state.h"

#include <cstring>

namespace {

const uint64_t kStart = 100000;
const uint64_t kTick = 50;

// The game's own sprites on a 511 x 330 playfield window, drawDC held.
void StartPlayfield() {
    support::SetUpGame(GameModule());
    DrawPlayfield(drawDC);
}

void StopPlayfield() {
    support::TearDownGame();
}

// All 40 slots in play at a level: the ship, then a wave's invaders spread
// over the field, their shots and a few missiles.
void FillTable(int lv) {
    ResetObjects();
    level = int8_t(lv);
    lives = 5;
    enemyCount = 39; // no wave starts
    const int kinds[] = {KIND_ALIEN,  KIND_ALIEN,    KIND_CRAZY,   KIND_KAMIKAZE,
                         KIND_ROCKET, KIND_FIREBALL, KIND_MISSILE, KIND_EXPLOSION};
    for (int i = 1; i < OBJECT_SLOTS; ++i) {
        GameObject &o = objectTable[i];
        o.kind = int8_t(kinds[i % 8]);
        o.x = 40 + (i * 53) % (clientWidth - 110);
        o.y = (i * 37) % (clientHeight - 90);
        o.dx = int8_t(i % 5 - 2);
        o.dy = int8_t(o.kind == KIND_MISSILE ? -4 : o.kind == KIND_KAMIKAZE ? -1 : 2);
        o.delay = 0;
        o.frame = 1;
        o.frameStep = 1;
        o.energy = o.kind == KIND_CRAZY ? 4000 : o.kind == KIND_MISSILE ? 5000 : 1000;
        o.cooldown = uint32_t(i % 3);
    }
}

void FullTableTick(benchmark::State &state) {
    StartPlayfield();
    const int lv = int(state.range(0));
    FillTable(lv);
    GameObject table[OBJECT_SLOTS];
    std::memcpy(table, objectTable, sizeof table);
    bench::Samples samples;
    uint32_t seed = 1;
    for (auto _ : state) {
        std::memcpy(objectTable, table, sizeof table);
        level = int8_t(lv);
        lives = 5;
        enemyCount = 39;
        SeedRandom(seed++);
        samples.Time(state, [] { GameTick(); });
    }
    samples.Report(state);
    StopPlayfield();
}
BENCHMARK(FullTableTick)->DenseRange(0, 15)->UseManualTime();

void MidGameTick(benchmark::State &state) {
    StartPlayfield();
    SeedRandom(7);
    support::NewGame();
    bench::Samples samples;
    for (auto _ : state) {
        lives = 5; // the game goes on
        support::Hunt();
        samples.Time(state, [] { GameTick(); });
    }
    samples.Report(state);
    StopPlayfield();
}
BENCHMARK(MidGameTick)->UseManualTime();

// One whole program run per iteration: New game at once, quit at game over.
void WholeGame(benchmark::State &state) {
    static long ticks;
    static HWND window;
    static bool started;
    long allTicks = 0;
    uint64_t seed = 0;
    bench::Samples samples;
    for (auto _ : state) {
        ::RestoreProcessStart();
        headless::Reset(kStart + 1000 * seed++); // each game its own seed
        ticks = 0;
        started = false;
        headless::At(headless::Now() + 10, [] {
            window = headless::FindWindowByClass("CL_ZORVAK");
            headless::AltLetter(window, 'N');
        });
        headless::OnIdle([] {
            ++ticks;
            if (lives != 0) {
                started = true;
                support::Hunt();
            } else if (started && objectCount == 0) {
                headless::AltLetter(window, 'Q');
                started = false;
            }
        });
        samples.Time(state,
                     [] { WinMain(GameModule(), NULL, const_cast<LPSTR>(""), SW_SHOWDEFAULT); });
        allTicks += ticks;
    }
    samples.Report(state);
    state.counters["games/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["ticks/s"] = benchmark::Counter(double(allTicks), benchmark::Counter::kIsRate);
    state.counters["ticks/game"] = double(allTicks) / double(state.iterations());
}
BENCHMARK(WholeGame)->UseManualTime()->Unit(benchmark::kMillisecond);

// WM_PAINT of the real main window between games: the frame and the
// introduction picture over the whole client area.
void Paint(benchmark::State &state) {
    ::RestoreProcessStart();
    headless::Reset(kStart);
    RegisterClasses(GameModule());
    CreateMainWindow(GameModule(), SW_SHOW);
    HWND window = mainWindow;
    bench::Samples samples;
    MSG message;
    for (auto _ : state) {
        ShowWindow(window, SW_HIDE); // shown again: the whole client is invalid
        ShowWindow(window, SW_SHOW);
        if (GetMessageA(&message, NULL, 0, 0) <= 0 || message.message != WM_PAINT) {
            state.SkipWithError("no paint");
            break;
        }
        samples.Time(state, [&] { DispatchMessageA(&message); });
    }
    samples.Report(state);
    KillTimer(window, 1000);
    FreeSprites();
}
BENCHMARK(Paint)->UseManualTime();

} // namespace

BENCHMARK_MAIN();
