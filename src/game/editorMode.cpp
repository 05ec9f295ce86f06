#include "game/editorMode.h"

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
void followEditedLevel(EditorScene scene) {
    const EditorState& editor = scene.editor;
    if (!(scene.level.layout() == editor.level.layout)) {
        scene.level = Level(editor.level.layout);
    }
    scene.overview.active = true;
    scene.overview.firstHiddenLayer = editor.cursor.y + 1;
}

void leave(EditorState& editor, bool save, EditorOutcome& outcome) {
    if (!save || saveEditedLevel(editor)) {
        outcome.quit = true;
    }
    editor.askingToLeave = false;
}

void changeByCommand(EditorScene scene, const EditorCommand& command, EditorOutcome& outcome) {
    EditorState& editor = scene.editor;
    switch (command.kind) {
    case Kind::place:
        editPiece(editor, command.piece);
        break;
    case Kind::moveCursor:
        moveEditorCursor(editor, command.direction);
        break;
    case Kind::turnView:
        orbit(scene.overview, viewTurnStep * float(command.direction), 0.0f);
        break;
    case Kind::undo:
        undoEdit(editor);
        break;
    case Kind::redo:
        redoEdit(editor);
        break;
    case Kind::playTest:
        editor.view = scene.overview;
        editor.askingToLeave = false;
        outcome.playTest = true;
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
        leave(editor, true, outcome);
        break;
    case Kind::leaveDiscarding:
        leave(editor, false, outcome);
        break;
    case Kind::stay:
        editor.askingToLeave = false;
        break;
    case Kind::keysTaken:
    case Kind::mouseTaken:
        break;
    }
}

void applyCommand(EditorScene scene, const EditorCommand& command, EditorOutcome& outcome) {
    // A message lasts until the next command; what the editor says goes to
    // the console too, for tools and tests.
    EditorState& editor = scene.editor;
    editor.message.clear();
    changeByCommand(scene, command, outcome);
    if (!editor.message.empty()) {
        outcome.consoleLines.push_back(editor.message);
    }
    followEditedLevel(scene);
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

void openEditorScene(EditorScene scene, const std::string& path, const LevelFile& level,
                     const Camera& camera) {
    openEditor(scene.editor, path, level);
    scene.level = Level(scene.editor.level.layout);
    scene.overview = openOverview(camera, level.layout.size);
    followEditedLevel(scene);
}

void notePanelClaims(EditorState& editor, const std::vector<MenuAction>& actions) {
    editor.keysTaken = false;
    editor.mouseTaken = false;
    for (const MenuAction& action : actions) {
        if (action.kind == MenuAction::Kind::edit) {
            editor.keysTaken = editor.keysTaken || action.edit.kind == Kind::keysTaken;
            editor.mouseTaken = editor.mouseTaken || action.edit.kind == Kind::mouseTaken;
        }
    }
}

void escapeInEditor(EditorScene scene, EditorOutcome& outcome) {
    EditorState& editor = scene.editor;
    if (editor.keysTaken && !editor.playTesting) {
        return; // it leaves the panel's text field
    }
    if (editor.playTesting) {
        returnToEditor(scene, "Back from the play-test");
    } else if (editor.askingToLeave) {
        editor.askingToLeave = false;
    } else if (editor.unsaved) {
        editor.askingToLeave = true;
    } else {
        outcome.quit = true;
    }
}

void closeEditor(EditorScene scene, EditorOutcome& outcome) {
    if (scene.editor.unsaved) {
        if (scene.editor.playTesting) {
            returnToEditor(scene, "");
        }
        scene.editor.askingToLeave = true;
    } else {
        outcome.quit = true;
    }
}

void pressEditorKey(EditorScene scene, Key key, bool control, EditorOutcome& outcome) {
    if (scene.editor.keysTaken || scene.editor.askingToLeave) {
        return;
    }
    if (const std::optional<EditorCommand> command = editorCommandOfKey(key, control)) {
        applyCommand(scene, *command, outcome);
    }
}

void applyEditorCommand(EditorScene scene, const EditorCommand& command, EditorOutcome& outcome) {
    const bool claim = command.kind == Kind::keysTaken || command.kind == Kind::mouseTaken;
    if (editorShown(scene.editor) && !claim) {
        applyCommand(scene, command, outcome);
    }
}

void pressEditorButton(EditorScene scene, int button, bool pressed, glm::vec2 pointer,
                       const Camera& view) {
    constexpr int left = 0;
    constexpr int right = 1;
    EditorState& editor = scene.editor;
    if (button == right || !pressed) {
        scene.overview.dragging = pressed && button == right;
        return;
    }
    if (button != left || editor.mouseTaken || editor.askingToLeave) {
        return;
    }
    if (const std::optional<Cell> cell =
            cellUnderPointer(view, pointer, editor.level.layout.size, editor.cursor.y)) {
        editor.cursor = *cell;
        followEditedLevel(scene);
    }
}

void returnToEditor(EditorScene scene, const std::string& message) {
    EditorState& editor = scene.editor;
    editor.playTesting = false;
    editor.message = message;
    scene.overview = editor.view;
    scene.level = Level(editor.level.layout);
    followEditedLevel(scene);
}

LevelFile playedLevel(const EditorState& editor) {
    LevelFile played = editor.level;
    played.par = provenPar(editor.proof);
    return played;
}

std::optional<std::string> collectProofLine(EditorState& editor) {
    const EditorProof::Status before = editor.proof.status;
    collectProof(editor);
    if (editor.proof.status == before) {
        return std::nullopt;
    }
    return proofLine(editor.proof);
}

EditorTexts editorTexts(const EditorState& editor) {
    const Cell cursor = editor.cursor;
    EditorTexts texts;
    texts.status = "Editing " + editor.path + "  cursor " + std::to_string(cursor.x) + " " +
                   std::to_string(cursor.y) + " " + std::to_string(cursor.z);
    if (editor.unsaved) {
        texts.status += "  (unsaved)";
    }
    const std::string proof = proofLine(editor.proof);
    texts.said = !editor.message.empty() ? editor.message : proof;
    if (texts.said.empty()) {
        texts.said = "F1: keys";
    }
    if (editor.helpShown) {
        texts.help = editorHelpLines();
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
