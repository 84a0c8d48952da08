#!/bin/bash
# Cross-builds the whole Windows program with the mingw-w64 compilers for one
# processor and checks what came out: a warning-free build of a GUI program
# of that width that carries its resources and needs no DLL beyond the ones
# every Windows system has.  The build folder is kept, so a second run only
# rebuilds what changed (warnings are errors there, so none go unseen).
# Usage: cross_build.sh <source dir> <build dir> i686|x86_64
# Exit code 77 (skipped) when the cross compiler is not installed.
set -u
source_dir=$1
build=$2
arch=$3
prefix=$arch-w64-mingw32
case $arch in
i686) format=pei-i386 ;;
x86_64) format=pei-x86-64 ;;
*) echo "unknown processor $arch"; exit 2 ;;
esac
for tool in "$prefix-g++" "$prefix-windres" "$prefix-objdump"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool not installed: skipped"
        exit 77
    fi
done

fail() {
    echo "FAILED: $*"
    exit 1
}

mkdir -p "$build"
log=$build/build.log
cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-$arch.cmake" \
    -DCMAKE_CXX_FLAGS=-Werror >"$log" 2>&1 ||
    { cat "$log"; fail "configure"; }
cmake --build "$build" -j2 >>"$log" 2>&1 || { cat "$log"; fail "build"; }
if grep -i "warning" "$log"; then
    fail "the Windows build has warnings"
fi

exe=$build/windows/zorvak.exe
[ -f "$exe" ] || fail "no zorvak.exe"
headers=$("$prefix-objdump" -p "$exe")
grep -q "file format $format" <<<"$headers" || fail "not a $arch Windows program"
grep -Eq "^Subsystem[[:space:]]+0*2[[:space:]]" <<<"$headers" || fail "not a GUI program"

# Only system DLLs: the C and C++ runtimes are linked in.
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr '[:upper:]' '[:lower:]' | sort -u)
echo "imports: ${dlls//$'\n'/ }"
for dll in $dlls; do
    case $dll in
    kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll) ;;
    *) fail "depends on $dll" ;;
    esac
done
grep -q "user32.dll" <<<"$dlls" || fail "no window calls imported"

# The resources: the menu, the three pictures, and every sprite by name.
grep -q "\.rsrc" <(
    "$prefix-objdump" -h "$exe"
) || fail "no resource section"
strings_le=$(strings -el "$exe")
for name in MENU_1 BMP_INTRO BMP_GAMEOVER BMP_ABOUT IC_ALIEN1 IC_BLANC IC_SHIP1 IC_BASE4 \
    IC_WALL4 ICON_1; do
    grep -qF "$name" <<<"$strings_le" || fail "resource $name missing"
done
for text in "&New game" "&About Zorvak" "&Quit Zorvak"; do
    grep -qF "$text" <<<"$strings_le" || fail "menu item $text missing"
done
echo "zorvak.exe ($arch): $(stat -c %s "$exe") bytes"

# The ZIP for players: the program and its text file in one folder.
case $arch in
i686) bits=32 ;;
x86_64) bits=64 ;;
esac
rm -f "$build"/zorvak-*-win*.zip
(cd "$build" && cpack -G ZIP) >>"$log" 2>&1 || { cat "$log"; fail "cpack"; }
zips=("$build"/zorvak-*-win"$bits".zip)
[ -f "${zips[0]}" ] || fail "cpack made no zorvak-VERSION-win$bits.zip"
zip=$(basename "${zips[0]}" .zip)
listing=$(cmake -E tar tf "$build/$zip.zip" | sort) || fail "unreadable $zip.zip"
expected=$(printf '%s\n' "$zip/README.txt" "$zip/zorvak.exe")
[ "$listing" = "$expected" ] || fail "$zip.zip holds: ${listing//$'\n'/ }"
mkdir -p "$build/unzipped"
(cd "$build/unzipped" && cmake -E tar xf "../$zip.zip") || fail "cannot unpack $zip.zip"
cmp -s "$build/unzipped/$zip/zorvak.exe" "$exe" || fail "the zipped zorvak.exe is not the one built"
grep -q $'\r$' "$build/unzipped/$zip/README.txt" || fail "README.txt has no Windows line ends"
echo "$zip.zip: $(stat -c %s "$build/$zip.zip") bytes"
exit 0
