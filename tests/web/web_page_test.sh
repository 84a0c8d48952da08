#!/bin/bash
# The web page's test, in two steps, so that the build does not hold up the
# tests that run on the real clock:
#
#   web_page_test.sh build SOURCE_DIR WORK_DIR RCEMBED [CMAKE_OPTION...]
#       builds the page with emscripten (the build folder is kept, so a
#       second run only rebuilds what changed) and reports its size
#   web_page_test.sh play SOURCE_DIR WORK_DIR WEB_REFERENCE ZORVAK
#       draws the reference screens on the headless backend and plays the
#       page in headless Chromium (browser_test.mjs)
#
# ZORVAK: the desktop program, which verifies a game recorded on the page
# (none: that check is left out).
# CMAKE_OPTIONs go to the page's configure step (the test build passes its
# ZORVAK_CLANG_TIDY on, so that the web backend is held to the style checks).
#
# Exit 0: passed; 77: emscripten, Chromium or Node missing (skipped).
set -u
step=$1
source_dir=$2
work=$3
shift 3

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

if [ "$step" = build ]; then
    rcembed=$1
    shift
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
    exit 0
fi

reference_tool=$1
verifier=$2
for file in zorvak.wasm zorvak.js index.html; do
    [ -f "$work/page/$file" ] || fail "no page: run \"web_page_test.sh build\" first"
done
rm -rf "$work/reference" "$work/screens"
mkdir -p "$work/reference"
"$reference_tool" "$work/reference" || fail "the headless reference screens"
node "$source_dir/tests/web/browser_test.mjs" --page "$work/page" \
    --reference "$work/reference" --out "$work/screens" --verifier "$verifier"
