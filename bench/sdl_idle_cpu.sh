#!/bin/bash
# CPU used by the real program on an X desktop (Xvfb, 1920 x 1080): while it
# sits in the attract loop and while a game runs with no input.  Xvfb has no
# window manager, so the minimised state is not measured.  Prints the
# figures; fails only if the program cannot be started.
#
#   bench/sdl_idle_cpu.sh [BUILD_DIR] [SECONDS]
#
# BUILD_DIR holds zorvak and tests/sdl/xhelper (default build/release).
set -u
build=${1:-build/release}
seconds=${2:-10}
zorvak=$build/zorvak
xhelper=$build/tests/sdl/xhelper
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "needs $tool"; exit 1; }
done
[ -x "$zorvak" ] && [ -x "$xhelper" ] || { echo "build $zorvak and $xhelper first"; exit 1; }

work=$(mktemp -d)
xvfb_pid=
zorvak_pid=
cleanup() {
    [ -n "$zorvak_pid" ] && kill "$zorvak_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for ((i = 0; i < 100; i++)); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(head -n1 "$work/display")"
export SDL_AUDIODRIVER=dummy
export LSAN_OPTIONS="suppressions=$(dirname "$0")/../tests/sdl/lsan.supp:print_suppressions=0"

"$zorvak" 2>"$work/err" &
zorvak_pid=$!
window=$("$xhelper" find ZORVAK 15000) || { echo "no window"; cat "$work/err"; exit 1; }

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
