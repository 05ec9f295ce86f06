#include "game/gameState.h"

#include "game/editorMode.h"
#include "game/movement.h"
#include "world/rules.h"
#include "world/trace.h"

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

// Tab and the layer keys of the overview; false for any other key.
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
    openLevelEditor(game, firstFreeLevelPath(game.editor.madeLevelsFolder), newEditorLevel());
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
    case MenuScreen::settings:
        menu.screen = menu.backTo;
        break;
    case MenuScreen::title:
    case MenuScreen::won:
        break;
    }
}

void actOnPress(GameState& game, Key key, FrameOutcome& outcome) {
    if (menuOpen(game.menu) && key != Key::escape) {
        return; // the menus take their keys themselves
    }
    switch (key) {
    case Key::escape:
        if (game.editor.enabled) {
            escapeFromEditor(game, outcome);
        } else if (game.menu.enabled) {
            escapeInMenus(game);
        } else {
            outcome.quit = true;
        }
        break;
    case Key::f11:
        outcome.switchDisplay = true;
        break;
    default:
        if (editing(game)) {
            pressKeyInEditor(game, key, outcome);
        } else if (game.puzzle.enabled && game.modes.playEnabled && !pressOverviewKey(game, key)) {
            pressPuzzleKey(game.puzzle, game.level, game.camera, key);
        }
        break;
    }
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

// In the overview the movement keys and the arrows turn the view round the
// level and Q and E zoom; the player stays where it is.
void orbitByKeys(GameState& game) {
    const InputState& input = game.input;
    const auto axis = [&input](Key plus, Key alsoPlus, Key minus, Key alsoMinus) {
        const bool up = input.held(plus) || input.held(alsoPlus);
        const bool down = input.held(minus) || input.held(alsoMinus);
        return float(up) - float(down);
    };
    const float turn = overviewTurnRate * game.deltaTime;
    orbit(game.overview, turn * axis(Key::d, Key::right, Key::a, Key::left),
          turn * axis(Key::w, Key::up, Key::s, Key::down));
    zoomOverview(game.overview,
                 overviewZoomRate * game.deltaTime * axis(Key::q, Key::q, Key::e, Key::e),
                 game.level.grid.extent);
}

// The held keys move the camera; the player takes its cell and the blocks
// step. A move is kept for undo before the cell changes.
void movePlayerByKeys(GameState& game) {
    if (game.overview.active) {
        orbitByKeys(game);
        flipHeldToggles(game.modes, game.input);
    } else {
        processMovement(game.camera, game.modes, game.input, game.level, game.deltaTime);
    }
    if (game.puzzle.enabled && cellOf(game.camera.position) != game.level.player.cell) {
        beforeCellChange(game.puzzle, game.level);
    }
    movePlayer(game.level, game.camera.position);
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
                    std::vector<OverlayText>& texts) {
    if (showMoves) {
        texts.push_back({OverlayText::Kind::moves, movesLine(puzzle)});
    }
    const std::string hint = hintLine(puzzle, camera);
    texts.push_back({OverlayText::Kind::hint, hint.empty() ? "F1: keys" : hint});
    if (puzzle.helpShown) {
        for (const std::string& text : helpLines()) {
            texts.push_back({OverlayText::Kind::help, text});
        }
    }
}

// Every frame prints its trace line, and a hint that came in after it.
void printTraceAndHint(GameState& game, FrameOutcome& outcome) {
    outcome.consoleLines.push_back(formatTraceLine(traceLineOf(game.level)));
    if (game.puzzle.enabled) {
        const std::string hint = collectHint(game.puzzle, game.camera);
        if (!hint.empty()) {
            outcome.consoleLines.push_back(hint);
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
    if (screen == MenuScreen::levels || screen == MenuScreen::settings) {
        game.menu.backTo =
            game.menu.screen == MenuScreen::pause ? MenuScreen::pause : MenuScreen::title;
    }
    game.menu.screen = screen;
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
    case Kind::edit:
        commandEditor(game, action.edit, outcome);
        break;
    case Kind::makeLevel:
        makeLevel(game);
        break;
    }
}

void applyMenuActions(GameState& game, const std::vector<MenuAction>& actions,
                      FrameOutcome& outcome) {
    for (const MenuAction& action : actions) {
        applyMenuAction(game, action, outcome);
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
    notePanelClaims(game.editor, input.menuActions);
    applyEvents(game, input, outcome);
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
    movePlayerByKeys(game);
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
        addPuzzleTexts(game.puzzle, game.camera, game.settings.movesLine, texts);
    }
    return texts;
}

Camera viewingCamera(const GameState& game) {
    if (!game.overview.active) {
        return game.camera;
    }
    return overviewCamera(game.overview, game.level.grid.extent, game.camera.fov,
                          game.camera.aspect);
}

bool showsBlockMarks(const GameState& game) {
    return game.puzzle.enabled && game.settings.blockMarks;
}

void openLevelEditor(GameState& game, const std::string& path, const LevelFile& level) {
    game.camera = cameraAtStart(level.layout);
    openEditorScene(editorScene(game), path, level, game.camera);
}
