#!/usr/bin/env bash
# Soak run of the real game: builds the game and the soak tool (Release, in
# build-soak/) and plays FRAMES frames (default 20000) under a virtual X
# display with random held keys, mode switches and mouse motion drawn from
# SEED (default 20260). Every trace line is checked against the tool's own
# copy of the world, and the game's resident memory must not grow by more
# than 5 MB after the first 100 frames. The player is kept away from the
# trophy's cell, so the game never wins and ends itself; see tools/soakGame.cpp.
#
# On two cores with Mesa's software renderer the default run takes from about
# half an hour to over an hour, depending on what else the machine is doing;
# FRAMES=2000 gives a quick one.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build-soak"
frames="${FRAMES:-20000}"
seed="${SEED:-20260}"

source scripts/buildType.sh
bash scripts/install-deps.sh --play
configurePlayBuild "$root" "$build"
cmake --build "$build" -j"$(nproc)" --target cellquest soakGame

export MESA_SHADER_CACHE_DIR="$build/mesa-shader-cache"
export XDG_CACHE_HOME="$build/cache"
exec xvfb-run -a -s "-screen 0 1024x768x24" \
    "$build/soakGame" "$build/cellquest" "$root" "$frames" "$seed" </dev/null
