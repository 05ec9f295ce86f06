#include "game/editorMode.h"

#include "game/gameState.h"
#include "world/trace.h"

#include <glm/geometric.hpp>
#include <glm/mat4x4.hpp>

#include <algorithm>
#include <cmath>

namespace {

// Degrees a press of Home or End turns the view.
constexpr float viewTurnStep = 15.0f;

using Kind = EditorCommand::Kind;

// The game's level follows the edited one, so the picture and the trace do;
// the layers above the cursor's are peeled off to show it.
void followEditedLevel(GameState& game) {
    const EditorState& editor = game.editor;
    if (!(game.level.layout() == editor.level.layout)) {
        game.level = Level(editor.level.layout);
    }
    game.overview.active = true;
    game.overview.firstHiddenLayer = editor.cursor.y + 1;
}

void startPlayTest(GameState& game) {
    EditorState& editor = game.editor;
    editor.view = game.overview;
    editor.playTesting = true;
    editor.askingToLeave = false;
    LevelFile played = editor.level;
    played.par = editor.proof.status == EditorProof::Status::done &&
                         editor.proof.answer.outcome == SolveOutcome::solved
                     ? std::optional<int>(editor.proof.answer.par)
                     : std::nullopt;
    game.campaign = Campaign({CampaignLevel{"", played}});
    game.puzzle.enabled = true;
    startLevel(game);
}

void returnToEditor(GameState& game, const std::string& message) {
    EditorState& editor = game.editor;
    editor.playTesting = false;
    editor.message = message;
    game.overview = editor.view;
    game.level = Level(editor.level.layout);
    followEditedLevel(game);
}

void leave(GameState& game, bool save, FrameOutcome& outcome) {
    if (!save || saveEditedLevel(game.editor)) {
        outcome.quit = true;
    }
    game.editor.askingToLeave = false;
}

void changeByCommand(GameState& game, const EditorCommand& command, FrameOutcome& outcome) {
    EditorState& editor = game.editor;
    switch (command.kind) {
    case Kind::place:
        editPiece(editor, command.piece);
        break;
    case Kind::moveCursor:
        moveEditorCursor(editor, command.direction);
        break;
    case Kind::turnView:
        orbit(game.overview, viewTurnStep * float(command.direction), 0.0f);
        break;
    case Kind::undo:
        undoEdit(editor);
        break;
    case Kind::redo:
        redoEdit(editor);
        break;
    case Kind::playTest:
        startPlayTest(game);
        break;
    case Kind::prove:
        startProof(editor);
        break;
    case Kind::save:
        saveEditedLevel(editor);
        break;
    case Kind::copy:
        outcome.clipboardText = editedLevelText(editor);
        editor.message = "Level copied";
        break;
    case Kind::paste:
        pasteLevel(editor, command.text);
        break;
    case Kind::setTitle:
        editText(editor, EditorField::title, command.text);
        break;
    case Kind::setAuthor:
        editText(editor, EditorField::author, command.text);
        break;
    case Kind::setSize:
        editSize(editor, command.size);
        break;
    case Kind::toggleHelp:
        editor.helpShown = !editor.helpShown;
        break;
    case Kind::leaveSaving:
        leave(game, true, outcome);
        break;
    case Kind::leaveDiscarding:
        leave(game, false, outcome);
        break;
    case Kind::stay:
        editor.askingToLeave = false;
        break;
    case Kind::keysTaken:
    case Kind::mouseTaken:
        break;
    }
}

void applyCommand(GameState& game, const EditorCommand& command, FrameOutcome& outcome) {
    // A message lasts until the next command; what the editor says goes to
    // the console too, for tools and tests.
    EditorState& editor = game.editor;
    editor.message.clear();
    changeByCommand(game, command, outcome);
    if (!editor.message.empty()) {
        outcome.consoleLines.push_back(editor.message);
    }
    if (editing(game)) {
        followEditedLevel(game);
    }
}

bool controlHeld(const InputState& input) {
    return input.held(Key::leftControl) || input.held(Key::rightControl);
}

glm::vec3 pointOnRay(glm::vec3 origin, glm::vec3 direction, float t) {
    return origin + direction * t;
}

Cell cellAt(glm::vec3 point) {
    return Cell{int(std::floor(point.x)), int(std::floor(point.y)), int(std::floor(point.z))};
}

// Where the ray enters the box from 0 to size (slab by slab); nothing when
// it misses.
std::optional<float> boxEntry(glm::vec3 origin, glm::vec3 direction, glm::vec3 size) {
    float enter = 0.0f;
    float exit = 1e9f;
    for (int axis = 0; axis < 3; ++axis) {
        if (std::abs(direction[axis]) < 1e-9f) {
            if (origin[axis] < 0.0f || origin[axis] > size[axis]) {
                return std::nullopt;
            }
            continue;
        }
        float near = (0.0f - origin[axis]) / direction[axis];
        float far = (size[axis] - origin[axis]) / direction[axis];
        enter = std::max(enter, std::min(near, far));
        exit = std::min(exit, std::max(near, far));
    }
    return enter <= exit ? std::optional<float>(enter) : std::nullopt;
}

bool insideBox(Cell cell, Cell size) {
    return cell.x >= 0 && cell.y >= 0 && cell.z >= 0 && cell.x < size.x && cell.y < size.y &&
           cell.z < size.z;
}

} // namespace

void startEditor(GameState& game, const std::string& path, const LevelFile& level) {
    openEditor(game.editor, path, level);
    game.level = Level(game.editor.level.layout);
    game.camera = cameraAtStart(level.layout);
    game.overview = openOverview(game.camera, level.layout.size);
    followEditedLevel(game);
}

