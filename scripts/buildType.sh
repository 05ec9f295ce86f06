# The one build type of the game that players run and that the test suite
# tests: scripts/play.sh, scripts/test.sh and scripts/soak.sh all build with
# it (playLevels.sh too), so the end-to-end tests and the headless demo run
# the binary players get.
gameBuildType=Release

# Configures the game's own build (no tests, no benchmarks) in folder $2 from
# the source folder $1.
configurePlayBuild() {
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE="$gameBuildType" -DCELLQUEST_TESTS=OFF \
        -DCELLQUEST_BENCH=OFF >/dev/null
}
