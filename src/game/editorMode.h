// The level editor as a mode of the game's state (--edit): the frame's
// update hands it the presses, the clicks and the panel's commands; play-test
// runs the level in the normal puzzle play and Escape comes back.
#pragma once

#include "game/camera.h"
#include "game/editor.h"
#include "game/keys.h"
#include "game/menu.h"

#include <glm/vec2.hpp>

#include <optional>
#include <string>
#include <vector>

struct GameState;
struct FrameOutcome;
struct OverlayText;

// The run opens the editor on the level from `path`, seen from outside.
void startEditor(GameState& game, const std::string& path, const LevelFile& level);
// The editor takes the frame (not while its level is play-tested).
bool editing(const GameState& game);

// The panel's keyboard and mouse claims for this frame, before any event.
void notePanelClaims(GameState& game, const std::vector<MenuAction>& actions);
// Escape: play-test returns to the editor; unsaved changes ask first.
void escapeInEditor(GameState& game, FrameOutcome& outcome);
void pressEditorKey(GameState& game, Key key, FrameOutcome& outcome);
void applyEditorCommand(GameState& game, const EditorCommand& command, FrameOutcome& outcome);
// A mouse button in the editor: the left one picks the cell under the
// cursor, the right one drags the view round.
void pressEditorButton(GameState& game, int button, bool pressed, glm::vec2 cursorArea);
// A play-tested level that is won returns to the editor.
bool endWonPlayTest(GameState& game);
// The editor's frame: a finished proof comes in, the trace line goes out.
void stepEditorFrame(GameState& game, FrameOutcome& outcome);
std::vector<OverlayText> editorOverlayTexts(const GameState& game);

// The cell a pointer (0..1 across and down the picture) shows: the first
// cell of `layer` the ray from the camera meets, else the first cell of the
// level's box, else nothing.
std::optional<Cell> cellUnderPointer(const Camera& camera, glm::vec2 pointer, Cell size, int layer);
