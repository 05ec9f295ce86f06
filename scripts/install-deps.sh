#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the game, its tests and its tools need.
# Uses sudo when not run as root; does nothing when everything is there.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libglfw3-dev libglew-dev libglm-dev libassimp-dev libfreetype-dev libstb-dev
    libtomlplusplus-dev libimgui-dev libopenal-dev libsndfile1-dev
    libgl1-mesa-dri libglx-mesa0 mesa-utils libx11-dev libxtst6
    libgtest-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils imagemagick
    # The editor's tests put levels on the X clipboard and read them back.
    xclip
    clang
    # The desktop entry's and the metainfo's checks; dpkg-dev and file let
    # CPack find the Debian package's dependencies.
    appstream desktop-file-utils dpkg-dev file
)
needFuzzerRuntime=yes
# Only the packages the play command needs, when called with --play.
if [[ "${1:-}" == "--play" ]]; then
    packages=(
        build-essential cmake pkg-config
        libglfw3-dev libglew-dev libglm-dev libassimp-dev libfreetype-dev libstb-dev
        libtomlplusplus-dev libimgui-dev libopenal-dev libsndfile1-dev
        libgl1-mesa-dri libglx-mesa0 libx11-dev libxtst6
        xvfb xauth xdotool x11-utils imagemagick
    )
    needFuzzerRuntime=no
fi

# libFuzzer comes with clang's runtime libraries, packaged for each clang
# version: libclang-rt-N-dev on Debian 12 and recent Ubuntus, inside
# libclang-common-N-dev on older ones. N is the version the distribution's
# default clang depends on.
hasFuzzerRuntime() {
    command -v clang >/dev/null &&
        [[ -n "$(find "$(clang -print-resource-dir)" -name 'libclang_rt.fuzzer-*.a' 2>/dev/null)" ]]
}

fuzzerRuntimePackage() {
    local version
    version=$(apt-cache depends clang 2>/dev/null |
        awk -F'clang-' '/Depends: clang-[0-9]+$/ && !found { print $2; found = 1 }')
    if [[ -z "$version" ]]; then
        echo "cannot tell which clang version the clang package installs" >&2
        return 1
    fi
    if apt-cache show "libclang-rt-$version-dev" >/dev/null 2>&1; then
        echo "libclang-rt-$version-dev"
    else
        echo "libclang-common-$version-dev"
    fi
}

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
fuzzerRuntimeMissing=no
if [[ "$needFuzzerRuntime" == yes ]] && ! hasFuzzerRuntime; then
    fuzzerRuntimeMissing=yes
fi
if [[ ${#missing[@]} -eq 0 && "$fuzzerRuntimeMissing" == no ]]; then
    exit 0
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
if [[ "$fuzzerRuntimeMissing" == yes ]]; then
    runtimePackage=$(fuzzerRuntimePackage)
    missing+=("$runtimePackage")
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
