#!/bin/bash
# The Debian package as a player gets it.  Two steps, so that the build does
# not hold up the tests that run on the real clock:
#
#   package.sh build SOURCE_DIR BUILD_DIR
#       a release build packed by CPack (the build folder is kept, so a
#       second run only rebuilds what changed)
#   package.sh lint SOURCE_DIR BUILD_DIR
#       lintian, Debian's package checker: no error and no warning
#   package.sh check SOURCE_DIR BUILD_DIR XHELPER OUTDIR
#       its control fields and its file list, its files unpacked into a
#       scratch root and checked by the freedesktop validators (offline), the
#       manual page, the same build installed into a prefix of a user's own,
#       and the program started from the menu entry's Exec line on an X
#       desktop of our own, with screenshots of it in a window and in full
#       screen
#
# Exit 0: passed; 77: Xvfb or xdotool (check) or lintian (lint) missing
# (skipped); anything else: failed.
set -u
step=$1
source_dir=$2
build=$3

fail() {
    echo "FAILED: $*"
    exit 1
}

if [ "$step" = build ]; then
    mkdir -p "$build"
    log=$build/package.log
    cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZORVAK_TESTS=OFF >"$log" 2>&1 ||
        { cat "$log"; fail "configure"; }
    cmake --build "$build" -j2 >>"$log" 2>&1 || { cat "$log"; fail "build"; }
    rm -f "$build"/zorvak_*.deb
    (cd "$build" && cpack -G DEB) >>"$log" 2>&1 || { cat "$log"; fail "cpack"; }
    debs=("$build"/zorvak_*.deb)
    [ -f "${debs[0]}" ] || fail "cpack made no zorvak_VERSION_ARCH.deb"
    echo "package: $(basename "${debs[0]}"), $(stat -c %s "${debs[0]}") bytes"
    exit 0
fi

debs=("$build"/zorvak_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || fail "no package: run \"package.sh build\" first"

if [ "$step" = lint ]; then
    if ! command -v lintian >/dev/null; then
        echo "SKIP: lintian is not installed (scripts/test installs it)"
        exit 77
    fi
    # Its own findings, without its remark on being run as root.
    lintian --fail-on error,warning --display-level '>=info' "$deb" 2>&1 |
        grep -v "running with root privileges"
    status=${PIPESTATUS[0]}
    [ "$status" = 0 ] || fail "lintian finds errors or warnings in $(basename "$deb") (exit code $status)"
    echo "lintian: no error, no warning in $(basename "$deb")"
    exit 0
fi

xhelper=$4
outdir=$5
# shellcheck source=../support/x_desktop.sh
. "$source_dir/tests/support/x_desktop.sh"
mkdir -p "$outdir"
app=org.zorvak.Zorvak

field() { dpkg-deb -f "$deb" "$1"; }
version=$("$build/zorvak" --version | sed -n 's/^zorvak //p')
check "Package: zorvak, Version: $version (got $(field Package) $(field Version))" \
    test "$(field Package) $(field Version)" = "zorvak $version"
check "Section: games (got $(field Section))" test "$(field Section)" = games
check "Architecture: this machine's (got $(field Architecture))" \
    test "$(field Architecture)" = "$(dpkg --print-architecture)"
depends=$(field Depends)
echo "Depends: $depends"
check "it depends on the SDL2 runtime" grep -q "libsdl2-2\.0-0 " <<<"$depends"
no_dev_package() { ! grep -q -- "-dev\b" <<<"$depends"; }
check "it depends on no development package" no_dev_package
installed() { # each dependency is one that this machine has
    local name candidate
    for name in $(tr ',' '\n' <<<"$depends" | sed 's/(.*)//; s/|.*//'); do
        # Libraries are installed per architecture.
        for candidate in "$name:$(dpkg --print-architecture)" "$name" ""; do
            [ -n "$candidate" ] || { echo "    not installed: $name"; return 1; }
            [ "$(dpkg-query -W -f='${Status}' "$candidate" 2>/dev/null)" = "install ok installed" ] &&
                break
        done
    done
}
check "every dependency is a package that installs here" installed

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
expected=$(sort <<EOF2
./usr/games/zorvak
./usr/share/applications/$app.desktop
./usr/share/metainfo/$app.metainfo.xml
./usr/share/man/man6/zorvak.6.gz
./usr/share/doc/zorvak/changelog.gz
./usr/share/doc/zorvak/copyright
./usr/share/icons/hicolor/32x32/apps/$app.png
./usr/share/icons/hicolor/48x48/apps/$app.png
./usr/share/icons/hicolor/64x64/apps/$app.png
./usr/share/icons/hicolor/128x128/apps/$app.png
./usr/share/icons/hicolor/256x256/apps/$app.png
EOF2
)
check "the package holds exactly the program, its menu entry, icons, metainfo, manual and notes" \
    test "$files" = "$expected"
[ "$files" = "$expected" ] || diff <(echo "$expected") <(echo "$files")

# ---- Unpacked into a scratch root, as dpkg would install it.
root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb cannot unpack the package"
share=$root/usr/share
check "desktop-file-validate passes" desktop-file-validate "$share/applications/$app.desktop"
check "appstreamcli validate passes (offline)" \
    appstreamcli validate --no-net "$share/metainfo/$app.metainfo.xml"
desktop_key() { sed -n "s/^$1=//p" "$share/applications/$app.desktop"; }
in_categories() { # in_categories CATEGORY...: the menu entry is in each
    local category
    for category in "$@"; do
        [[ ";$(desktop_key Categories);" == *";$category;"* ]] || return 1
    done
}
check "the menu entry is a game in the arcade category ($(desktop_key Categories))" \
    in_categories Game ArcadeGame
check "the menu entry's icon is the one installed" test "$(desktop_key Icon)" = "$app"
check "the metainfo's newest release is version $version" \
    grep -q "<release version=\"$version\"" "$share/metainfo/$app.metainfo.xml"
newest_note_is() { zcat "$share/doc/zorvak/changelog.gz" | head -n1 | grep -q "^zorvak ($1) "; }
check "the release notes' newest entry is version $version" newest_note_is "$version"
png_size() { # width and height from the PNG header
    od -An -tu1 -j16 -N8 "$1" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4 "x" $5*16777216 + $6*65536 + $7*256 + $8 }'
}
for size in 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x$size/apps/$app.png
    check "the ${size}x$size icon is ${size}x$size pixels ($(png_size "$icon"))" \
        test "$(png_size "$icon")" = "${size}x$size"
