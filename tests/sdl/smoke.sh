#!/bin/bash
# The real program on a real (virtual) X desktop: window, keys, menu
# mnemonic, close button.  (A start without any display: tests/desktop/options.sh.)
#
#   smoke.sh ZORVAK XHELPER OUTDIR
#
# Exit 0: passed; 77: Xvfb or xdotool missing (skipped); anything else: failed.
set -u
zorvak=$1
xhelper=$2
outdir=$3

mkdir -p "$outdir"
# shellcheck source=../support/x_desktop.sh
. "$(dirname "$0")/../support/x_desktop.sh"

size_of() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$WIDTH $HEIGHT"
}
title_is() { [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]; }
is_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1; }
# shows SCREEN WINDOW X Y: the window shows the stand-in's own picture of
# SCREEN (intro or about) at 2x, its client's corner at (X, Y); the last
# comparison's verdict is in $work/compare.out.
shows() { "$xhelper" compare "$1" "$2" "$3" "$4" "$outdir" 2 >"$work/compare.out" 2>&1; }

# ---- A 1920 x 1080 desktop of our own.
start_xvfb || { echo "FAILED: no X desktop"; exit 1; }
echo "display $DISPLAY"

"$zorvak" >"$work/zorvak.out" 2>"$work/zorvak.err" &
zorvak_pid=$!

window=$(find_window ZORVAK 15)
if [ -z "$window" ]; then
    echo "FAILED: no window titled ZORVAK appeared"
    cat "$work/zorvak.err"
    exit 1
fi
echo "ok: window titled ZORVAK appeared ($window)"

size=$(size_of "$window")
check "window is 1022 x 698, the 511 x 349 image at 2x (got $size)" test "$size" = "1022 698"

# Under the 19-pixel menu bar, at 2x.
check "the first paint: the introduction as the stand-in draws it, at 2x" \
    wait_for 5 shows intro "$window" 0 38
sed 's/^/    /' "$work/compare.out"
check "introduction screenshot, every pixel a sharp 2x2 block" \
    "$xhelper" shot "$window" "$outdir/sdl-intro.png" 2

xdotool windowfocus --sync "$window" 2>/dev/null || xdotool mousemove --window "$window" 100 100
xdotool key --clearmodifiers alt+n
check "Alt+N starts a game: the title becomes the status line" \
    wait_for 5 title_is "$window" "Lives: 05 - Level 01 - Score: 00000"

# The ship's row between the walls, in window pixels: client rows 250 to 281
# under the 19-pixel menu bar, client columns 32 to 478, all at 2x.  Only the
# ship is there once the game has cleared the introduction away: all its lit
# pixels within one 32-pixel sprite's width.  ship_x is then its centre.
ship_x=
ship_alone() {
    local count left right
    read -r ship_x count left right < <("$xhelper" centroid "$window" 64 538 958 602)
    [ "${count:-0}" -gt 0 ] && [ $((right - left)) -lt 64 ]
}
ship_left_of() { ship_alone && [ "$ship_x" -lt "$1" ]; }
ship_right_of() { ship_alone && [ "$ship_x" -gt "$1" ]; }
check "the new game shows the ship alone on its row" wait_for 5 ship_alone
start_x=$ship_x

# Steer, each arrow key held down until the ship has moved, and fire.
xdotool keydown Left
check "Left moves the ship left (ship row centred at x $start_x)" \
    wait_for 5 ship_left_of $((start_x - 20))
xdotool keyup Left
left_x=$ship_x
xdotool keydown Right
check "Right moves the ship right (from x $left_x)" wait_for 5 ship_right_of $((left_x + 20))
xdotool keyup Right
echo "    (ship row centred at x $ship_x)"
# Keys spread over a few ticks of the game, as a player's would be: these
# sleeps pace the keys, they wait for nothing.
for ((i = 0; i < 5; i++)); do
    xdotool key space
    sleep 0.1
    xdotool key Left Return KP_Enter
    sleep 0.2
done
check "the program is still running after the arrow keys and Space" kill -0 "$zorvak_pid"
title=$(xdotool getwindowname "$window")
check "the title is still the status line (\"$title\")" test "${title#Lives: }" != "$title"
check "game screenshot" "$xhelper" shot "$window" "$outdir/sdl-game.png" 2

