# The one build type of the game that players run and that the test suite
# tests: scripts/play.sh, scripts/test.sh and scripts/soak.sh all build with
# it, so the end-to-end tests and the headless demo run the binary players get.
gameBuildType=Release
