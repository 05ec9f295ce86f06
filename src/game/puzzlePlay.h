// The puzzle keys of levels from files: restart, unlimited undo, hints and
// a help overlay, and the moves counted against the level's par. The plain
// room played without flags has none of them.
#pragma once

#include "game/bindings.h"
#include "game/camera.h"
#include "game/campaign.h"
#include "game/hint.h"
#include "game/keys.h"
#include "game/moveHistory.h"
#include "game/sound.h"
#include "world/level.h"

#include <optional>
#include <string>
#include <vector>

struct PuzzlePlay {
    bool enabled = false;
    LevelHeading heading;
    MoveHistory history;
    HintWorker hints;
    // The hint found for the cell the player is in; its words are made from
    // the camera whenever the line is (hintLine), so they follow the turns.
    std::optional<Hint> hint;
    bool helpShown = false;
};

// A new level: no moves, nothing to undo, no hint, the help as it was.
void startPuzzleLevel(PuzzlePlay& puzzle, const LevelHeading& heading);
// The level back at its start, undoable like a move; the hint goes.
void restartPuzzleLevel(PuzzlePlay& puzzle, Level& level, Camera& camera);
// One press of an action's key or button: restart, undo, ask for a hint,
// show or hide the help; any other action does nothing here. Returns the
// sound of a restart or of an undo that took a move back.
std::optional<SoundKind> pressPuzzleAction(PuzzlePlay& puzzle, Level& level, Camera& camera,
                                           Action action);
// The player is about to leave its cell: the move is kept for undo and the
// hint, which was for the cell left, goes.
void beforeCellChange(PuzzlePlay& puzzle, const Level& level);
// A hint whose search finished since the last frame is kept and shown from
// now on; returns its line in the words of `camera` (as the player looks at
// its arrival), or empty when none came.
std::string collectHint(PuzzlePlay& puzzle, const Camera& camera,
                        const KeyBindings& keys = KeyBindings::defaults());
// The hint line as the player looking through `camera` sees it now: the
// found hint, "Hint: searching..." while the search runs, or empty.
std::string hintLine(const PuzzlePlay& puzzle, const Camera& camera,
                     const KeyBindings& keys = KeyBindings::defaults());

// The cell the hint on screen points to: the player's neighbour along the
// hinted move; nothing when no move is hinted.
std::optional<Cell> hintedCellOf(const PuzzlePlay& puzzle, const Level& level);

// "Level 2/8  moves 5  par 12" ("par" only when the level names one).
std::string movesLine(const PuzzlePlay& puzzle);
// What the help shows of the keys in use, a line each: the pause key quits
// or, in runs with menus, pauses; the pad's lines while one is connected.
struct HelpKeys {
    KeyBindings bindings = KeyBindings::defaults();
    bool menus = false;
    bool pad = false;
    // A play-test from the editor: the pause key goes back to it.
    bool playTest = false;
};
// The help overlay, made from the bindings in use.
std::vector<std::string> helpLines(const HelpKeys& keys);