# A click on "About Zorvak" in the menu bar (window pixels, 2x) opens the
# About window: a second native window, which closes itself after 10 s.
xdotool mousemove --window "$window" 240 17 click 1
about=$(find_window "About Zorvak" 5)
check "a click on the menu bar's About Zorvak opens the About window" test -n "$about"
if [ -n "$about" ]; then
    size=$(size_of "$about")
    check "About window is 894 x 614, its 447 x 307 image at 2x (got $size)" \
        test "$size" = "894 614"
    check "the About window's first paint: the About picture as the stand-in draws it" \
        wait_for 5 shows about "$about" 0 0
    sed 's/^/    /' "$work/compare.out"
    check "About screenshot" "$xhelper" shot "$about" "$outdir/sdl-about.png" 2
    check "the About window is a dialog that can only be moved ($("$xhelper" hints "$about"))" \
        test "$("$xhelper" hints "$about")" = "DIALOG 4 10"
    check "the About window closes itself" wait_for 15 is_gone "$about"
fi
check "the main window can be moved, minimised and closed ($("$xhelper" hints "$window"))" \
    test "$("$xhelper" hints "$window")" = "NORMAL 44 58"

# Where the keyboard goes.  With no window manager, nobody but the program
# gives it back when a window goes: each step below types to whatever has
# the X focus, and opening the About window shows the keys arrived.
about_from_keys() { # about_from_keys KEY...: the keys open the About window
    xdotool key "$@"
    about=$(find_window "About Zorvak" 5)
    test -n "$about"
}
check "after the About window closed itself, an Alt tap, Right and Enter open it again" \
    about_from_keys alt Right Return
xdotool key alt+F4
check "Alt+F4 closes the About window" wait_for 3 is_gone "$about"
check "then Alt+A on the main window opens it" about_from_keys alt+a
xdotool key alt+F4
wait_until 3 "Alt+F4 to close the About window" is_gone "$about"
# The keyboard taken away from the program while a game runs: the game
# pauses and says so beside the status line.
"$xhelper" unfocus
title_says() { [[ "$(xdotool getwindowname "$window" 2>/dev/null)" == *"$1"* ]]; }
check "the game pauses when the program loses the keyboard" \
    wait_for 3 title_says "   [Paused: P to go on]"
# A click gives the keyboard back to a window that lost it.
xdotool mousemove --window "$window" 500 300 click 1
check "after a click on the main window Alt+A opens the About window" about_from_keys alt+a
xdotool key alt+F4
wait_until 3 "Alt+F4 to close the About window" is_gone "$about"
xdotool key p
not_paused() { ! title_says "[Paused"; }
check "P goes on ($(xdotool getwindowname "$window"))" wait_for 3 not_paused

"$xhelper" close "$window"
check_exit "$zorvak_pid" 15 "closing the window"
zorvak_pid=
if [ -s "$work/zorvak.err" ]; then
    sed 's/^/    stderr: /' "$work/zorvak.err"
fi
# The game played above was kept with its replay, which plays back headless
# to the same end.
replays=("$XDG_DATA_HOME"/zorvak/replays/*.zvr)
check "the game played was kept (${#replays[@]} replay)" test -f "${replays[0]}"
"$zorvak" --verify "${replays[@]}" >"$work/verify.out" 2>&1
verified=$?
sed 's/^/    /' "$work/verify.out"
check "its replay, recorded through SDL, verifies on the headless backend (exit $verified)" \
    test "$verified" = 0
"$zorvak" --scores >"$work/scores.out" 2>&1
check "--scores lists it ($(tail -n1 "$work/scores.out"))" grep -q '^ *1 ' "$work/scores.out"

# Watched again, fast, to its end: the status line it ended with, and where
# the replay stands beside it.
"$zorvak" --replay 1 --speed 16 >"$work/watch.out" 2>&1 &
zorvak_pid=$!
window=$(find_window '.*\[Replay .*' 15)
check "--replay 1 opens a window that says it shows a replay" test -n "$window"
ended=$(sed -n 's/^.*\.zvr: \(.*\) (as recorded, after.*/\1/p' "$work/verify.out" | head -n1)
replay_ended() { [[ "$(xdotool getwindowname "$window" 2>/dev/null)" == "$ended   [Replay "*", ended]" ]]; }
check "the replay plays to the end it recorded (\"$ended\")" wait_for 30 replay_ended
echo "    the title then: $(xdotool getwindowname "$window")"
# Back to the start: the program runs anew in the same window.
xdotool key Home
replay_restarted() { [[ "$(xdotool getwindowname "$window" 2>/dev/null)" == *"[Replay 0:0"* ]]; }
check "Home goes back to the start, in the same window" wait_for 10 replay_restarted
xdotool key alt+q
check_exit "$zorvak_pid" 15 "Alt+Q while watching"
zorvak_pid=
echo "screenshots in $outdir"
finish
