#!/bin/bash
# Cross-builds the whole Windows program in a scratch folder with the i686
# mingw-w64 compilers and checks what came out: a warning-free build of a
# 32-bit GUI program that carries its resources and needs no DLL beyond the
# ones every Windows system has.
# Usage: windows_cross_build.sh <source dir> <scratch dir>
# Exit code 77 (skipped) when the cross compiler is not installed.
set -u
source_dir=$1
scratch=$2
prefix=i686-w64-mingw32
for tool in $prefix-g++ $prefix-windres $prefix-objdump; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool not installed: skipped"
        exit 77
    fi
done

fail() {
    echo "FAILED: $*"
    exit 1
}

rm -rf "$scratch"
mkdir -p "$scratch"
log=$scratch/build.log
cmake -S "$source_dir" -B "$scratch/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake" >"$log" 2>&1 ||
    { cat "$log"; fail "configure"; }
cmake --build "$scratch/build" -j2 >>"$log" 2>&1 || { cat "$log"; fail "build"; }
if grep -i "warning" "$log"; then
    fail "the Windows build has warnings"
fi

exe=$scratch/build/windows/zorvak.exe
[ -f "$exe" ] || fail "no zorvak.exe"
headers=$($prefix-objdump -p "$exe")
grep -q "file format pei-i386" <<<"$headers" || fail "not a 32-bit Windows program"
grep -Eq "^Subsystem[[:space:]]+0*2[[:space:]]" <<<"$headers" || fail "not a GUI program"

# Only system DLLs: the C and C++ runtimes are linked in.
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
echo "imports: $(echo $dlls)"
for dll in $dlls; do
    case $dll in
    kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll) ;;
    *) fail "depends on $dll" ;;
    esac
done
grep -q "user32.dll" <<<"$dlls" || fail "no window calls imported"

# The resources: the menu, the three pictures, and every sprite by name.
grep -q "\.rsrc" <(
    $prefix-objdump -h "$exe"
) || fail "no resource section"
strings_le=$(strings -el "$exe")
for name in MENU_1 BMP_INTRO BMP_GAMEOVER BMP_ABOUT IC_ALIEN1 IC_BLANC IC_SHIP1 IC_BASE4 \
    IC_WALL4 ICON_1; do
    grep -qF "$name" <<<"$strings_le" || fail "resource $name missing"
done
for text in "&New game" "&About Zorvak" "&Quit Zorvak"; do
    grep -qF "$text" <<<"$strings_le" || fail "menu item $text missing"
done
echo "zorvak.exe: $(stat -c %s "$exe") bytes"
exit 0
