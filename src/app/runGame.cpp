#include "app/runGame.h"

#include "core/console.h"
#include "game/gameState.h"
#include "platform/window.h"
#include "render/drawFrame.h"
#include "render/renderer.h"

#include <iostream>

namespace {

// The picture follows the window's framebuffer; the frame's input carries
// the aspect of the picture the frame really draws (the last good one,
// should a size fail).
FrameInput takeFrameInput(Window& window, Renderer& renderer, double time) {
    window.pollEvents();
    renderer.fitPicture(window.pictureSize());
    return FrameInput{time, window.takeEvents(), renderer.targets.size.aspect()};
}

void printLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        std::cout << line << std::endl;
    }
}

void drawPicture(Window& window, Renderer& renderer, const GameState& game,
                 const FrameOutcome& outcome) {
    if (outcome.wonPicture) {
        drawWonFrame(renderer);
    } else {
        drawFrame(renderer, frameViewOf(game, game.time));
    }
    if (outcome.present) {
        window.present();
    }
}

// One frame, step by step: time and events, the update, what it asks the
// app to do, the picture. False when the run has ended.
bool runFrame(Window& window, Renderer& renderer, GameState& game, GameRun& run) {
    const FrameInput input = takeFrameInput(window, renderer, clockSeconds());
    const FrameOutcome outcome = updateGame(game, input);
    // A win is saved at once, before the message shows.
    if (outcome.win) {
        saveWin(run, outcome.win->levelName, outcome.win->moves);
    }
    printLines(outcome.consoleLines);
    if (outcome.switchDisplay) {
        window.requestDisplaySwitch();
    }
    drawPicture(window, renderer, game, outcome);
    return !outcome.quit;
}

} // namespace

int runGame(const Options& options, GameRun& run, const AssetRoot& assets) {
    // Made in this order and released in the reverse: the renderer's GL
    // objects go while the window's context is still current.
    WindowSystem windowSystem;
    Window window(options.windowMode);
    GameState game(std::move(run.campaign), run.puzzleKeys, run.settings);
    Renderer renderer(
        fatalError,
        [&window] {
            setGlobalGlState();
            window.installInputCallbacks();
        },
        assets, window.pictureSize());
    while (!window.shouldClose() && runFrame(window, renderer, game, run)) {
    }
    return 0;
}
