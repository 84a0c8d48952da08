// The game's 50 ms timer on the SDL2 backend, against the real clock: how
// many ticks arrive in a stretch of seconds, how late they come, and how
// much CPU the waiting costs.  Runs on SDL's offscreen driver unless
// SDL_VIDEODRIVER says otherwise (e.g. x11 under Xvfb: the offscreen driver
// has no event wait of its own, so SDL polls it every millisecond).  With
// --gamepad an SDL virtual controller is plugged in first, so that the
// figures include reading it.
//
//   sdl_timer_bench [--gamepad] [SECONDS]   (default 10)
#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"
#include "resources/game_module.h"
#include "tests/support/virtual_pad.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const UINT kPeriodMs = 50;
Clock::time_point start;
double seconds = 10.0;
std::vector<double> arrivals; // ms since start

LRESULT CALLBACK BenchWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        const double at = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        arrivals.push_back(at);
        // Something to show, as a game tick would.
        HDC dc = GetDC(window);
        SetPixel(dc, int(arrivals.size() % 100), 10, RGB(255, 255, 255));
        ReleaseDC(window, dc);
        if (at >= seconds * 1000.0) {
            PostQuitMessage(0);
        }
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

double CpuMs() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec * 1000.0 + usage.ru_utime.tv_usec / 1000.0 +
           usage.ru_stime.tv_sec * 1000.0 + usage.ru_stime.tv_usec / 1000.0;
}

} // namespace

int main(int argc, char **argv) {
    bool gamepad = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gamepad") == 0) {
            gamepad = true;
        } else {
            seconds = std::max(1.0, std::atof(argv[i]));
        }
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    zsdl::SdlBackend backend(GameModule());
    zplat::SetBackend(&backend);
    if (gamepad) {
        if (support::AttachVirtualPad("bench pad") < 0) {
            std::fprintf(stderr, "no virtual controller: %s\n", SDL_GetError());
            return 1;
        }
    }

    WNDCLASSA wc = {};
    wc.lpfnWndProc = BenchWndProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "BENCH";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "BENCH", "timer bench", WS_DLGFRAME | WS_SYSMENU, 100, 100,
                                  517, 374, NULL, NULL, NULL, NULL);
    if (window == NULL) {
        std::fprintf(stderr, "no window: %s\n", SDL_GetError());
        return 1;
    }
    ShowWindow(window, SW_SHOW);

    const double cpuBefore = CpuMs();
    start = Clock::now();
    SetTimer(window, 1, kPeriodMs, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const double cpu = CpuMs() - cpuBefore;

    double worstLate = 0.0;
    double sumLate = 0.0;
    for (size_t i = 0; i < arrivals.size(); ++i) {
        const double due = double(i + 1) * kPeriodMs;
        const double late = arrivals[i] - due;
        worstLate = std::max(worstLate, late);
        sumLate += late;
    }
    const double expected = elapsed / kPeriodMs;
    std::printf("video driver        %s\n", SDL_GetCurrentVideoDriver());
    std::printf("controllers open    %d\n", backend.GamepadCount());
    std::printf("timer period        %u ms\n", kPeriodMs);
    std::printf("elapsed             %.0f ms\n", elapsed);
    std::printf("ticks               %zu (%.1f expected, %.2f per second)\n", arrivals.size(),
                expected, arrivals.size() * 1000.0 / elapsed);
    std::printf("drift at the end    %+.1f ms\n",
                arrivals.empty() ? 0.0 : arrivals.back() - double(arrivals.size()) * kPeriodMs);
    std::printf("lateness            mean %.2f ms, worst %.2f ms\n",
                arrivals.empty() ? 0.0 : sumLate / double(arrivals.size()), worstLate);
    std::printf("CPU                 %.0f ms = %.2f %% of one core\n", cpu, cpu * 100.0 / elapsed);

    zplat::ShutdownPlatform();
    zplat::SetBackend(nullptr);
    return 0;
}
