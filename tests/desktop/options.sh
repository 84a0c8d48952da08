#!/bin/bash
# The Linux program's command line, through the program itself: --help and
# --version, mistakes (exit code 2 and a message on stderr), and on an X
# desktop of our own (Xvfb, 1920 x 1080) what --scale and --fullscreen make
# of the window, and F11 from there: on this desktop with no window manager,
# switches that cost no more than a frame, and the About window kept above
# the main one.
#
#   options.sh ZORVAK XHELPER
#
# Exit 0: passed; 77: Xvfb or xdotool missing (skipped); anything else: failed.
set -u
zorvak=$1
xhelper=$2

# shellcheck source=../support/x_desktop.sh
. "$(dirname "$0")/../support/x_desktop.sh"

# run ARGS...: runs the program without any display; $out, $err, $code.
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$work" \
        "$zorvak" "$@" >"$work/out" 2>"$work/err"
    code=$?
    out=$(cat "$work/out")
    err=$(cat "$work/err")
}

# out_has WORDS...: stdout holds each of the words
out_has() {
    local words
    for words in "$@"; do
        [[ $out == *"$words"* ]] || return 1
    done
}
run --help
check "--help: exit code 0 (got $code)" test "$code" = 0
check "--help names every option on stdout" \
    out_has "Usage:" --fullscreen --scale --version --scores --replay --speed --verify
check "--help starts with its usage line" test "${out%%:*}" = Usage
check "--help says the keys of full screen and the gamepad" out_has F11 Alt+Enter Gamepad
check "--help writes nothing to stderr" test -z "$err"
run -h
check "-h is --help" test "$code:$out" = "0:$(run --help; echo "$out")"
run --version
check "--version prints \"zorvak 1.0\" (got \"$out\", exit code $code)" test "$code:$out" = "0:zorvak 1.0"

# mistake EXPECTED-MESSAGE ARGS...: exit code 2, the message and a hint on
# stderr, nothing on stdout.
mistake() {
    local message=$1
    shift
    run "$@"
    check "zorvak $* is refused with exit code 2 (got $code) and \"$message\"" \
        test "$code:$out:$err" = "2::zorvak: $message
Try 'zorvak --help' for more information."
}
mistake "unknown option '--bogus'" --bogus
mistake "unknown option '-x'" -x
mistake "unknown option '--fullscreen=yes'" --fullscreen=yes
mistake "unexpected argument 'level3': replays are named with --replay or --verify" level3
mistake "option '--scale' needs a number" --scale
mistake "invalid scale '0': give a whole number from 1 up" --scale 0
mistake "invalid scale '-1': give a whole number from 1 up" --scale -1
mistake "invalid scale '2x': give a whole number from 1 up" --scale 2x
mistake "invalid scale '1.5': give a whole number from 1 up" --scale=1.5
mistake "invalid scale '99999999999': give a whole number from 1 up" --scale 99999999999
mistake "unknown option '--bogus'" --fullscreen --bogus
mistake "option '--replay' needs a file or a rank" --replay
mistake "option '--speed' needs a number" --replay 1 --speed
mistake "invalid speed '17': give a whole number from 1 to 16" --replay 1 --speed 17
mistake "invalid speed '0': give a whole number from 1 to 16" --replay=1 --speed=0
mistake "option '--speed' goes with --replay" --speed 2
mistake "option '--verify' needs at least one file" --verify
mistake "'--replay' goes with none of --scores, --replay and --verify" --scores --replay 1

# ---- The kept games, the replays and their verification: no display needed.
golden=$(cd "$(dirname "$0")/../shell/golden" && pwd)
run --scores
check "--scores with nothing kept yet: exit 0 and says so (got $code: $out)" \
    test "$code" = 0 -a -n "$out"
mistake "no kept game has rank 1 (0 kept: see zorvak --scores)" --replay 1
run --verify "$golden/game-1.zvr" "$golden/game-2.zvr"
check "--verify of the golden replays: exit 0 (got $code)" test "$code" = 0
check "... a line each, as recorded" \
    test "$(grep -c ': Lives: 00 - Level 0[0-9] - Score: .* (as recorded, after [0-9]* ticks)$' \
        <<<"$out")" = 2
run --verify "$golden/game-1.zvr" "$golden/other-outcome.zvr"
check "--verify of a replay that does not end as it recorded: exit 1 (got $code)" test "$code" = 1
check "... and says so" out_has "other-outcome.zvr: DIFFERS: " "but the replay recorded Lives: 03"
# Damaged and foreign files: exit 2 and a message naming the file and the place.
head -c 300 "$golden/game-1.zvr" >"$work/cut.zvr"
printf 'not a replay' >"$work/foreign.zvr"
cp "$golden/game-1.zvr" "$work/flipped.zvr"
printf '\xff' | dd of="$work/flipped.zvr" bs=1 seek=1000 conv=notrunc status=none
mkfifo "$work/fifo.zvr"
for file in cut foreign flipped fifo missing; do
    run --verify "$golden/game-1.zvr" "$work/$file.zvr"
    check "--verify of a $file file: exit 2 (got $code) and a message naming it ($err)" \
        test "$code" = 2 -a -n "$(grep "^zorvak: $work/$file.zvr: " <<<"$err")"
done

# ---- No display (a start over ssh or from cron: no DISPLAY, no Wayland, not
# even XDG_RUNTIME_DIR): one line that says so, nothing before it (no
# message of the display libraries), exit code 1.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR \
    "$zorvak" >"$work/out" 2>"$work/err"
code=$?
check "without a display: exit code 1 (got $code)" test "$code" = 1
check "... and one line on stderr, nothing on stdout ($(head -n1 "$work/err"))" \
    test "$(cat "$work/err")$(cat "$work/out")" = "zorvak: cannot open a display: DISPLAY is not set"
