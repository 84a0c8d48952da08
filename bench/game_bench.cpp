// Time per GameTick over long games started at every level, with the game's
// own sprites drawn through the headless backend.  Prints one line per level.
//
//   game_bench [ticks per level]   (default 20000)
#include "resources/game_module.h"
#include "rules/game_tick.h"
#include "tests/support/game_fixture.h"
#include "tests/support/game_window.h"
#include "world/game_state.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    const long ticks = argc > 1 ? std::atol(argv[1]) : 20000;
    support::SetUpGame(GameModule());
    std::printf("level  ticks  ns/tick  max ns  waves  avg objects\n");
    double totalNs = 0;
    for (int first = 0; first < 16; first++) {
        SeedRandom(1000u + uint32_t(first));
        support::NewGame();
        lives = 1000000; // keeps the game going for the whole run
        level = int8_t(first - 1);
        long waves = 0, objects = 0;
        int8_t lastLevel = level;
        double sumNs = 0, maxNs = 0;
        for (long t = 0; t < ticks; t++) {
            support::Hunt();
            auto start = std::chrono::steady_clock::now();
            GameTick();
            auto end = std::chrono::steady_clock::now();
            double ns =
                double(std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count());
            sumNs += ns;
            if (ns > maxNs)
                maxNs = ns;
            objects += objectCount;
            if (level != lastLevel) {
                waves++;
                lastLevel = level;
            }
        }
        totalNs += sumNs;
        std::printf("%5d  %5ld  %7.0f  %6.0f  %5ld  %11.1f\n", first, ticks, sumNs / double(ticks),
                    maxNs, waves, double(objects) / double(ticks));
    }
    std::printf("all    %5ld  %7.0f  (one tick must fit in 50000000 ns)\n", 16 * ticks,
                totalNs / double(16 * ticks));
    support::TearDownGame();
    return 0;
}
