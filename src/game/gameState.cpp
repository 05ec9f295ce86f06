#include "game/gameState.h"

#include "game/editorMode.h"
#include "game/movement.h"
#include "world/rules.h"
#include "world/trace.h"

#include <glm/geometric.hpp>
#include <glm/trigonometric.hpp>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

namespace {

// Degrees the overview turns per pixel of a drag, and per second of a held
// key; zoom steps per second of a held Q or E.
constexpr float overviewDragDegrees = 0.3f;
constexpr float overviewTurnRate = 90.0f;
constexpr float overviewZoomRate = 4.0f;

Campaign campaignOfLayout(const LevelLayout& layout) {
    LevelFile file;
    file.layout = layout;
    return Campaign({CampaignLevel{"", file}});
}

void stepClock(GameState& game, double time) {
    const float now = static_cast<float>(time);
    game.time = time;
    game.deltaTime = now - game.lastFrame;
    game.lastFrame = now;
}

// Losing the focus loses the key releases that come meanwhile: in the
// puzzle's runs, no key stays held across it.
void applyFocus(GameState& game, bool focused) {
    game.input.focused = focused;
    if (!focused && game.puzzle.enabled) {
        game.input.keys.fill(false);
    }
}

// The plain room keeps the keys it was made with, whatever the settings say.
const KeyBindings& bindingsOf(const GameState& game) {
    static const KeyBindings defaults = KeyBindings::defaults();
    return game.puzzle.enabled ? game.settings.keys : defaults;
}

void toggleOverview(GameState& game) {
    if (game.overview.active) {
        game.overview.active = false;
    } else {
        game.overview = openOverview(game.camera, game.level.grid.extent);
    }
}

LayerPieces layerPieces(const Level& level) {
    LayerPieces pieces(std::size_t(std::max(level.grid.extent.y, 0)), false);
    const auto mark = [&pieces](Cell cell) {
        if (cell.y >= 0 && cell.y < int(pieces.size())) {
            pieces[std::size_t(cell.y)] = true;
        }
    };
    for (const GameObject& crate : level.obstacles) {
        mark(crate.cell);
    }
    for (const RedBlock& block : level.redBlocks) {
        mark(block.cell);
    }
    for (const BlueBlock& block : level.blueBlocks) {
        mark(block.cell);
    }
    mark(level.player.cell);
    mark(level.goal());
    return pieces;
}

// Tab (whatever the bindings) and the layer keys of the overview; false for
// any other key.
bool pressOverviewKey(GameState& game, Key key) {
    switch (key) {
    case Key::tab:
        toggleOverview(game);
        return true;
    case Key::pageDown:
        if (game.overview.active) {
            peelLayer(game.overview, layerPieces(game.level));
        }
        return true;
    case Key::pageUp:
        if (game.overview.active) {
            restoreLayer(game.overview, layerPieces(game.level));
        }
        return true;
    default:
        return false;
    }
}

EditorScene editorScene(GameState& game) {
    return EditorScene{game.editor, game.level, game.overview};
}

bool editing(const GameState& game) {
    return editorShown(game.editor);
}

// A play-test plays the edited level from its start with the puzzle keys.
void startPlayTest(GameState& game) {
    game.editor.playTesting = true;
    game.campaign = Campaign({CampaignLevel{"", playedLevel(game.editor)}});
    game.puzzle.enabled = true;
    startLevel(game);
}

// From the title: the editor on a new level in the player's folder.
void makeLevel(GameState& game) {
    game.editor.menuCampaign = game.campaign;
    openLevelEditor(game, firstFreeLevelPath(game.myLevels.folder), newEditorLevel());
    game.menu.screen = MenuScreen::none;
}

// Leaving an editor opened from the menus returns to the title.
void leaveEditor(GameState& game, FrameOutcome& outcome) {
    if (!game.editor.menuCampaign) {
        outcome.quit = true;
        return;
    }
    game.editor.enabled = false;
    game.campaign = *game.editor.menuCampaign;
    game.editor.menuCampaign.reset();
    openTitle(game);
}

void followEditor(GameState& game, const EditorOutcome& editor, FrameOutcome& outcome) {
    outcome.consoleLines.insert(outcome.consoleLines.end(), editor.consoleLines.begin(),
                                editor.consoleLines.end());
    if (editor.clipboardText) {
        outcome.clipboardText = editor.clipboardText;
    }
    if (editor.quit) {
        leaveEditor(game, outcome);
    }
    if (editor.playTest) {
        startPlayTest(game);
    }
}

void escapeFromEditor(GameState& game, FrameOutcome& outcome) {
    EditorOutcome editor;
    escapeInEditor(editorScene(game), editor);
    followEditor(game, editor, outcome);
}

void closeFromEditor(GameState& game, FrameOutcome& outcome) {
    EditorOutcome editor;
    closeEditor(editorScene(game), editor);
    followEditor(game, editor, outcome);
    outcome.quit = outcome.quit || editor.quit; // the window closes, menus or not
}

void pressKeyInEditor(GameState& game, Key key, FrameOutcome& outcome) {
    const bool control = game.input.held(Key::leftControl) || game.input.held(Key::rightControl);
    EditorOutcome editor;
    pressEditorKey(editorScene(game), key, control, editor);
    followEditor(game, editor, outcome);
}

void commandEditor(GameState& game, const EditorCommand& command, FrameOutcome& outcome) {
    EditorOutcome editor;
    applyEditorCommand(editorScene(game), command, editor);
    followEditor(game, editor, outcome);
}

void pressButtonInEditor(GameState& game, const InputEvent& event, glm::vec2 cursorArea) {
    const MouseState& mouse = game.input.mouse;
    const glm::vec2 pointer(mouse.lastX / cursorArea.x, mouse.lastY / cursorArea.y);
    pressEditorButton(editorScene(game), event.button, event.kind == InputEvent::Kind::buttonPress,
                      pointer, viewingCamera(game));
}

// A won play-test goes back to the editor.
bool endWonPlayTest(GameState& game) {
    if (!game.editor.playTesting || !isWon(game)) {
        return false;
    }
    returnToEditor(editorScene(game),
                   "Play-test won in " + std::to_string(game.puzzle.history.moves()) + " moves");
    return true;
}

// The editor's frame: the trace line, and a proof that came in.
void stepEditorFrame(GameState& game, FrameOutcome& outcome) {
    outcome.consoleLines.push_back(formatTraceLine(traceLineOf(game.level)));
    if (const std::optional<std::string> proof = collectProofLine(game.editor)) {
        outcome.consoleLines.push_back(*proof);
    }
    outcome.cursorFree = true;
}

void addEditorTexts(const EditorState& editor, std::vector<OverlayText>& texts) {
    const EditorTexts editorLines = editorTexts(editor);
    texts.push_back({OverlayText::Kind::moves, editorLines.status});
    texts.push_back({OverlayText::Kind::hint, editorLines.said});
    for (const std::string& line : editorLines.help) {
        texts.push_back({OverlayText::Kind::help, line});
    }
}

// Escape in a run with menus: play pauses, a menu goes back.
void escapeInMenus(GameState& game) {
    MenuState& menu = game.menu;
    switch (menu.screen) {
    case MenuScreen::none:
        menu.screen = MenuScreen::pause;
        break;
    case MenuScreen::pause:
        menu.screen = MenuScreen::none;
        break;
    case MenuScreen::levels:
    case MenuScreen::myLevels:
    case MenuScreen::settings:
        menu.screen = menu.backTo;
        break;
    case MenuScreen::keys:
        menu.screen = MenuScreen::settings;
        menu.capturing.reset();
        break;
    case MenuScreen::title:
    case MenuScreen::won:
        break;
    }
}

// The pause key: with menus it pauses (or goes back in a menu); otherwise
// the run ends.
void pauseOrQuit(GameState& game, FrameOutcome& outcome) {
    if (game.menu.enabled) {
        escapeInMenus(game);
    } else {
        outcome.quit = true;
    }
}

// An action of play from a key or a pad's button, while play is on, with
// its sound.
void actInPlay(GameState& game, Action action, FrameOutcome& outcome) {
    if (menuOpen(game.menu) || editing(game) || !game.puzzle.enabled || !game.modes.playEnabled) {
        return;
    }
    if (action == Action::overview) {
        toggleOverview(game);
        return;
    }
    const std::optional<SoundKind> sound =
        pressPuzzleAction(game.puzzle, game.level, game.camera, action);
    if (sound) {
        outcome.sounds.push_back({*sound, std::nullopt});
    }
}

void changeSettings(GameState& game, const Settings& settings, FrameOutcome& outcome);

// The keys screen took the key for the action it waits for.
void captureKey(GameState& game, Key key, FrameOutcome& outcome) {
    const Action action = *game.menu.capturing;
    game.menu.capturing.reset();
    Settings settings = game.settings;
    const std::string refused = bindKeys(settings.keys, action, {key});
    if (!refused.empty()) {
        game.menu.keyMessage = "Not bound: " + refused;
        return;
    }
    game.menu.keyMessage = std::string(actionLabel(action)) + ": " + keyLabel(key);
    changeSettings(game, settings, outcome);
}

void actOnPress(GameState& game, Key key, FrameOutcome& outcome) {
    if (game.menu.capturing && game.menu.screen == MenuScreen::keys) {
        captureKey(game, key, outcome);
        return;
    }
    const std::optional<Action> action = bindingsOf(game).actionOf(key);
    if (game.editor.enabled && (key == Key::escape || action == Action::pause)) {
        escapeFromEditor(game, outcome);
    } else if (editing(game) && key != Key::m) {
        pressKeyInEditor(game, key, outcome);
    } else if (action == Action::pause) {
        pauseOrQuit(game, outcome);
    } else if (menuOpen(game.menu)) {
        return; // the menus take their keys themselves
    } else if (key == Key::f11) {
        outcome.switchDisplay = true;
    } else if (key == Key::m && game.puzzle.enabled) {
        game.soundMuted = !game.soundMuted;
    } else if (game.puzzle.enabled && game.modes.playEnabled && !pressOverviewKey(game, key) &&
               action) {
        actInPlay(game, *action, outcome);
    }
}

// With a menu open, B goes back and Start as the pause key does; in play
// each button's action, but Start quits nothing in runs without menus.
void pressPadButton(GameState& game, PadButton button, FrameOutcome& outcome) {
    const std::optional<Action> action = padAction(button);
    if (menuOpen(game.menu)) {
        if (button == PadButton::b || button == PadButton::start) {
            escapeInMenus(game);
        }
    } else if (action == Action::pause) {
        if (game.menu.enabled) {
            escapeInMenus(game);
        }
    } else if (action) {
        actInPlay(game, *action, outcome);
    }
}

// The pad's presses act once each; its sticks are read where the camera
// moves. A pad coming or going is said on the console. Without the focus
// the pad, like the keys, plays nothing: it counts as left alone.
void applyGamepad(GameState& game, const GamepadState& pad, FrameOutcome& outcome) {
    for (const std::string& line : padConnectionLines(game.input.pad, pad)) {
        outcome.consoleLines.push_back(line);
    }
    GamepadState seen = pad;
    if (!game.input.focused) {
        seen.axes = {0.0f, 0.0f, 0.0f, 0.0f, -1.0f, -1.0f};
        seen.buttons.fill(false);
    }
    for (PadButton button : padPresses(game.input.pad, seen)) {
        pressPadButton(game, button, outcome);
    }
    game.input.pad = seen;
}

// In the overview a drag turns the view round the level; the player's own
// look only follows the cursor's place.
void moveCursor(GameState& game, double x, double y) {
    Overview& overview = game.overview;
    if (overview.active && overview.dragging && !game.input.mouse.firstMouse) {
        const MouseState& mouse = game.input.mouse;
        orbit(overview, static_cast<float>(x - mouse.lastX) * overviewDragDegrees,
              static_cast<float>(mouse.lastY - y) * overviewDragDegrees);
    }
    const bool look = game.modes.playEnabled && !overview.active && !menuOpen(game.menu);
    handleCursorPos(game.input, game.camera, game.settings, look, x, y);
}

void turnWheel(GameState& game, double yOffset) {
    if (menuOpen(game.menu)) {
        return;
    } else if (game.overview.active) {
        zoomOverview(game.overview, static_cast<float>(yOffset), game.level.grid.extent);
    } else {
        handleScroll(game.camera, yOffset);
    }
}

void applyEvents(GameState& game, const FrameInput& input, FrameOutcome& outcome) {
    std::size_t presses = 0;
    for (const InputEvent& event : input.events) {
        switch (event.kind) {
        case InputEvent::Kind::keyPress:
            applyKeyEvent(game.input, event);
            if (event.key != Key::unknown && presses++ < pressesPerFrameMax) {
                actOnPress(game, event.key, outcome);
            }
            break;
        case InputEvent::Kind::keyRelease:
            applyKeyEvent(game.input, event);
            break;
        case InputEvent::Kind::buttonPress:
        case InputEvent::Kind::buttonRelease:
            if (editing(game)) {
                pressButtonInEditor(game, event, input.cursorArea);
            } else if (event.button == 0) {
                game.overview.dragging = event.kind == InputEvent::Kind::buttonPress;
            }
            break;
        case InputEvent::Kind::cursorMoved:
            moveCursor(game, event.x, event.y);
            break;
        case InputEvent::Kind::wheel:
            turnWheel(game, event.y);
            break;
        case InputEvent::Kind::focus:
            applyFocus(game, event.focused);
            break;
        }
    }
}

// In the overview the movement keys, the arrows and the left stick turn the
// view round the level, and the up and down keys or the pad's zoom; the
// player stays where it is.
void orbitByKeys(GameState& game, glm::vec3 padFlight) {
    const InputState& input = game.input;
    const KeyBindings& bindings = bindingsOf(game);
    const auto held = [&](Action action, Key alsoKey) {
        return heldAction(input, bindings, action) || input.held(alsoKey);
    };
    const auto axis = [&](Action plus, Key alsoPlus, Action minus, Key alsoMinus) {
        return float(held(plus, alsoPlus)) - float(held(minus, alsoMinus));
    };
    const float turn = overviewTurnRate * game.deltaTime;
    orbit(game.overview,
          turn * (axis(Action::right, Key::right, Action::left, Key::left) + padFlight.x),
          turn * (axis(Action::forward, Key::up, Action::back, Key::down) + padFlight.z));
    const float zoom = float(heldAction(input, bindings, Action::up)) -
                       float(heldAction(input, bindings, Action::down)) + padFlight.y;
    zoomOverview(game.overview, overviewZoomRate * game.deltaTime * zoom, game.level.grid.extent);
}

// A block that stepped sounds from the middle of the cell it stepped to.
template <typename Blocks>
void addBlockSteps(const std::vector<Cell>& before, const Blocks& blocks, SoundKind kind,
                   std::vector<SoundCue>& sounds) {
    for (std::size_t i = 0; i < blocks.size() && i < before.size(); ++i) {
        if (blocks[i].cell != before[i]) {
            sounds.push_back({kind, cellCentre(blocks[i].cell)});
        }
    }
}

template <typename Blocks> std::vector<Cell> cellsOf(const Blocks& blocks) {
    std::vector<Cell> cells;
    cells.reserve(blocks.size());
    for (const auto& block : blocks) {
        cells.push_back(block.cell);
    }
    return cells;
}

// A push the rules hold back bumps when it starts.
void noteHeldBack(GameState& game, bool heldBack, FrameOutcome& outcome) {
    if (heldBack && !game.moveHeldBack) {
        outcome.sounds.push_back({SoundKind::bump, std::nullopt});
    }
    game.moveHeldBack = heldBack;
}

// The held keys and the pad move the camera; the player takes its cell and
// the blocks step, each with its sound. A move is kept for undo before the
// cell changes.
void movePlayerByKeys(GameState& game, FrameOutcome& outcome) {
    const glm::vec3 flight = padFlight(game.input.pad);
    bool heldBack = false;
    if (game.overview.active) {
        orbitByKeys(game, flight);
        flipHeldToggles(game.modes, game.input);
    } else {
        if (game.modes.playEnabled) {
            turnByStick(game.camera, game.settings, padLook(game.input.pad), game.deltaTime);
        }
        heldBack =
            processMovement(game.camera, game.modes, game.input,
                            MoveControls{bindingsOf(game), flight}, game.level, game.deltaTime);
    }
    noteHeldBack(game, heldBack, outcome);
    if (game.puzzle.enabled && cellOf(game.camera.position) != game.level.player.cell) {
        beforeCellChange(game.puzzle, game.level);
    }
    const std::vector<Cell> redBefore = cellsOf(game.level.redBlocks);
    const std::vector<Cell> blueBefore = cellsOf(game.level.blueBlocks);
    if (movePlayer(game.level, game.camera.position) != 0) {
        outcome.sounds.push_back({SoundKind::playerStep, std::nullopt});
        addBlockSteps(redBefore, game.level.redBlocks, SoundKind::redStep, outcome.sounds);
        addBlockSteps(blueBefore, game.level.blueBlocks, SoundKind::blueStep, outcome.sounds);
    }
}

// The win goes into the progress at once; true when it is the level's
// best.
bool recordLevelWin(GameState& game, FrameOutcome& outcome) {
    const std::string& name = game.campaign.current().name;
    const int moves = game.puzzle.history.moves();
    const auto record = game.progress.find(name);
    const bool best =
        record == game.progress.end() || !record->second.solved || moves < record->second.bestMoves;
    recordWin(game.progress, name, moves);
    outcome.win = LevelWin{name, moves};
    return best;
}

// With menus a win opens its panel at once: moves against par, and where
// to go next.
void openWonPanel(GameState& game, FrameOutcome& outcome) {
    game.menu.newBest = recordLevelWin(game, outcome);
    game.menu.wonMoves = game.puzzle.history.moves();
    game.menu.screen = MenuScreen::won;
    game.modes.playEnabled = false;
    game.wonFrames = 1;
}

// The first won frame reports the win; the last one ends the level and
// starts the next, or ends the run after the last level.
void stepWonFrame(GameState& game, FrameOutcome& outcome) {
    if (game.wonFrames == 0) {
        recordLevelWin(game, outcome);
    }
    outcome.wonPicture = true;
    game.modes.playEnabled = false;
    game.wonFrames += 1;
    if (game.wonFrames <= wonFramesBeforeExit) {
        return;
    }
    outcome.consoleLines.push_back("YOU WON!");
    outcome.present = false;
    if (game.campaign.advance()) {
        startLevel(game);
    } else {
        outcome.quit = true;
    }
}

void stepFramerateLine(GameState& game) {
    game.framerateShown = game.framerateText;
    if (game.framerateCounter == framerateRefreshFrames) {
        game.framerateText = formatFramerate(game.deltaTime);
        game.framerateCounter = 0;
    }
    game.framerateCounter += 1;
}

// A normal frame moves the fountain on (but for wireframe frames, which show
// none) and the frame-rate line while it is shown.
void stepNormalFrame(GameState& game) {
    if (!game.modes.wireframe) {
        game.particleCount =
            updateParticleSystem(game.particles, game.deltaTime, game.camera.position);
    }
    if (game.modes.showFramerate) {
        stepFramerateLine(game);
    }
}

void addPuzzleTexts(const PuzzlePlay& puzzle, const Camera& camera, bool showMoves,
                    const HelpKeys& keys, std::vector<OverlayText>& texts) {
    if (showMoves) {
        texts.push_back({OverlayText::Kind::moves, movesLine(puzzle)});
    }
    const std::string hint = hintLine(puzzle, camera, keys.bindings);
    texts.push_back({OverlayText::Kind::hint,
                     hint.empty() ? keys.bindings.firstLabelOf(Action::help) + ": keys" : hint});
    if (puzzle.helpShown) {
        for (const std::string& text : helpLines(keys)) {
            texts.push_back({OverlayText::Kind::help, text});
        }
    }
}

// Every frame prints its trace line, and a hint that came in after it.
void printTraceAndHint(GameState& game, FrameOutcome& outcome) {
    outcome.consoleLines.push_back(formatTraceLine(traceLineOf(game.level)));
    if (game.puzzle.enabled) {
        const std::string hint = collectHint(game.puzzle, game.camera, bindingsOf(game));
        if (!hint.empty()) {
            outcome.consoleLines.push_back(hint);
            outcome.sounds.push_back({SoundKind::hint, std::nullopt});
        }
    }
}

// The title's slow turn round the next level, in degrees a second.
constexpr float titleTurnRate = 6.0f;

void startPlayAt(GameState& game, std::size_t level) {
    game.campaign.jumpTo(level);
    startLevel(game);
    game.menu.screen = MenuScreen::none;
}

void openFromMenu(GameState& game, MenuScreen screen) {
    game.menu.capturing.reset();
    game.menu.keyMessage.clear();
    if (screen == MenuScreen::myLevels) {
        reloadMyLevels(game.myLevels);
    }
    if (screen == MenuScreen::levels || screen == MenuScreen::myLevels ||
        screen == MenuScreen::settings) {
        game.menu.backTo =
            game.menu.screen == MenuScreen::pause ? MenuScreen::pause : MenuScreen::title;
    }
    game.menu.screen = screen;
}

// The player's levels become the run's until the title shows again.
void startMyLevel(GameState& game, std::size_t level) {
    if (level >= game.myLevels.levels.size()) {
        return;
    }
    if (!game.shelvedPack) {
        game.shelvedPack = std::move(game.campaign);
    }
    game.campaign = Campaign(game.myLevels.levels);
    startPlayAt(game, level);
}

void playNextLevel(GameState& game) {
    if (game.campaign.advance()) {
        startPlayAt(game, game.campaign.currentIndex());
    } else {
        openTitle(game);
    }
}

void changeSettings(GameState& game, const Settings& settings, FrameOutcome& outcome) {
    outcome.switchDisplay = settings.displayMode != game.settings.displayMode;
    // A new field of view is the zoom from now on; the wheel still zooms.
    if (settings.fieldOfView != game.settings.fieldOfView) {
        game.camera.fov = static_cast<float>(settings.fieldOfView);
    }
    game.settings = settings;
    outcome.saveSettings = true;
}

void applyMenuAction(GameState& game, const MenuAction& action, FrameOutcome& outcome) {
    using Kind = MenuAction::Kind;
    switch (action.kind) {
    case Kind::continuePlay:
        startPlayAt(game, firstUnsolved(game.campaign.all(), game.progress));
        break;
    case Kind::startLevel:
        startPlayAt(game, action.level);
        break;
    case Kind::startMyLevel:
        startMyLevel(game, action.level);
        break;
    case Kind::open:
        openFromMenu(game, action.screen);
        break;
    case Kind::back:
        escapeInMenus(game);
        break;
    case Kind::resume:
        game.menu.screen = MenuScreen::none;
        break;
    case Kind::restart:
        restartPuzzleLevel(game.puzzle, game.level, game.camera);
        game.menu.screen = MenuScreen::none;
        break;
    case Kind::overview:
        game.menu.screen = MenuScreen::none;
        toggleOverview(game);
        break;
    case Kind::title:
        openTitle(game);
        break;
    case Kind::quit:
        outcome.quit = true;
        break;
    case Kind::nextLevel:
        playNextLevel(game);
        break;
    case Kind::replay:
        startPlayAt(game, game.campaign.currentIndex());
        break;
    case Kind::changeSettings:
        changeSettings(game, action.settings, outcome);
        break;
    case Kind::captureKey:
        // A key bound in this frame (Enter, Space) pressed the button again.
        if (!outcome.saveSettings) {
            game.menu.capturing = action.action;
            game.menu.keyMessage = std::string("Press the key for ") + actionLabel(action.action);
        }
        break;
    case Kind::edit:
        commandEditor(game, action.edit, outcome);
        break;
    case Kind::makeLevel:
        makeLevel(game);
        break;
    }
}

// A button chosen clicks. A slider's changes sound only through the new
// volumes, and the editor's panel sends what is typed and where the pointer
// is with every frame: none of those clicks.
bool clicks(const MenuAction& action) {
    using Edit = EditorCommand::Kind;
    switch (action.kind) {
    case MenuAction::Kind::changeSettings:
        return false;
    case MenuAction::Kind::edit:
        switch (action.edit.kind) {
        case Edit::setTitle:
        case Edit::setAuthor:
        case Edit::setSize:
        case Edit::keysTaken:
        case Edit::mouseTaken:
            return false;
        default:
            return true;
        }
    default:
        return true;
    }
}

// Every chosen action clicks, and a restart sounds as one.
void applyMenuActions(GameState& game, const std::vector<MenuAction>& actions,
                      FrameOutcome& outcome) {
    for (const MenuAction& action : actions) {
        applyMenuAction(game, action, outcome);
        if (clicks(action)) {
            outcome.sounds.push_back({SoundKind::menuClick, std::nullopt});
        }
        if (action.kind == MenuAction::Kind::restart) {
            outcome.sounds.push_back({SoundKind::restart, std::nullopt});
        }
    }
}

// With a menu open nothing of the level moves; the title turns slowly round
// the next level. The trace goes on.
void stepMenuFrame(GameState& game, FrameOutcome& outcome) {
    if (game.menu.screen == MenuScreen::title) {
        orbit(game.overview, titleTurnRate * game.deltaTime, 0.0f);
    }
    printTraceAndHint(game, outcome);
    outcome.cursorFree = true;
}

} // namespace

