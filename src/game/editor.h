// The level editor's own state and its editing operations, free of the
// window system and of GL: the level being made, the cursor cell, undo and
// redo, the proof searched on a worker thread, saving and the level's text.
// Every edit keeps a level the loader accepts in its structure: one start,
// one trophy, at least one block of each colour, one piece a cell.
#pragma once

#include "game/asideWorker.h"
#include "game/campaign.h"
#include "game/editorCommand.h"
#include "game/keys.h"
#include "game/overview.h"
#include "world/levelFile.h"
#include "world/solver.h"

#include <optional>
#include <string>
#include <vector>

// The size of a new level, and the most states a proof may hold.
constexpr Cell newLevelSize{5, 4, 5};
constexpr int proofStateLimit = solverStateLimit;
// The editor's panel takes this many of the window's pixels at its right;
// the view centres the level in the rest.
constexpr float editorPanelWidth = 360.0f;

// A new level: "Untitled", 5 x 4 x 5, the start, the trophy, one red and
// one blue block on the floor.
LevelFile newEditorLevel();

EditorPiece pieceAt(const LevelLayout& layout, Cell cell);
bool isInsideLevel(const LevelLayout& layout, Cell cell);
// Puts the piece in the cell, in place of what was there; the start and the
// trophy move there. Empty when done, else why not (nothing changes): the
// last block of a colour, the start or the trophy cannot be covered or
// erased, and a colour holds at most levelBlocksMax blocks. The blocks stay
// in reading order.
std::string placePiece(LevelLayout& layout, Cell cell, EditorPiece piece);
// A new size (levelSideMin to levelSideMax a side); refused, with why, when a
// piece would be left outside.
std::string resizeLevel(LevelLayout& layout, Cell size);

struct ProofAnswer {
    SolveOutcome outcome = SolveOutcome::undecided;
    int par = 0;
    // The pieces that do not matter (see world/pieces.h).
    std::vector<Cell> idleCells;
};
// The shortest way and, when there is one, the pieces that do not matter;
// soon undecided after `stop` is set.
ProofAnswer proveLayout(const LevelLayout& layout, const std::atomic<bool>* stop);

struct EditorProof {
    enum class Status { none, proving, done };
    Status status = Status::none;
    ProofAnswer answer;
};

// Which text field was typed in last: typing in one field is one undo step.
enum class EditorField { none, title, author };

struct EditorState {
    bool enabled = false;
    bool playTesting = false;
    bool askingToLeave = false;
    bool helpShown = false;
    std::string path;
    LevelFile level;
    Cell cursor;
    std::vector<LevelFile> undoSteps;
    std::vector<LevelFile> redoSteps;
    EditorField lastField = EditorField::none;
    bool unsaved = false;
    // The last thing the editor has to say: a refusal, a loader message.
    std::string message;
    EditorProof proof;
    AsideWorker<LevelLayout, ProofAnswer> prover{proveLayout};
    // The overview round the level, kept while the level is play-tested.
    Overview view;
    // The run the menus come back to after "Make a level" (which puts new
    // levels in the player's own folder).
    std::optional<Campaign> menuCampaign;
    // The panel has the keyboard or the mouse in this frame.
    bool keysTaken = false;
    bool mouseTaken = false;
    // The window's width in the cursor's pixels, as the last frame had it.
    float windowWidth = 1024.0f;
};

// The editor, not a play-test of its level, takes the frames.
bool editorShown(const EditorState& editor);
// The par the proof found, when it found a way.
std::optional<int> provenPar(const EditorProof& proof);

// The editor on a level from `path` (new or loaded); nothing to undo.
void openEditor(EditorState& editor, const std::string& path, const LevelFile& level);
// The edits, each one undo step; a refused one leaves its reason in the
// message. A done edit calls off the proof.
void editPiece(EditorState& editor, EditorPiece piece);
void editSize(EditorState& editor, Cell size);
void editText(EditorState& editor, EditorField field, const std::string& text);
// The clipboard's text, read by the loader as "<clipboard>".
void pasteLevel(EditorState& editor, const std::string& text);
bool undoEdit(EditorState& editor);
bool redoEdit(EditorState& editor);
// The cursor one cell along the direction, staying inside.
void moveEditorCursor(EditorState& editor, Direction direction);

// Starts the proof (one running goes on); takes a finished one.
void startProof(EditorState& editor);
void collectProof(EditorState& editor);
// "Par 12", "No way to the trophy", "Undecided: ...", "Proving...", or
// empty before any proof.
std::string proofLine(const EditorProof& proof);

// The level's file text: with par only when proven.
std::string editedLevelText(const EditorState& editor);
// Writes the file atomically when the loader accepts its text; true when
// saved, else the message says why.
bool saveEditedLevel(EditorState& editor);

// "level-1.level" in the folder, or the next number not taken.
std::string firstFreeLevelPath(const std::string& folder);

// The editor's keys: the command of a press (Control held or not), and the
// help lines that list them.
std::optional<EditorCommand> editorCommandOfKey(Key key, bool control);
std::vector<std::string> editorHelpLines();
