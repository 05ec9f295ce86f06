// cellquest: fly through a room of 10 x 10 x 10 cells to the trophy while the
// red and blue blocks step with and against every change of your cell.
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
    // A bad level file stops the game before any window opens.
    GameRunLoad load = prepareRun(options, std::cerr);
    if (!load.run) {
        std::cerr << load.error << std::endl;
        return 2;
    }
    return runGame(options, *load.run);
}
