#!/bin/bash
# CPU used by the real program on an X desktop (Xvfb, 1920 x 1080): while it
# sits in the attract loop and while a game runs with no input.  Xvfb has no
# window manager, so the minimised state is not measured.  Prints the
# figures; fails only if the program cannot be started.
#
#   bench/sdl_idle_cpu.sh [BUILD_DIR] [SECONDS]
#
# BUILD_DIR holds zorvak (default build/release).
set -u
build=${1:-build/release}
seconds=${2:-10}
zorvak=$build/zorvak
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "needs $tool"; exit 1; }
done
[ -x "$zorvak" ] || { echo "build $zorvak first"; exit 1; }

. "$(dirname "$0")/../tests/support/x_desktop.sh"
start_xvfb || exit 1
export SDL_AUDIODRIVER=dummy
export LSAN_OPTIONS="suppressions=$(dirname "$0")/../tests/sdl/lsan.supp:print_suppressions=0"

"$zorvak" 2>"$work/err" &
zorvak_pid=$!
window=$(find_window ZORVAK 15) && [ -n "$window" ] || { echo "no window"; cat "$work/err"; exit 1; }

hz=$(getconf CLK_TCK)
cpu_ticks() {  # utime + stime of the program, in clock ticks
    awk '{ print $14 + $15 }' "/proc/$zorvak_pid/stat"
}
measure() {  # measure LABEL
    local before after
    before=$(cpu_ticks)
    sleep "$seconds"
    after=$(cpu_ticks)
    awk -v label="$1" -v t=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN {
        printf "%-34s %7.0f ms CPU in %d s = %5.2f %% of one core\n", label, t * 1000 / hz, s,
               t * 100 / hz / s }'
}

sleep 1
measure "attract loop (50 ms timer, idle)"
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --clearmodifiers alt+n
sleep 0.5
measure "game running, no input"
kill "$zorvak_pid"
wait "$zorvak_pid" 2>/dev/null
zorvak_pid=
