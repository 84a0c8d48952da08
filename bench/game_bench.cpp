// Time per GameTick over long games started at every level, with the game's
// own sprites drawn through the headless backend.  Prints one line per level.
//
//   game_bench [ticks per level]   (default 20000)
#include "platform/headless/headless.h"
#include "platform/module.h"
#include "presentation/playfield.h"
#include "presentation/sprites.h"
#include "presentation/window_services.h"
#include "rules/game_tick.h"
#include "rules/score.h"
#include "rules/update_object.h"
#include "world/game_state.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static LRESULT CALLBACK BenchWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

static HWND MakeWindow(int width, int height) {
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = BenchWndProc;
    wc.hInstance = appInstance;
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "GameBench";
    RegisterClassA(&wc);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    HWND w = CreateWindowExA(0, "GameBench", "bench", style, 0, 0, width, height, NULL, NULL,
                             appInstance, NULL);
    RECT rc;
    GetClientRect(w, &rc);
    if (rc.right != width || rc.bottom != height) {
        DestroyWindow(w);
        w = CreateWindowExA(0, "GameBench", "bench", style, 0, 0, 2 * width - rc.right,
                            2 * height - rc.bottom, NULL, NULL, appInstance, NULL);
    }
    return w;
}

// Steers under the lowest active invader and fires when it is in line.
static void Steer() {
    int target = -1;
    for (int i = 1; i < OBJECT_SLOTS; i++) {
        const GameObject &o = objectTable[i];
        bool invader = o.kind == KIND_ALIEN || o.kind == KIND_KAMIKAZE || o.kind == KIND_CRAZY;
        if (invader && o.delay == 0 && (target < 0 || o.y > objectTable[target].y))
            target = i;
    }
    if (target < 0)
        return;
    int32_t tx = objectTable[target].x, sx = objectTable[0].x;
    if (tx < sx - 8)
        SteerShipLeft();
    else if (tx > sx + 8)
        SteerShipRight();
    if (tx > sx - 24 && tx < sx + 24)
        fireRequested = 1;
}

int main(int argc, char **argv) {
    const long ticks = argc > 1 ? std::atol(argv[1]) : 20000;
    headless::Reset();
    appInstance = zplat::GameModule();
    mainWindow = MakeWindow(511, 330);
    RECT rc;
    GetClientRect(mainWindow, &rc);
    clientWidth = rc.right;
    clientHeight = rc.bottom;
    drawDC = GetDC(mainWindow);
    LoadSprites();
    std::printf("level  ticks  ns/tick  max ns  waves  avg objects\n");
    double totalNs = 0;
    for (int first = 0; first < 16; first++) {
        SeedRandom(1000u + uint32_t(first));
        DrawPlayfield(drawDC);
        enemyCount = 0;
        ResetObjects();
        score = 0;
        lives = 1000000; // keeps the game going for the whole run
        level = int8_t(first - 1);
        long waves = 0, objects = 0;
        int8_t lastLevel = level;
        double sumNs = 0, maxNs = 0;
        for (long t = 0; t < ticks; t++) {
            Steer();
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
    FreeSprites();
    ReleaseDC(mainWindow, drawDC);
    return 0;
}
