// The player's way through a level so far, kept for undo and restart: the
// state before every change of cell and before every restart, and the moves
// counted against the level's par.
#pragma once

#include "game/camera.h"
#include "world/level.h"
#include "world/levelState.h"

#include <vector>

class MoveHistory {
  public:
    // Cell changes since the level started; an undo counts back.
    int moves() const { return moveCount; }
    bool canUndo() const { return !steps.empty(); }

    // The player is about to change cell; `before` is the level as it stands.
    void recordCellChange(const LevelState& before);
    // Blocks and player back to their starts, the camera to its start
    // position and orientation (zoom and aspect stay). Undoable like a move.
    void restart(Level& level, Camera& camera);
    // The state before the last cell change or restart comes back; the camera
    // goes to the middle of the player's cell and keeps its orientation.
    // False, and nothing changes, when there is nothing to undo.
    bool undo(Level& level, Camera& camera);
    // A new level: no moves, nothing to undo.
    void clear();

  private:
    struct Step {
        LevelState before;
        int movesBefore;
    };
    std::vector<Step> steps;
    int moveCount = 0;
};
