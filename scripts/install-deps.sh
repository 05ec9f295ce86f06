#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the game, its tests and its tools need.
# Uses sudo when not run as root; does nothing when everything is there.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libglfw3-dev libglew-dev libglm-dev libassimp-dev libfreetype-dev libstb-dev
    libgl1-mesa-dri libglx-mesa0 mesa-utils libx11-dev libxtst6
    libgtest-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils imagemagick
    clang libclang-rt-14-dev
)
# Only the packages the play command needs, when called with --play.
if [[ "${1:-}" == "--play" ]]; then
    packages=(
        build-essential cmake pkg-config
        libglfw3-dev libglew-dev libglm-dev libassimp-dev libfreetype-dev libstb-dev
        libgl1-mesa-dri libglx-mesa0 libx11-dev libxtst6
        xvfb xauth xdotool x11-utils imagemagick
    )
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
