#!/bin/bash
# Builds the web page with emscripten, reports its size, draws the reference
# screens on the headless backend and plays the page in headless Chromium
# (browser_test.mjs).
#
#   web_page_test.sh SOURCE_DIR WORK_DIR RCEMBED WEB_REFERENCE ZORVAK [CMAKE_OPTION...]
#
# ZORVAK: the desktop program, which verifies a game recorded on the page
# (none: that check is left out).
# CMAKE_OPTIONs go to the page's configure step (the test build passes its
# ZORVAK_CLANG_TIDY on, so that the web backend is held to the style checks).
#
# Exit 0: passed; 77: emscripten, Chromium or Node missing (skipped).
set -u
source_dir=$1
work=$2
rcembed=$3
reference_tool=$4
verifier=$5
shift 5

for tool in emcc chromium node; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (scripts/test installs it on Debian)"
        exit 77
    fi
done
fail() {
    echo "FAILED: $*"
    exit 1
}

mkdir -p "$work"
log=$work/build.log
toolchain=$(dirname "$(readlink -f "$(command -v emcc)")")/cmake/Modules/Platform/Emscripten.cmake
[ -f "$toolchain" ] || toolchain=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
cmake -S "$source_dir" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DZORVAK_RCEMBED="$rcembed" \
    -DZORVAK_WEB_OUTPUT="$work/page" "$@" >"$log" 2>&1 || { cat "$log"; fail "configure"; }
cmake --build "$work/build" -j2 >>"$log" 2>&1 || { cat "$log"; fail "build"; }
if grep -i "warning" "$log"; then
    fail "the web build has warnings"
fi
ls -R "$work/page"
for file in zorvak.wasm zorvak.js index.html sw.js manifest.webmanifest icons/zorvak-256.png; do
    [ -f "$work/page/$file" ] || fail "no $file"
    echo "$file: $(stat -c %s "$work/page/$file") bytes, $(gzip -9c "$work/page/$file" | wc -c) gzipped"
done

rm -rf "$work/reference" "$work/screens"
mkdir -p "$work/reference"
"$reference_tool" "$work/reference" || fail "the headless reference screens"
node "$source_dir/tests/web/browser_test.mjs" --page "$work/page" \
    --reference "$work/reference" --out "$work/screens" --verifier "$verifier"
