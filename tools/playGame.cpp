// playGame: plays cellquest from the start to the win under the current X
// display, with held keys as a person would, and saves screenshots of the
// start, of moments on the way and of the won frame.
//
//   playGame <game-binary> <asset-dir> <screenshot-dir> [level-file]
//
// With a level file the game plays that level (--level) and the driver plans
// on the same file.
// The driver is the one the end-to-end tests use (the gameDriver library).
#include "driver/gameLauncher.h"
#include "driver/playDriver.h"
#include "world/levelFile.h"

#include <filesystem>
#include <iostream>

namespace {

const Seconds startTimeout(120);
const Seconds exitTimeout(120);

int usage(const char* program) {
    std::cerr << "Usage: " << program
              << " <game-binary> <asset-dir> <screenshot-dir> [level-file]\n"
              << "Plays the game to the win under $DISPLAY (a 1024x768 screen, e.g.\n"
              << "xvfb-run -a -s \"-screen 0 1024x768x24\") and saves screenshots.\n";
    return 2;
}

// The game's console output ends with "YOU WON!" and status 0 after its
// 301 won frames.
bool endedAsWon(GameProcess& game) {
    const ExitStatus status = game.waitForExit(exitTimeout);
    const std::vector<std::string> output = game.out().lines();
    const bool lastLineWon = !output.empty() && output.back() == "YOU WON!";
    std::cout << "game ended: " << status << (lastLineWon ? ", last line YOU WON!" : "")
              << std::endl;
    return status == exitedWith(0) && lastLineWon;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        return usage(argv[0]);
    }
    namespace fs = std::filesystem;
    const std::string problem = displayProblem();
    if (!problem.empty()) {
        std::cerr << problem << std::endl;
        return 1;
    }
    std::error_code failure;
    fs::create_directories(argv[3], failure);
    LaunchOptions launch;
    launch.executable = fs::absolute(argv[1]).string();
    launch.workingDir = fs::absolute(argv[2]).string();
    PlayOptions options;
    if (argc == 5) {
        const std::string levelPath = fs::absolute(argv[4]).string();
        const LevelLoad load = loadLevelFile(levelPath);
        if (!load.level) {
            std::cerr << load.error << std::endl;
            return 2;
        }
        launch.arguments = {"--level", levelPath};
        options.layout = load.level->layout;
        std::cout << "level: " << load.level->title << std::endl;
    }

    GameProcess game;
    const std::string startError = startFocusedGame(game, launch, startTimeout);
    if (!startError.empty()) {
        std::cerr << startError << std::endl;
        return 1;
    }
    options.screenshotDir = fs::absolute(argv[3]).string();
    options.log = [](const std::string& line) { std::cout << line << std::endl; };
    const PlayResult result = playToWin(game, options);
    for (const std::string& path : result.savedScreenshots) {
        std::cout << "saved " << path << std::endl;
    }
    if (!result.failure.empty()) {
        std::cerr << "not won: " << result.failure << std::endl;
        return 1;
    }
    return endedAsWon(game) ? 0 : 1;
}
