#!/usr/bin/env bash
# Long fuzzing: builds the fuzz targets (clang 14's libFuzzer, ASan, UBSan) in
# build/fuzz and runs each for SECONDS (default 600) on one core, over a copy
# of its seed corpus kept in build/fuzz/long/TARGET, so that a second run goes
# on from what the first one found.  An input that fails a check or crashes
# is left as build/fuzz/long/TARGET-crash-*; rerun it with
#   build/fuzz/fuzz/TARGET build/fuzz/long/TARGET-crash-...
#
#   fuzz/run.sh [SECONDS [TARGET...]]
#   TARGET: icon_fuzzer bitmap_fuzzer menu_fuzzer rcscript_fuzzer program_fuzzer replay_fuzzer
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/fuzz"
seconds="${1:-600}"
shift || true
targets=("$@")
((${#targets[@]})) || targets=(icon_fuzzer bitmap_fuzzer menu_fuzzer rcscript_fuzzer program_fuzzer
    replay_fuzzer)

"$root/scripts/ensure-packages" build-essential cmake clang-14 libclang-rt-14-dev libgtest-dev \
    libpng-dev
cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVAK_FUZZ=ON -DZORVAK_TESTS=OFF -DZORVAK_SDL=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

status=0
for target in "${targets[@]}"; do
    corpus="$build/long/$target"
    mkdir -p "$corpus"
    cp -n "$root/fuzz/corpus/$target/"* "$corpus/"
    echo "== $target for $seconds s"
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/long/$target-" "$corpus" || status=1
done
exit "$status"