GameState::GameState(const LevelLayout& layout) : GameState(campaignOfLayout(layout), false) {}

GameState::GameState(Campaign run, bool puzzleKeys, const Settings& playerSettings)
    : campaign(std::move(run)), level(campaign.current().file.layout),
      camera(cameraAtStart(campaign.current().file.layout)), settings(playerSettings) {
    camera.fov = static_cast<float>(settings.fieldOfView);
    puzzle.enabled = puzzleKeys;
    startPuzzleLevel(puzzle, campaign.heading());
}

void openTitle(GameState& game) {
    if (game.shelvedPack) {
        game.campaign = std::move(*game.shelvedPack);
        game.shelvedPack.reset();
    }
    game.campaign.jumpTo(firstUnsolved(game.campaign.all(), game.progress));
    startLevel(game);
    game.overview = openOverview(game.camera, game.level.grid.extent);
    game.menu.screen = MenuScreen::title;
}

void startLevel(GameState& game) {
    const LevelLayout& layout = game.campaign.current().file.layout;
    game.level = Level(layout);
    returnToStart(game.camera, layout);
    game.wonFrames = 0;
    game.modes.playEnabled = true;
    game.overview = Overview();
    startPuzzleLevel(game.puzzle, game.campaign.heading());
}

FrameOutcome updateGame(GameState& game, const FrameInput& input) {
    FrameOutcome outcome;
    stepClock(game, input.time);
    game.camera.aspect = input.pictureAspect;
    if (input.cursorArea.x > 0.0f) {
        game.editor.windowWidth = input.cursorArea.x;
    }
    notePanelClaims(game.editor, input.menuActions);
    applyEvents(game, input, outcome);
    // Before the menus' choices: a button that chose in a menu acts no more.
    applyGamepad(game, input.gamepad, outcome);
    applyMenuActions(game, input.menuActions, outcome);
    if (input.closeRequested) {
        closeFromEditor(game, outcome);
    }
    if (editing(game)) {
        stepEditorFrame(game, outcome);
        return outcome;
    }
    if (menuOpen(game.menu)) {
        stepMenuFrame(game, outcome);
        return outcome;
    }
    movePlayerByKeys(game, outcome);
    printTraceAndHint(game, outcome);
    if (endWonPlayTest(game)) {
        return outcome;
    }
    if (isWon(game) && game.menu.enabled) {
        openWonPanel(game, outcome);
    } else if (isWon(game)) {
        stepWonFrame(game, outcome);
    } else {
        stepNormalFrame(game);
    }
    if (outcome.win) {
        outcome.sounds.push_back({SoundKind::win, std::nullopt});
    }
    outcome.cursorFree = menuOpen(game.menu);
    return outcome;
}

