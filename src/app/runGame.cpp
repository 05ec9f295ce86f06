#include "app/runGame.h"

#include "core/console.h"
#include "game/gameState.h"
#include "game/trace.h"
#include "platform/window.h"
#include "render/drawFrame.h"
#include "render/renderer.h"

#include <iostream>

namespace {

// The picture follows the window's framebuffer; the camera's aspect follows
// the picture the frame really draws (the last good one, should a size fail).
void followPictureSize(const Window& window, Renderer& renderer, GameState& game) {
    renderer.fitPicture(window.pictureSize());
    game.camera.aspect = renderer.targets.size.aspect();
}

// The first won frame saves the win at once, before the message shows.
// After the last won frame the game prints "YOU WON!" and goes on to the
// next level of the run; false when there is none.
bool runWonFrame(Window& window, Renderer& renderer, GameState& game, GameRun& run) {
    if (game.wonFrames == 0) {
        saveWin(run, game.puzzle.history.moves());
    }
    drawWonFrame(renderer);
    game.modes.playEnabled = false;
    game.wonFrames += 1;
    if (game.wonFrames > wonFramesBeforeExit) {
        std::cout << "YOU WON!" << std::endl;
        if (!run.campaign.advance()) {
            return false;
        }
        startLevel(game, run.campaign.current().file.layout, run.campaign.heading());
        return true;
    }
    window.present();
    return true;
}

// One frame, step by step. False when the game has ended.
bool runFrame(Window& window, Renderer& renderer, GameState& game, GameRun& run) {
    updateFrameTiming(game, static_cast<float>(clockSeconds()));
    window.pollEvents();
    followPictureSize(window, renderer, game);
    const FrameUpdate update = updateGame(game);
    if (update.wireframeTurnedOff) {
        fillPolygons();
    }
    writeTraceLine(std::cout, game.level);
    if (!update.hint.empty()) {
        std::cout << update.hint << std::endl;
    }
    if (isWon(game)) {
        if (!runWonFrame(window, renderer, game, run)) {
            return false;
        }
    } else {
        FrameView view = frameViewOf(game, clockSeconds);
        drawFrame(renderer, view);
        window.present();
    }
    window.closeOnEscape();
    return true;
}

} // namespace

int runGame(const Options& options, GameRun& run, const AssetRoot& assets) {
    // Made in this order and released in the reverse: the renderer's GL
    // objects go while the window's context is still current.
    WindowSystem windowSystem;
    Window window(options.windowMode);
    GameState game(run.campaign.current().file.layout);
    game.puzzle.enabled = run.puzzleKeys;
    startPuzzleLevel(game.puzzle, run.campaign.heading());
    Renderer renderer(
        fatalError,
        [&window, &game] {
            setGlobalGlState();
            window.installInputCallbacks(game);
        },
        assets, window.pictureSize());
    game.particles.allocateStaging();
    while (!window.shouldClose() && runFrame(window, renderer, game, run)) {
    }
    return 0;
}
