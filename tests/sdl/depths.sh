#!/bin/bash
# The real program on X screens of every depth Xvfb makes (8, 15, 16, 24 and
# 30 bits), with SDL's own framebuffer and with framebuffer acceleration
# forced (SDL_FRAMEBUFFER_ACCELERATION=1: the window's surface through a
# renderer, which replaces the X window behind it): the window shows the
# stand-in's introduction pixel for pixel (as the screen's depth shows
# those colours) and Alt+Q ends it with exit code 0.  Where SDL cannot draw
# at all (8 bits: a palette screen, and a 3-3-2 visual SDL has no format
# for), one line says so and the exit code is 1, never a black window.
#
#   depths.sh ZORVAK XHELPER OUTDIR
#
# Exit 0: passed; 77: Xvfb or xdotool missing (skipped); anything else: failed.
set -u
zorvak=$1
xhelper=$2
outdir=$3

mkdir -p "$outdir"
# shellcheck source=../support/x_desktop.sh
. "$(dirname "$0")/../support/x_desktop.sh"

shows_intro() {
    "$xhelper" compare intro "$1" 0 38 "$outdir" 2 >"$work/compare.out" 2>&1
}

# run_at DEPTH ACCELERATION: one start of the program on the screen now up;
# ACCELERATION is what SDL_FRAMEBUFFER_ACCELERATION is set to ("" for unset).
run_at() {
    local depth=$1 acceleration=$2 how="SDL's framebuffer"
    [ -n "$acceleration" ] && how="SDL_FRAMEBUFFER_ACCELERATION=$acceleration"
    # Where the surface goes through a renderer (acceleration asked for, or a
    # 30-bit screen), the GL driver keeps a little memory until exit that
    # the sanitizer build's leak check cannot place (its stacks end in the
    # checker's own frames): the leak check stays for the other runs, which
    # go through the same backend code.
    local leaks=1
    if [ -n "$acceleration" ] || [ "$depth" = 30 ]; then
        leaks=0
    fi
    if [ -n "$acceleration" ]; then
        SDL_FRAMEBUFFER_ACCELERATION=$acceleration ASAN_OPTIONS=detect_leaks=$leaks \
            "$zorvak" >"$work/out" 2>"$work/err" &
    else
        ASAN_OPTIONS=detect_leaks=$leaks "$zorvak" >"$work/out" 2>"$work/err" &
    fi
    zorvak_pid=$!
    if [ "$depth" = 8 ]; then
        wait_exit "$zorvak_pid" 15
        zorvak_pid=
        check "$depth bits, $how: exit code 1 (got $exit_code)" test "$exit_code" = 1
        check "$depth bits, $how: one line says why ($(head -n1 "$work/err"))" \
            test "$(grep -c "^zorvak: cannot draw on this display: " "$work/err"):$(wc -l <"$work/err")" = 1:1
        return
    fi
    local window
    window=$(find_window ZORVAK 15)
    check "$depth bits, $how: a window appeared" test -n "$window"
    if [ -n "$window" ]; then
        check "$depth bits, $how: it shows the introduction as the stand-in draws it" \
            wait_for 5 shows_intro "$window"
        sed 's/^/    /' "$work/compare.out"
        xdotool windowfocus --sync "$window" 2>/dev/null || xdotool mousemove --window "$window" 9 9
        xdotool key --clearmodifiers alt+q
    fi
    check_exit "$zorvak_pid" 15 "$depth bits, $how: Alt+Q"
    zorvak_pid=
    if [ -s "$work/err" ]; then
        sed 's/^/    stderr: /' "$work/err"
    fi
}

for depth in 8 15 16 24 30; do
    xvfb_depth=$depth start_xvfb || { echo "FAILED: no X desktop at $depth bits"; exit 1; }
    run_at "$depth" ""
    run_at "$depth" 1
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
done
finish
