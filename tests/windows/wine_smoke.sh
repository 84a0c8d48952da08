#!/bin/bash
# The Windows program under Wine, on an X desktop of our own, driven as a
# player would and held against the stand-in: the window appears (Wine's
# exit code alone proves nothing: a program it cannot run may end with 0
# too), its title, place and sizes, the introduction and the walls pixel for
# pixel against the stand-in's own rendering, Alt+N and the status line,
# Left and Right moving the ship, the About window from the menu (its client
# against the stand-in's, its ten seconds on the real clock, the game frozen
# meanwhile, the keyboard back on the main window after it), menu mode from
# an Alt tap, Alt+F4 on the About window, and Alt+Q ending the program with
# exit code 0.  The 64-bit program always; the 32-bit one,
# which is what Windows players get, where Wine's 32-bit half is installed.
#
#   wine_smoke.sh SOURCE_DIR WORK_DIR XHELPER EXE64 EXE32
#
# The Wine prefix (a Wine virtual desktop set in its registry, so that no
# window manager is needed) lives in WORK_DIR and is made on the first run.
# Exit 0: passed; 77: Wine, Xvfb, xdotool or the x86_64 cross compiler
# missing (skipped); else failed.
set -u
source_dir=$1
work_dir=$2
xhelper=$3
exe64=$4
exe32=$5

find_tool() { # the first of the candidates that is an executable
    local c
    for c in "$@"; do
        if [ -x "$c" ]; then
            echo "$c"
            return
        fi
        command -v "$c" 2>/dev/null && return
    done
}
wine64=$(find_tool /usr/lib/wine/wine64 wine64)
wine32=$(find_tool /usr/lib/wine/wine)
# Wine's 32-bit half may be installed on a kernel that runs no 32-bit
# programs at all (no IA-32 emulation: "Exec format error"); the 32-bit run
# is then skipped as if it were missing.
wine32_why="Wine's 32-bit half (Debian's wine32:i386) is not installed"
if [ -n "$wine32" ] && ! "$wine32" --version >/dev/null 2>&1; then
    wine32_why="this kernel does not run 32-bit programs ($wine32 does not start)"
    wine32=""
fi
wineserver=$(find_tool /usr/lib/wine/wineserver wineserver)
if [ -z "$wine64" ] || [ -z "$wineserver" ]; then
    echo "SKIP: Wine (Debian's wine64) is not installed"
    exit 77
fi

if ! command -v x86_64-w64-mingw32-gcc >/dev/null; then
    echo "SKIP: the x86_64 mingw-w64 compiler is not installed"
    exit 77
fi
for exe in "$exe64" "$exe32"; do
    [ -f "$exe" ] || { echo "FAILED: $exe was not built"; exit 1; }
done

outdir=$work_dir/screens
mkdir -p "$outdir"
# Asks Windows about the program's windows from inside the same desktop.
probe_exe=$work_dir/probe.exe
if ! [ "$probe_exe" -nt "$source_dir/tests/windows/probe.c" ]; then
    x86_64-w64-mingw32-gcc -O2 -Wall -Wextra -Werror -o "$probe_exe" \
        "$source_dir/tests/windows/probe.c" || { echo "FAILED: probe.exe"; exit 1; }
fi
# shellcheck source=../support/x_desktop.sh
. "$source_dir/tests/support/x_desktop.sh"

export WINEPREFIX=$work_dir/prefix
export WINEDEBUG=-all
# No .NET or HTML engine: nothing here needs them, and Wine would offer to
# download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEARCH
cleanup_more() { "$wineserver" -k 2>/dev/null; } # this prefix's server only

now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }
# What Windows says about the window of a class: found, title, window
# (left top width height), client (corner left top, width height), active.
# Fails when the probe said nothing (Wine can fail to start a program on a
# loaded machine), so that no answer is never taken for "no window".
probe() {
    found='' title='' window='' client='' active=''
    local key value
    while IFS='=' read -r key value; do
        case $key in
        found | title | window | client | active) printf -v "$key" '%s' "$value" ;;
        esac
    done < <("$wine64" "$probe_exe" "$1" 2>/dev/null | tr -d '\r')
    [ -n "$found" ]
}
window_is() { probe "$1" && [ "$found" = 1 ]; }
window_gone() { probe "$1" && [ "$found" = 0 ]; }
title_is() { probe CL_ZORVAK && [ "$title" = "$1" ]; }