glm::vec3 goalPosition(const Level& level) {
    return cellCorner(level.goal());
}

bool isWinningCell(Cell playerCell, glm::vec3 goal) {
    return static_cast<float>(playerCell.x) == goal.x &&
           static_cast<float>(playerCell.y) == goal.y && static_cast<float>(playerCell.z) == goal.z;
}

bool isWon(const GameState& game) {
    return isWinningCell(game.level.player.cell, goalPosition(game.level));
}

std::string formatFramerate(float frameSeconds) {
    const float framesPerSecond = 1.0f / frameSeconds;
    std::ostringstream out;
    out << std::fixed << std::setprecision(6) << framesPerSecond;
    return out.str();
}

std::vector<OverlayText> overlayTexts(const GameState& game) {
    std::vector<OverlayText> texts;
    const Modes& modes = game.modes;
    if (modes.showFramerate) {
        texts.push_back({OverlayText::Kind::framerate, "Framerate: " + game.framerateShown});
    }
    if (modes.wireframe) {
        texts.push_back({OverlayText::Kind::wireframe, "Wireframe: ON"});
    }
    if (modes.frustumCulling) {
        texts.push_back({OverlayText::Kind::frustumCulling, "View Frustum Culling: ON"});
    }
    if (game.soundMuted) {
        texts.push_back({OverlayText::Kind::soundOff, "Sound off"});
    }
    if (menuOpen(game.menu)) {
        return texts; // the menu says what there is to do
    }
    if (editing(game)) {
        addEditorTexts(game.editor, texts);
        return texts;
    }
    if (game.overview.active) {
        texts.push_back({OverlayText::Kind::overview, "Overview: Tab to return"});
    }
    if (game.puzzle.enabled) {
        const HelpKeys keys{bindingsOf(game), game.menu.enabled, game.input.pad.connected,
                            game.editor.playTesting};
        addPuzzleTexts(game.puzzle, game.camera, game.settings.movesLine, keys, texts);
    }
    return texts;
}

Camera viewingCamera(const GameState& game) {
    if (!game.overview.active) {
        return game.camera;
    }
    Camera camera = overviewCamera(game.overview, game.level.grid.extent, game.camera.fov,
                                   game.camera.aspect);
    if (editing(game)) {
        // The panel covers the share s of the picture at its right, so the
        // middle of the rest lies s of the half-width left of the picture's
        // middle: the camera moves right by as much at the level's distance.
        const float share = std::clamp(editorPanelWidth / game.editor.windowWidth, 0.0f, 0.5f);
        const float halfWidth = game.overview.distance *
                                std::tan(glm::radians(camera.fov) * 0.5f) * camera.aspect;
        const glm::vec3 right = glm::normalize(glm::cross(camera.front, camera.up));
        camera.position += right * halfWidth * share;
    }
    return camera;
}

bool showsBlockMarks(const GameState& game) {
    return game.puzzle.enabled && game.settings.blockMarks;
}

void openLevelEditor(GameState& game, const std::string& path, const LevelFile& level) {
    game.camera = cameraAtStart(level.layout);
    openEditorScene(editorScene(game), path, level, game.camera);
}
