#!/usr/bin/env bash
# The desktop's own time over a folder of many shapefiles (default 3000):
# start-up with that folder remembered, listing it again, Add All, and Start
# (one task at a time and with every processor, side by side) beside the
# engine's own runs. Release build, offscreen.
# KAVRO_BENCH_LIST_ONLY=1 stops after Add All; KAVRO_BENCH_MIXED=1 makes the
# folder a third each of shapefiles, GeoPackages and point lists (the
# listing of 3000 such files is meant to stay under 5 s);
# KAVRO_BENCH_ROUNDS=n repeats the two Starts n times and keeps the best of
# each.
#   bench/desk.sh [files]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target KavroDesk KAVRO boxcheck \
    kavro_program_files kavro_deskbench >/dev/null
"$build/bench/kavro_deskbench" "${1:-3000}"