bool editing(const GameState& game) {
    return game.editor.enabled && !game.editor.playTesting;
}

void notePanelClaims(GameState& game, const std::vector<MenuAction>& actions) {
    EditorState& editor = game.editor;
    editor.keysTaken = false;
    editor.mouseTaken = false;
    for (const MenuAction& action : actions) {
        if (action.kind == MenuAction::Kind::edit) {
            editor.keysTaken = editor.keysTaken || action.edit.kind == Kind::keysTaken;
            editor.mouseTaken = editor.mouseTaken || action.edit.kind == Kind::mouseTaken;
        }
    }
}

void escapeInEditor(GameState& game, FrameOutcome& outcome) {
    EditorState& editor = game.editor;
    if (editor.playTesting) {
        returnToEditor(game, "Back from the play-test");
    } else if (editor.askingToLeave) {
        editor.askingToLeave = false;
    } else if (editor.unsaved) {
        editor.askingToLeave = true;
    } else {
        outcome.quit = true;
    }
}

void pressEditorKey(GameState& game, Key key, FrameOutcome& outcome) {
    if (game.editor.keysTaken || game.editor.askingToLeave) {
        return;
    }
    if (const std::optional<EditorCommand> command =
            editorCommandOfKey(key, controlHeld(game.input))) {
        applyCommand(game, *command, outcome);
    }
}

void applyEditorCommand(GameState& game, const EditorCommand& command, FrameOutcome& outcome) {
    const bool claim = command.kind == Kind::keysTaken || command.kind == Kind::mouseTaken;
    if (editing(game) && !claim) {
        applyCommand(game, command, outcome);
    }
}

void pressEditorButton(GameState& game, int button, bool pressed, glm::vec2 cursorArea) {
    constexpr int left = 0;
    constexpr int right = 1;
    if (button == right || !pressed) {
        game.overview.dragging = pressed && button == right;
        return;
    }
    if (button != left || game.editor.mouseTaken || game.editor.askingToLeave) {
        return;
    }
    const MouseState& mouse = game.input.mouse;
    const glm::vec2 pointer(mouse.lastX / cursorArea.x, mouse.lastY / cursorArea.y);
    EditorState& editor = game.editor;
    if (const std::optional<Cell> cell = cellUnderPointer(
            viewingCamera(game), pointer, editor.level.layout.size, editor.cursor.y)) {
        editor.cursor = *cell;
        followEditedLevel(game);
    }
}

bool endWonPlayTest(GameState& game) {
    if (!game.editor.playTesting || !isWon(game)) {
        return false;
    }
    returnToEditor(game,
                   "Play-test won in " + std::to_string(game.puzzle.history.moves()) + " moves");
    return true;
}

void stepEditorFrame(GameState& game, FrameOutcome& outcome) {
    outcome.consoleLines.push_back(formatTraceLine(traceLineOf(game.level)));
    const EditorProof::Status before = game.editor.proof.status;
    collectProof(game.editor);
    if (game.editor.proof.status != before) {
        outcome.consoleLines.push_back(proofLine(game.editor.proof));
    }
    outcome.cursorFree = true;
}

std::vector<OverlayText> editorOverlayTexts(const GameState& game) {
    const EditorState& editor = game.editor;
    const Cell cursor = editor.cursor;
    std::string status = "Editing " + editor.path + "  cursor " + std::to_string(cursor.x) + " " +
                         std::to_string(cursor.y) + " " + std::to_string(cursor.z);
    if (editor.unsaved) {
        status += "  (unsaved)";
    }
    std::vector<OverlayText> texts{{OverlayText::Kind::moves, status}};
    const std::string proof = proofLine(editor.proof);
    const std::string said = !editor.message.empty() ? editor.message : proof;
    texts.push_back({OverlayText::Kind::hint, said.empty() ? "F1: keys" : said});
    if (editor.helpShown) {
        for (const std::string& line : editorHelpLines()) {
            texts.push_back({OverlayText::Kind::help, line});
        }
    }
    return texts;
}

std::optional<Cell> cellUnderPointer(const Camera& camera, glm::vec2 pointer, Cell size,
                                     int layer) {
    const glm::mat4 unproject = glm::inverse(projectionMatrix(camera) * viewMatrix(camera));
    const glm::vec2 device(2.0f * pointer.x - 1.0f, 1.0f - 2.0f * pointer.y);
    const glm::vec4 near = unproject * glm::vec4(device, -1.0f, 1.0f);
    const glm::vec4 far = unproject * glm::vec4(device, 1.0f, 1.0f);
    const glm::vec3 origin = glm::vec3(near) / near.w;
    const glm::vec3 direction = glm::normalize(glm::vec3(far) / far.w - origin);
    // The layer's top face first: the layers above it are peeled off.
    if (direction.y < 0.0f) {
        const float t = (float(layer + 1) - origin.y) / direction.y;
        Cell cell = cellAt(pointOnRay(origin, direction, t));
        cell.y = layer;
        if (t > 0.0f && insideBox(cell, size)) {
            return cell;
        }
    }
    const std::optional<float> entry = boxEntry(origin, direction, cellCorner(size));
    if (!entry) {
        return std::nullopt;
    }
    const Cell cell = cellAt(pointOnRay(origin, direction, *entry + 1e-3f));
    return insideBox(cell, size) ? std::optional<Cell>(cell) : std::nullopt;
}