# A display named that nobody answers at.
env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:9999 XDG_RUNTIME_DIR="$work" \
    "$zorvak" >"$work/out" 2>"$work/err"
code=$?
check "with DISPLAY=:9999, where no X server answers: exit code 1 (got $code) and one line" \
    test "$code:$(cat "$work/err")" = "1:zorvak: cannot open a display: no X server answers at DISPLAY=:9999"

# ---- On a 1920 x 1080 desktop: the 511 x 349 image fits up to 2x (with its
# caption bar in full screen: 368 rows, 3x would be 1104).
start_xvfb || { echo "FAILED: no X desktop"; exit 1; }
"$zorvak" --scale 3 >"$work/out" 2>"$work/err"
code=$?
check "--scale 3 does not fit 1920 x 1080: exit code 2 (got $code)" test "$code" = 2
check "... and says what does ($(head -n1 "$work/err"))" \
    grep -q "^zorvak: scale 3 does not fit this display: give a whole number from 1 to 2$" \
    "$work/err"

size_of() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$WIDTH $HEIGHT"
}
size_is() { [ "$(size_of "$1")" = "$2" ]; }
# play EXPECTED-SIZE ARGS...: starts the program, checks its window's size,
# leaves the window in $window.
play() {
    local size=$1
    shift
    "$zorvak" "$@" >"$work/zorvak.out" 2>"$work/zorvak.err" &
    zorvak_pid=$!
    window=$(find_window ZORVAK 15)
    check "zorvak $* opens a window ($window)" test -n "$window"
    [ -n "$window" ] || return 1
    check "zorvak $*: the window is $size (got $(size_of "$window"))" \
        wait_for 5 size_is "$window" "$size"
    xdotool windowfocus --sync "$window" 2>/dev/null || xdotool mousemove --window "$window" 9 9
}
stop() {
    xdotool key alt+q
    check_exit "$zorvak_pid" 15 "Alt+Q, Quit,"
    zorvak_pid=
    if [ -s "$work/zorvak.err" ]; then
        sed 's/^/    stderr: /' "$work/zorvak.err"
    fi
}

if play "511 349" --scale 1; then
    xdotool key F11
    check "F11 takes the window to full screen" wait_for 5 size_is "$window" "1920 1080"
    xdotool key F11
    check "F11 again brings back the 1x window" wait_for 5 size_is "$window" "511 349"
    stop
fi
about=
about_gone() { ! xdotool getwindowname "$about" >/dev/null 2>&1; }
about_open() {
    about=$(xdotool search --onlyvisible --name "^About Zorvak\$" 2>/dev/null | head -n1)
    [ -n "$about" ]
}
if play "1022 698" --scale=2; then
    # 20 switches queued at once, then Alt+A behind them: without a window
    # manager each switch is the program's own resize, not a wait for one.
    # (5 ms apart: keys sent closer read as the key's auto-repeat.)
    started=$(now_us)
    xdotool key --delay 5 F11 F11 F11 F11 F11 F11 F11 F11 F11 F11 F11 F11 F11 F11 F11 F11 F11 \
        F11 F11 F11 alt+a
    wait_for 10 about_open
    took=$((($(now_us) - started) / 1000))
    check "20 queued full-screen switches and Alt+A behind them take under 1 s (took $took ms)" \
        test "$took" -lt 1000
    check "... and the window is back at 1022 x 698" size_is "$window" "1022 698"
    if [ -n "$about" ]; then
        xdotool key F11
        check "F11 with the About window open: full screen" \
            wait_for 5 size_is "$window" "1920 1080"
        xdotool key F11
        check "F11 again: the window" wait_for 5 size_is "$window" "1022 698"
        check "the About window is still above the main window" \
            "$xhelper" above "$about" "$window"
        xdotool key alt+F4
        wait_until 5 "Alt+F4 to close the About window" about_gone
    fi
    stop
fi
if play "1920 1080" --fullscreen; then
    xdotool key alt+Return
    check "Alt+Enter leaves full screen for the 2x window" wait_for 5 size_is "$window" "1022 698"
    stop
fi
if play "1920 1080" --scale 1 --fullscreen; then
    xdotool key F11
    check "leaving full screen, the window has the scale asked for" \
        wait_for 5 size_is "$window" "511 349"
    stop
fi

# ---- Settings kept from one run to the next (in $XDG_CONFIG_HOME/zorvak).
settings="$XDG_CONFIG_HOME/zorvak/settings"
check "the last run's scale and window were kept ($(tr '\n' ' ' <"$settings"))" \
    grep -qx 'scale=1' "$settings"
if play "511 349"; then # the scale asked for last time
    xdotool key F11
    wait_until 5 "full screen" size_is "$window" "1920 1080"
    stop
fi
if play "1920 1080"; then # left in full screen last time
    stop
fi
# A damaged settings file: the defaults (the scale that fits, 2x here) and
# one line that says so, and the program plays on and writes it anew.
printf 'scale=7\nvolume=11\n' >"$settings"
if play "1022 698"; then
    stop
    check "a damaged settings file costs one line on stderr ($(cat "$work/zorvak.err"))" \
        test "$(grep -c "settings: line 2: 'volume=11' is not a setting" "$work/zorvak.err")" = 1
    check "... and is written anew" grep -qx 'scale=0' "$settings"
fi
# A settings folder that cannot be made: one line, and the program plays on.
: >"$work/not-a-folder"
XDG_CONFIG_HOME="$work/not-a-folder/config" play "511 349" --scale 1 && stop
check "settings that cannot be kept cost one line on stderr ($(cat "$work/zorvak.err"))" \
    test "$(grep -c 'the settings were not kept' "$work/zorvak.err")" = 1
finish
