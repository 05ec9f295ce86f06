#include "app/runGame.h"

#include "audio/soundPlayer.h"
#include "core/console.h"
#include "game/gameState.h"
#include "platform/gamepad.h"
#include "platform/window.h"
#include "render/drawFrame.h"
#include "render/menuRenderer.h"
#include "render/renderer.h"
#include "ui/menus.h"

#include <cstdlib>
#include <iostream>
#include <optional>

namespace {

// The sounds' folder among the assets.
const char* const soundFolder = "sounds";

// The menus of a run with --menu, each side made in its layer: ImGui's
// context first and gone last, the GL side freed while the context is
// current, the window side before the window goes.
struct Menus {
    Menus(Window& window, const AssetRoot& assets) : window(window), renderer(assets, std::cerr) {}

    Window& window;
    MenuRenderer renderer;

    // The menus' frame: both sides' new frames, then the screens drawn from
    // the game as the last frame left it, returning what the player chose.
    std::vector<MenuAction> run(const GameState& game, const GamepadState& pad) {
        window.startMenuFrame(pad);
        renderer.newFrame();
        return runMenus(game);
    }
};

// The picture follows the window's framebuffer; the frame's input carries
// the aspect of the picture the frame really draws (the last good one,
// should a size fail); runs of levels read the pad too.
FrameInput takeFrameInput(Window& window, Renderer& renderer, double time, bool gamepad) {
    window.pollEvents();
    renderer.fitPicture(window.pictureSize());
    FrameInput input{time, window.takeEvents(), renderer.targets.size.aspect()};
    if (gamepad) {
        input.gamepad = pollGamepad();
    }
    input.cursorArea = window.cursorArea();
    return input;
}

// Other runs end at once when the window is closed; the editor's frame
// hears of it and asks first when there are unsaved changes.
bool runEnds(const Window& window, const GameState& game) {
    return window.shouldClose() && !game.editor.enabled;
}

void passCloseToEditor(Window& window, const GameState& game, FrameInput& input) {
    if (game.editor.enabled && window.shouldClose()) {
        window.cancelClose();
        input.closeRequested = true;
    }
}

void printLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        std::cout << line << std::endl;
    }
}

void drawPicture(Window& window, Renderer& renderer, Menus* menus, const GameState& game,
                 const FrameOutcome& outcome) {
    if (outcome.wonPicture && !game.menu.enabled) {
        drawWonFrame(renderer);
    } else {
        drawFrame(renderer, frameViewOf(game, game.time));
    }
    if (menus) {
        menus->renderer.draw();
    }
    if (outcome.present) {
        window.present();
    }
}

// What the update asks of the app: saves, printing, the window.
void followOutcome(Window& window, GameRun& run, const GameState& game,
                   const FrameOutcome& outcome) {
    // A win is saved at once, before the message shows.
    if (outcome.win) {
        saveProgress(run, game.progress);
    }
    if (outcome.saveSettings) {
        saveSettings(run, game.settings);
    }
    printLines(outcome.consoleLines);
    if (outcome.switchDisplay) {
        window.requestDisplaySwitch();
    }
    if (outcome.clipboardText) {
        window.setClipboardText(*outcome.clipboardText);
    }
    if (run.menus || run.edited) {
        window.setCursorFree(outcome.cursorFree);
    }
}

// One frame, step by step: time and events, the menus, the update, what it
// asks the app to do, its sounds (started before the picture is drawn), the
// picture. False when the run has ended.
bool runFrame(Window& window, Renderer& renderer, Menus* menus, SoundPlayer* sound, GameState& game,
              GameRun& run) {
    FrameInput input = takeFrameInput(window, renderer, clockSeconds(), run.puzzleKeys);
    passCloseToEditor(window, game, input);
    if (menus) {
        input.menuActions = menus->run(game, input.gamepad);
    }
    const FrameOutcome outcome = updateGame(game, input);
    followOutcome(window, run, game, outcome);
    if (sound) {
        sound->play(outcome.sounds, game.camera, volumesOf(game.settings, game.soundMuted));
    }
    drawPicture(window, renderer, menus, game, outcome);
    return !outcome.quit;
}

// Runs of levels sound; the plain room stays silent and opens no device.
bool runHasSound(const GameRun& run) {
    return run.puzzleKeys || run.menus;
}

// The run's progress and menus in the game's state before the first frame.
void prepareState(GameState& game, const GameRun& run) {
    game.progress = run.progress;
    game.menu.enabled = run.menus;
    game.myLevels.folder = run.myLevelsFolder;
    if (run.menus) {
        openTitle(game);
    }
    if (run.edited) {
        openLevelEditor(game, run.edited->name, run.edited->file);
    }
}

} // namespace

int runGame(const Options& options, GameRun& run, const AssetRoot& assets) {
    // Made in this order and released in the reverse: the renderer's GL
    // objects go while the window's context is still current.
    // The editor's panel is drawn like the menus.
    const bool panels = run.menus || run.edited;
    std::optional<MenuContext> menuContext;
    if (panels) {
        menuContext.emplace();
    }
    WindowSystem windowSystem;
    if (!run.gamepadMappings.empty() && !addGamepadMappings(run.gamepadMappings)) {
        std::cerr << "cellquest: the gamepad mappings were refused; using the built-in ones only"
                  << std::endl;
    }
    Window window(windowModeOf(options, run));
    GameState game(std::move(run.campaign), run.puzzleKeys, run.settings);
    prepareState(game, run);
    Renderer renderer(
        fatalError,
        [&window] {
            setGlobalGlState();
            window.installInputCallbacks();
        },
        assets, window.pictureSize());
    std::optional<Menus> menus;
    if (panels) {
        window.enableMenus();
        menus.emplace(window, assets);
    }
    Menus* shownMenus = menus ? &*menus : nullptr;
    std::optional<SoundPlayer> sound;
    if (runHasSound(run)) {
        sound.emplace(assets.path(soundFolder), std::cerr);
    }
    SoundPlayer* heard = sound ? &*sound : nullptr;
    while (!runEnds(window, game) && runFrame(window, renderer, shownMenus, heard, game, run)) {
    }
    return 0;
}