start_xvfb || { echo "FAILED: no X desktop"; exit 1; }
echo "display $DISPLAY"

# ---- The prefix: made once per build folder, again when Wine's 32-bit half
# came or went.
kind="wine64${wine32:+ wine32}"
if [ "$(cat "$WINEPREFIX/zorvak-prefix" 2>/dev/null)" != "$kind" ]; then
    rm -rf "$WINEPREFIX"
    started=$(now)
    "$wine64" wineboot --init >"$work/wineboot.log" 2>&1
    # A virtual desktop as large as the X screen: Wine's windows live
    # inside it, framed by Wine, with no window manager needed.
    "$wine64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$wine64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1920x1080 /f \
        >/dev/null 2>&1
    "$wineserver" -w
    if ! grep -q '"Default"="1920x1080"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        echo "FAILED: no Wine prefix with a virtual desktop could be made"
        cat "$work/wineboot.log"
        exit 1
    fi
    echo "$kind" >"$WINEPREFIX/zorvak-prefix"
    echo "new Wine prefix ($kind) in $(seconds_since "$started") s"
fi
# Debian's Wine does not find the fonts of its own fonts-wine package in a
# new prefix (the caption buttons would show as letters, the captions in
# another font): they go into the prefix's Fonts folder.
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null

# The ship's row between the walls: client rows 250 to 281, columns 32 to
# 478; prints the mean column of its lit pixels on the screen.
ship_x() {
    "$xhelper" centroid 0 $((cx + 32)) $((cy + 250)) $((cx + 479)) $((cy + 282)) | cut -d' ' -f1
}
# A screenshot of a window by its probed outer rectangle.
shot() { # shot NAME
    local l t w h
    read -r l t w h <<<"$window"
    "$xhelper" shot 0 "$outdir/$1.png" 1 "$l" "$t" "$w" "$h" >/dev/null
}

