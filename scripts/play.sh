#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from the folder that
# holds its assets. Extra arguments go to the game (for example --windowed).
#
# Without a display (no DISPLAY and no WAYLAND_DISPLAY) it plays a headless
# demo instead: the game runs under a virtual X display and plays itself to
# the win, and screenshots and an animated GIF of the run land in demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build-play"

source scripts/buildType.sh
bash scripts/install-deps.sh --play
configurePlayBuild "$root" "$build"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    cmake --build "$build" -j"$(nproc)" --target cellquest
    exec "$build/cellquest" "$@"
fi

echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set)."
echo "Playing a headless demo instead: the game runs under a virtual X display"
echo "and plays itself to the win with the test suite's driver."
cmake --build "$build" -j"$(nproc)" --target cellquest playGame
demo="$root/demo"
rm -rf "$demo"
mkdir -p "$demo"
export MESA_SHADER_CACHE_DIR="$build/mesa-shader-cache"
xvfb-run -a -s "-screen 0 1024x768x24" \
    "$build/playGame" "$build/cellquest" "$root" "$demo" </dev/null
shopt -s nullglob
shots=("$demo"/*.png)
if [[ ${#shots[@]} -gt 0 ]]; then
    convert -delay 60 -loop 0 -resize 512x384 "${shots[@]}" "$demo/run.gif"
fi
echo "The demo's screenshots and its animated GIF (run.gif) are in $demo/"
