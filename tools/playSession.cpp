// playSession: a short played session of cellquest's campaign in a window for
// the sanitizer run, as a player would play it: moves on every axis, mouse
// look, the overlay and wireframe toggles, a hint, undo and restart, the help,
// the window resized and back, then Escape after the given number of frames.
// The game's standard output and error are saved for the caller to inspect.
//
//   playSession <game-binary> <asset-dir> <frames> <stdout-file> <stderr-file>
//               [NAME=VALUE ...]   (set in the game's environment)
//
// Exit status: the game's own, or 1 when the session could not be played.
#include "driver/gameLauncher.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

const Seconds startTimeout(300);
const Seconds frameTimeout(120);
const Seconds exitTimeout(120);

int usage(const char* program) {
    std::cerr << "Usage: " << program
              << " <game-binary> <asset-dir> <frames> <stdout-file> <stderr-file>"
                 " [NAME=VALUE ...]\n";
    return 2;
}

class Session {
  public:
    Session(GameProcess& game, std::size_t frames) : game(game), frames(frames) {}

    // Each key of the list held for the given number of frames in turn.
    void holdKeys(std::initializer_list<const char*> keys, std::size_t heldFrames) {
        for (const char* key : keys) {
            if (game.running()) {
                game.holdKeyForFrames(key, heldFrames, frameTimeout);
            }
        }
    }

    void turnMouse() {
        const int deltas[][2] = {{40, 0}, {0, 25}, {-60, -10}, {20, -15}};
        for (const auto& delta : deltas) {
            if (!game.running()) {
                return;
            }
            game.moveMouseRelative(delta[0], delta[1]);
            game.waitForTraceLine(game.traceLineCount() + 5, frameTimeout);
        }
    }

    void waitFrames(std::size_t count) {
        game.waitForTraceLine(game.traceLineCount() + count, frameTimeout);
    }

    // The hint's search runs on its own thread while the frames go on.
    void usePuzzleKeys() {
        holdKeys({"h"}, 1);
        waitFrames(20);
        holdKeys({"z", "r", "z", "F1"}, 1);
        waitFrames(5);
        holdKeys({"F1"}, 1);
    }

    // The picture's targets are remade at each new size.
    void resizeWindow() {
        if (game.running() && game.resizeWindow(800, 600)) {
            waitFrames(5);
            game.resizeWindow(1024, 768);
            waitFrames(5);
        }
    }

    void play() {
        const std::size_t step = std::max<std::size_t>(frames / 20, 1);
        game.waitForTraceLine(10, frameTimeout);
        holdKeys({"w", "a", "q"}, step);
        usePuzzleKeys();
        turnMouse();
        resizeWindow();
        holdKeys({"F2", "F3"}, 2);
        holdKeys({"s", "d", "e"}, step);
        holdKeys({"F3", "F2"}, 2);
        turnMouse();
        holdKeys({"w", "d"}, step);
        game.waitForTraceLine(frames - 1, frameTimeout);
    }

  private:
    GameProcess& game;
    std::size_t frames;
};

bool save(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        return usage(argv[0]);
    }
    namespace fs = std::filesystem;
    LaunchOptions launch;
    launch.executable = fs::absolute(argv[1]).string();
    launch.workingDir = fs::absolute(argv[2]).string();
    launch.arguments = {"--windowed", "--campaign"};
    for (int i = 6; i < argc; ++i) {
        const std::string setting = argv[i];
        const std::size_t equals = setting.find('=');
        if (equals == std::string::npos) {
            return usage(argv[0]);
        }
        launch.environment[setting.substr(0, equals)] = setting.substr(equals + 1);
    }
    const std::size_t frames = std::stoul(argv[3]);

    GameProcess game;
    const std::string startError = startFocusedGame(game, launch, startTimeout);
    ExitStatus status;
    if (startError.empty()) {
        Session(game, frames).play();
        status = game.quitWithEscape(exitTimeout);
    } else {
        std::cerr << startError << std::endl;
        status = game.waitForExit(exitTimeout);
    }
    const bool saved = save(argv[4], game.out().text()) && save(argv[5], game.err().text());
    std::cout << "frames: " << game.traceLineCount() << ", game " << status << std::endl;
    if (!saved || !startError.empty() || !status.exited) {
        return 1;
    }
    return status.code;
}