run_program() { # run_program LABEL LOADER EXE
    local label=$1 loader=$2 exe=$3
    echo "---- $label: $exe"
    local started
    started=$(now)
    "$loader" "$exe" >"$work/$label.out" 2>&1 &
    zorvak_pid=$!
    if ! wait_for 30 window_is CL_ZORVAK; then
        echo "FAILED: $label: no window of class CL_ZORVAK appeared"
        cat "$work/$label.out"
        failures=$((failures + 1))
        return
    fi
    echo "ok: $label: the window appeared after $(seconds_since "$started") s"
    wait_for 5 probe CL_ZORVAK
    check "$label: title \"ZORVAK\" (got \"$title\")" test "$title" = ZORVAK
    # As the stand-in places it on a 1920 x 1080 desktop.
    check "$label: window 517 x 374 centred at 702, 353 (got $window)" \
        test "$window" = "702 353 517 374"
    local cw ch
    read -r cx cy cw ch <<<"$client"
    check "$label: client area 511 x 330 (got $cw x $ch)" test "$cw $ch" = "511 330"
    # Waits for the first paint, which a loaded machine may delay.
    check "$label: introduction and walls as the stand-in draws them" \
        wait_for 5 "$xhelper" compare intro 0 "$cx" "$cy" "$outdir"
    shot "$label-intro"

    # The keyboard: Wine's desktop window has the X focus.  On a loaded
    # machine the first key can arrive before Wine has given the program's
    # window the focus inside its desktop; a second Alt+N does no harm (a new
    # game shows the same status line), so the key is pressed up to 3 times.
    alt_n_started() {
        local attempt
        for attempt in 1 2 3; do
            xdotool windowfocus --sync "$(xdotool search --name 'Wine desktop' | head -n1)" 2>/dev/null
            xdotool key alt+n
            wait_for 5 title_is "Lives: 05 - Level 01 - Score: 00000" && return 0
            echo "($label: no new game after Alt+N, attempt $attempt)"
        done
        return 1
    }
    check "$label: Alt+N starts a game: the status line is the title" alt_n_started
    # The ship keeps the direction of the last arrow key, 4 pixels a tick.
    local start_x left_x moved_x
    ship_moved_past() { # ship_moved_past OP X
        moved_x=$(ship_x)
        test -n "$moved_x" && test "$moved_x" "$1" "$2"
    }
    wait_for 5 ship_moved_past -gt 0
    start_x=$moved_x
    xdotool key Left
    check "$label: Left moves the ship left (from x $start_x)" \
        wait_for 5 ship_moved_past -lt $((start_x - 20))
    left_x=$(ship_x)
    xdotool key Right
    check "$label: Right moves the ship right (from x $left_x)" \
        wait_for 5 ship_moved_past -gt $((left_x + 20))
    wait_for 5 probe CL_ZORVAK
    shot "$label-game"

    # The About window from the menu, the ship still steering right.
    local before_x opened
    before_x=$(ship_x)
    opened=$(now)
    xdotool key alt+a
    if ! wait_for 5 window_is CL_ABOUT_ZORVAK; then
        echo "FAILED: $label: Alt+A opened no About window"
        failures=$((failures + 1))
    else
        check "$label: About window titled \"About Zorvak\" (got \"$title\")" \
            test "$title" = "About Zorvak"
        check "$label: About window 453 x 332 centred at 734, 374 (got $window)" \
            test "$window" = "734 374 453 332"
        local ax ay aw ah
        read -r ax ay aw ah <<<"$client"
        check "$label: About client area 447 x 307 (got $aw x $ah)" test "$aw $ah" = "447 307"
        check "$label: About picture as the stand-in draws it" \
            "$xhelper" compare about 0 "$ax" "$ay" "$outdir"
        shot "$label-about"
        wait_for 20 window_gone CL_ABOUT_ZORVAK
        local open_for after_x
        open_for=$(seconds_since "$opened")
        after_x=$(ship_x)
        check "$label: the About window closed itself after ten seconds (${open_for} s)" \
            awk -v t="$open_for" 'BEGIN { exit !(t >= 9.5 && t <= 11.5) }'
        # Ten seconds of play would have taken the ship to the right wall.
        check "$label: the game stood still under it (ship x $before_x, then $after_x)" \
            test "$after_x" -lt $((before_x + 100))
        wait_for 5 probe CL_ZORVAK
        check "$label: the main window is active again" test "$active" = 1
        xdotool key Left
        # A loaded machine may take a while to deliver the key and tick.
        local back_x
        ship_left_of() { back_x=$(ship_x); test "$back_x" -lt "$1"; }
        check "$label: the keyboard steers the ship again (x $after_x before the key)" \
            wait_for 5 ship_left_of "$after_x"
        echo "   (ship x after the key: $back_x)"
    fi

    # Menu mode from the keyboard, and Alt+F4 on a window without a system
    # menu, as the stand-in does them.
    xdotool key alt
    xdotool key Right Return
    check "$label: an Alt tap, Right and Enter open the About window" \
        wait_for 5 window_is CL_ABOUT_ZORVAK
    xdotool key alt+F4
    check "$label: Alt+F4 closes it" wait_for 3 window_gone CL_ABOUT_ZORVAK
    wait_for 5 probe CL_ZORVAK
    check "$label: the main window is active again" test "$active" = 1
    # Space chooses in menu mode as Enter does: an Alt tap lights New game,
    # and Space starts a new game (the ship is back in the middle).
    xdotool key Left
    wait_for 5 ship_moved_past -lt $((start_x - 20))
    xdotool key alt
    xdotool key space
    ship_centred() {
        moved_x=$(ship_x)
        test -n "$moved_x" && test "$moved_x" -ge $((start_x - 1)) && test "$moved_x" -le $((start_x + 1))
    }
    check "$label: an Alt tap and Space start a new game (the ship back at x $start_x)" \
        wait_for 5 ship_centred

    xdotool key alt+q
    wait_exit "$zorvak_pid" 15
    zorvak_pid=
    check "$label: Alt+Q ends the program with exit code 0 (got $exit_code)" \
        test "$exit_code" = 0
    check "$label: its window is gone" window_gone CL_ZORVAK
}

test_started=$(now)
run_program win64 "$wine64" "$exe64"
if [ -n "$wine32" ]; then
    run_program win32 "$wine32" "$exe32"
else
    echo "SKIPPED: the 32-bit program: $wine32_why"
fi
echo "Wine runs took $(seconds_since "$test_started") s"
echo "screenshots in $outdir"
finish
