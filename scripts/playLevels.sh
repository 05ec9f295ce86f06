#!/usr/bin/env bash
# Plays every level of the pack (levels/*.level, in name order) to the win
# with the play driver under a virtual X display, and saves each level's
# screenshots in demo/levels/<level>/. Fails at the first level not won.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build-play"

source scripts/buildType.sh
bash scripts/install-deps.sh --play
configurePlayBuild "$root" "$build"
cmake --build "$build" -j"$(nproc)" --target cellquest playGame

export MESA_SHADER_CACHE_DIR="$build/mesa-shader-cache"
for level in "$root"/levels/*.level; do
    name=$(basename "$level" .level)
    shots="$root/demo/levels/$name"
    rm -rf "$shots"
    echo "== $name"
    xvfb-run -a -s "-screen 0 1024x768x24" \
        "$build/playGame" "$build/cellquest" "$root" "$shots" "$level" </dev/null
done
echo "Every level of the pack was played to the win; screenshots are in demo/levels/"
