#!/bin/bash
# The program on an X desktop of its own (Xvfb, 1920 x 1080), measured the
# same way as two packaged arcade games in the same run: time to the first
# window, CPU in the attract loop (or title menu) and in a game, peak memory
# and the program's own memory (USS and PSS, in the game); then the 50 ms
# timer's regularity.  Prints a table; fails only when a
# program cannot be started.
#
#   bench/desktop_bench.sh BUILD_DIR [SECONDS] [PROGRAM...]
#
# BUILD_DIR holds zorvak, bench/first_window and bench/sdl_timer_bench.
# PROGRAM: zorvak (default: zorvak kobodeluxe chromium-bsu; a peer that is
# not installed is skipped).  Xvfb has no window manager and renders OpenGL
# in software, which is what a peer that draws with OpenGL pays for here.
set -u
build=${1:?usage: desktop_bench.sh BUILD_DIR [SECONDS] [PROGRAM...]}
seconds=${2:-20}
shift $(($# >= 2 ? 2 : 1))
programs=("$@")
((${#programs[@]})) || programs=(zorvak kobodeluxe chromium-bsu)
first_window=$build/bench/first_window
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "needs $tool"; exit 1; }
done

# shellcheck source=../tests/support/x_desktop.sh
. "$(dirname "$0")/../tests/support/x_desktop.sh"
start_xvfb || exit 1
export HOME="$work/home" # the peers keep their settings and scores here
mkdir -p "$HOME"
# Nanoseconds on a CPU, all threads of the process (the scheduler's own
# count: finer than the 10 ms clock ticks of /proc/PID/stat).
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'; }
cpu_percent() { # PID SECONDS: % of one core over the next SECONDS
    local before after
    before=$(cpu_ns "$1")
    sleep "$2"
    after=$(cpu_ns "$1")
    awk -v t=$((after - before)) -v s="$2" 'BEGIN { printf "%.3f", t / 1e7 / s }'
}

# The program's own memory, in a game: USS (its private pages: what it alone
# holds) and PSS (its share of every page, shared ones divided among their
# users), from /proc/PID/smaps_rollup.
own_memory() {
    awk '/^Private_(Clean|Dirty):/ { uss += $2 } /^Pss:/ { pss = $2 }
         END { printf "%.1f MB %.1f MB", uss / 1024, pss / 1024 }' "/proc/$1/smaps_rollup"
}

printf "%-14s %14s %18s %15s %14s %10s %10s\n" program "first window" "attract/menu CPU" \
    "in-game CPU" "peak RSS" USS PSS
for program in "${programs[@]}"; do
    case $program in
    zorvak) command=("$build/zorvak"); start_game=(alt+n) ;;
    kobodeluxe) command=(/usr/games/kobodl); start_game=(Return) ;;
    chromium-bsu) command=(/usr/games/chromium-bsu); start_game=(Return) ;;
    *) echo "unknown program $program"; exit 1 ;;
    esac
    if ! [ -x "${command[0]}" ]; then
        echo "$program: not installed, skipped"
        continue
    fi
    read -r ms zorvak_pid < <("$first_window" "${command[@]}" 2>"$work/$program.err") || {
        kill -0 "$xvfb_pid" 2>/dev/null || echo "(the X server is gone: $(tail -3 "$work/xvfb.err"))"
        echo "$program: no window"; cat "$work/$program.err"; exit 1; }
    # Measured from 2 s after the first window on: its start-up work done
    # (a peer's title screen has no sign of being ready that all three share,
    # so this is time let pass, the same for each).
    sleep 2
    attract=$(cpu_percent "$zorvak_pid" "$seconds")
    window=$(xdotool search --onlyvisible --pid "$zorvak_pid" 2>/dev/null | head -n1)
    [ -n "$window" ] && xdotool windowfocus "$window" 2>/dev/null
    xdotool key --clearmodifiers "${start_game[@]}"
    sleep 1 # the game under way, measured from 1 s after the key, for each alike
    game=$(cpu_percent "$zorvak_pid" "$seconds")
    rss=$(awk '/VmHWM/ { printf "%.1f MB", $2 / 1024 }' "/proc/$zorvak_pid/status")
    read -r uss uss_unit pss pss_unit < <(own_memory "$zorvak_pid")
    kill "$zorvak_pid" 2>/dev/null
    wait "$zorvak_pid" 2>/dev/null
    zorvak_pid=
    printf "%-14s %11s ms %16s %% %13s %% %14s %10s %10s\n" "$program" "$ms" "$attract" "$game" \
        "$rss" "$uss $uss_unit" "$pss $pss_unit"
done

if [ -x "$build/bench/sdl_timer_bench" ]; then
    echo
    echo "50 ms timer on this desktop (SDL's X11 driver):"
    SDL_VIDEODRIVER=x11 "$build/bench/sdl_timer_bench" "$seconds"
fi
