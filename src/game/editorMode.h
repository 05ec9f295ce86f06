// The level editor as a mode of the game (--edit): what the frame's update
// hands it (the presses, the clicks, the panel's commands) acts on the
// editor and on the parts of the game's state it shows the level with. The
// update follows what comes back: lines to print, a text for the clipboard,
// the end of the run, a play-test to start.
#pragma once

#include "game/camera.h"
#include "game/editor.h"
#include "game/keys.h"
#include "game/menu.h"
#include "world/level.h"

#include <glm/vec2.hpp>

#include <optional>
#include <string>
#include <vector>

// The parts of the game's state the editor works on.
struct EditorScene {
    EditorState& editor;
    Level& level;
    Overview& overview;
};

struct EditorOutcome {
    std::vector<std::string> consoleLines;
    std::optional<std::string> clipboardText;
    bool quit = false;
    // P: the level is to be played from its start (playedLevel).
    bool playTest = false;
};

// The editor on the level from `path` (new or loaded), seen from outside,
// the overview opening where `camera` looks.
void openEditorScene(EditorScene scene, const std::string& path, const LevelFile& level,
                     const Camera& camera);
// The panel's keyboard and mouse claims for this frame, before any event.
void notePanelClaims(EditorState& editor, const std::vector<MenuAction>& actions);
// Escape: play-test returns to the editor; unsaved changes ask first.
void escapeInEditor(EditorScene scene, EditorOutcome& outcome);
// The window's close button: unsaved changes ask first.
void closeEditor(EditorScene scene, EditorOutcome& outcome);
void pressEditorKey(EditorScene scene, Key key, bool control, EditorOutcome& outcome);
void applyEditorCommand(EditorScene scene, const EditorCommand& command, EditorOutcome& outcome);
// A mouse button: the left one picks the cell under the pointer (0..1
// across and down the picture) as `view` shows it, the right one drags the
// view round.
void pressEditorButton(EditorScene scene, int button, bool pressed, glm::vec2 pointer,
                       const Camera& view);
// Back from a play-test to the editor as it was, with a line to show.
void returnToEditor(EditorScene scene, const std::string& message);
// The level a play-test plays: the edited one, with its par when proven.
LevelFile playedLevel(const EditorState& editor);
// A proof that finished since the last frame: its line.
std::optional<std::string> collectProofLine(EditorState& editor);

// The overlay's lines: where the editor stands, what it says last (or the
// proof), and the keys when F1 shows them.
struct EditorTexts {
    std::string status;
    std::string said;
    std::vector<std::string> help;
};
EditorTexts editorTexts(const EditorState& editor);

// The cell a pointer (0..1 across and down the picture) shows: the first
// cell of `layer` the ray from the camera meets, else the first cell of the
// level's box, else nothing.
std::optional<Cell> cellUnderPointer(const Camera& camera, glm::vec2 pointer, Cell size, int layer);
