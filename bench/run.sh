#!/usr/bin/env bash
# Every measurement of docs/performance.md, on a release build without
# sanitizers (build/bench): game ticks, whole games and a paint on the
# headless backend, the SDL present path, and the program on an X desktop
# beside two packaged arcade games (installed here, not by the test command).
# Takes a few minutes; run it on an otherwise quiet machine.
#
#   bench/run.sh [DESKTOP_SECONDS]      (default 20)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/bench"
seconds="${1:-20}"

"$root/scripts/ensure-packages" build-essential cmake pkg-config libgtest-dev libsdl2-dev \
    libpng-dev libbenchmark-dev libx11-dev xvfb xdotool strace kobodeluxe chromium-bsu
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target zorvak game_benchmarks sdl_present_benchmarks \
    sdl_timer_bench first_window replay_benchmarks replay_speed

echo "== machine"
lscpu | grep -E 'Model name|^CPU\(s\)|MHz' || true
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "== game ticks, whole games and a paint (headless backend)"
"$build/bench/game_benchmarks" --benchmark_min_time=2
echo
echo "== a minute of play as a replay: size, recording and reading"
"$build/bench/replay_benchmarks" --benchmark_min_time=1
echo
echo "== replays on the whole program: an hour of play recorded, verified"
"$build/bench/replay_speed"
echo
echo "== the SDL backend's present path (offscreen driver)"
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$build/bench/sdl_present_benchmarks" \
    --benchmark_min_time=2
echo
echo "== on an X desktop (Xvfb), beside two packaged games"
"$root/bench/desktop_bench.sh" "$build" "$seconds"
echo
echo "== calls into the system per tick (strace -c), on an X desktop (Xvfb)"
"$root/bench/sdl_syscalls.sh" "$build/zorvak" "$seconds"
