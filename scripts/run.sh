#!/usr/bin/env bash
# Sets up a fresh machine, builds KAVRO and converts the bundled sample data.
# "scripts/run.sh desk" builds the same and starts the desktop, KavroDesk.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j"$(nproc)"

if [ "${1:-}" = desk ]; then
    exec build/release/bin/KavroDesk
fi

engine=build/release/bin/KAVRO
out=out/samples
mkdir -p "$out"
"$engine/KAVRO" -FT TXT -IF data/samples/points_gbo.txt \
    -OF "$out/points_utm.txt" -TS "$engine/script/GBO-UTM32ETRS89-VLM.xml" || true
echo "Results are in $out"
