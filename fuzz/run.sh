#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time on a
# copy of its committed seed corpus (new inputs stay out of the source tree).
# A crash, a leak, a time-out or a memory blow-up fails the run and leaves
# the input in build/fuzz/findings/.
#   fuzz/run.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DKAVRO_FUZZ=ON -DKAVRO_BUILD_DESK=ON \
    -DKAVRO_BUILD_TESTS=OFF >/dev/null
targets=$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
# shellcheck disable=SC2086
cmake --build "$build" -j"$(nproc)" --target $targets

mkdir -p "$build/findings"
# The targets write their files into a scratch folder of this run.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kavro-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/.ci/lsan.supp:print_suppressions=0
export QT_QPA_PLATFORM=offscreen
status=0
for target in $targets; do
    corpus=$build/corpus/$target
    rm -rf "$corpus"
    mkdir -p "$corpus"
    seeds=fuzz/corpus/${target#fuzz_}
    [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
    log=$build/$target.log
    if "$build/fuzz/$target" "$corpus" -max_total_time="$seconds" \
        -timeout=5 -rss_limit_mb=1024 -max_len=65536 \
        -artifact_prefix="$build/findings/$target-" >"$log" 2>&1; then
        echo "$target: $(grep -E '^Done [0-9]+ runs' "$log" | tail -n 1)"
    else
        echo "$target: FINDING, see $log"
        tail -n 30 "$log"
        status=1
    fi
done
exit $status