done
manual=$work/manual.txt
zcat "$share/man/man6/zorvak.6.gz" | groff -man -ww -z -Tutf8 2>"$work/groff.err"
check "the manual page formats without a warning" test ! -s "$work/groff.err"
cat "$work/groff.err"
zcat "$share/man/man6/zorvak.6.gz" | groff -man -Tascii -P -cbou 2>/dev/null >"$manual"
for words in "--fullscreen" "--scale N" "F11 or Alt+Enter" "GAMEPAD" "Start" "EXIT STATUS"; do
    check "the manual page tells of \"$words\"" grep -qF -- "$words" "$manual"
done

# ---- The same build installed into a prefix of a user's own: the program
# in bin/, not in games/, and the rest as in the package.
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "cmake --install"; }
installed_files=$(cd "$prefix" && find . -type f | sort)
expected_files=$(sed 's|^\./usr/games/|./bin/|; s|^\./usr/|./|' <<<"$expected" | sort)
check "cmake --install --prefix puts the program in bin/ and the rest as the package does" \
    test "$installed_files" = "$expected_files"
[ "$installed_files" = "$expected_files" ] || diff <(echo "$expected_files") <(echo "$installed_files")
exec_finds() { # exec_finds PATH PROGRAM: the menu entry's Exec finds PROGRAM on PATH
    [ "$(PATH=$1 command -v "$(desktop_key Exec)")" = "$2" ]
}
check "from there, Exec=$(desktop_key Exec) finds bin/zorvak on a PATH with the prefix's bin/" \
    exec_finds "$prefix/bin:/usr/bin:/bin" "$prefix/bin/zorvak"

# ---- Started from the menu entry, as a desktop starts it, with /usr/games
# on the PATH as Debian gives every user (/etc/profile, /etc/login.defs).
start_xvfb || fail "no X desktop"
exec_line=$(desktop_key Exec)
PATH="$root/usr/games:$PATH" bash -c "exec $exec_line" >"$work/zorvak.out" 2>"$work/zorvak.err" &
zorvak_pid=$!
window=$(find_window ZORVAK 15)
[ -n "$window" ] || { cat "$work/zorvak.err"; fail "Exec=$exec_line opened no window titled ZORVAK"; }
check "Exec=$exec_line starts the installed program" \
    test "$(readlink -f "/proc/$zorvak_pid/exe")" = "$(readlink -f "$root/usr/games/zorvak")"
size_is() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    [ "$WIDTH $HEIGHT" = "$2" ]
}
class_is() { xprop -id "$window" WM_CLASS | grep -q "\"$1\""; }
title_starts() { [[ $(xdotool getwindowname "$window") == "$1"* ]]; }
# lit X0 Y0 X1 Y1: how many pixels of that box of the window are not black.
lit() { "$xhelper" centroid "$window" "$@" | cut -d' ' -f2; }
# The full-screen frame: black around the picture, its caption bar lit (the
# window's old picture still stands in the corner until the first frame).
full_screen_shown() { [ "$(lit 0 0 449 172)" = 0 ] && [ "$(lit 449 172 1471 210)" -gt 0 ]; }
check "its window is 1022 x 698, the image at 2x" size_is "$window" "1022 698"
check "its window class is the menu entry's ($(xprop -id "$window" WM_CLASS 2>/dev/null))" \
    class_is "$app"
check "the first paint: the introduction as the stand-in draws it, at 2x" \
    wait_for 5 "$xhelper" compare intro "$window" 0 38 "$outdir" 2
check "screenshot from the menu entry: $outdir/menu-entry.png" \
    "$xhelper" shot "$window" "$outdir/menu-entry.png" 2
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool mousemove --window "$window" 9 9
xdotool key alt+n
check "Alt+N starts a game" wait_for 5 title_starts "Lives: 05 - Level 01 - Score: "
xdotool key F11
check "F11: full screen" wait_for 5 size_is "$window" "1920 1080"
check "the full-screen frame is shown" wait_for 5 full_screen_shown
# The 511 x 368 caption bar and image at 2x, centred.
check "full-screen screenshot, sharp 2x pixels: $outdir/full-screen.png" \
    "$xhelper" shot "$window" "$outdir/full-screen.png" 2 449 172 1022 736
check "... and of the whole screen: $outdir/full-screen-whole.png" \
    "$xhelper" shot "$window" "$outdir/full-screen-whole.png" 1
check "the title is the status line in full screen too" title_starts "Lives: "
xdotool key F11
check "F11 again: back in the 1022 x 698 window" wait_for 5 size_is "$window" "1022 698"
"$xhelper" close "$window"
check_exit "$zorvak_pid" 15 "closing the window"
zorvak_pid=
[ -s "$work/zorvak.err" ] && sed 's/^/    stderr: /' "$work/zorvak.err"
echo "screenshots in $outdir"
finish
