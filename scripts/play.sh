#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from the folder that
# holds its assets. Extra arguments go to the game (for example --windowed).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build-play"

bash scripts/install-deps.sh --play
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCELLQUEST_TESTS=OFF -DCELLQUEST_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target cellquest

exec "$build/cellquest" "$@"
