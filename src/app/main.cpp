// cellquest: fly through a room of 10 x 10 x 10 cells to the trophy while the
// red and blue blocks step with and against every change of your cell.
#include "app/assetLocation.h"
#include "app/gameRun.h"
#include "app/options.h"
#include "app/runGame.h"

#include <iostream>

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    if (!options.error.empty()) {
        std::cerr << options.error << "\n\n" << usageText(argv[0]);
        return 2;
    }
    if (options.help) {
        std::cout << usageText(argv[0]);
        return 0;
    }
    // Missing assets stop the game before any window opens; nobody is asked
    // to press a key.
    const std::optional<AssetRoot> assets = locateAssets(std::cerr);
    if (!assets) {
        return 1;
    }
    // So does a bad level file.
    GameRunLoad load = prepareRun(options, *assets, std::cerr);
    if (!load.run) {
        std::cerr << load.error << std::endl;
        return 2;
    }
    return runGame(options, *load.run, *assets);
}
