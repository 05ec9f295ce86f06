#include "game/moveHistory.h"

void MoveHistory::recordCellChange(const LevelState& before) {
    steps.push_back(Step{before, moveCount});
    moveCount += 1;
}

void MoveHistory::restart(Level& level, Camera& camera) {
    steps.push_back(Step{captureLevelState(level), moveCount});
    moveCount = 0;
    restoreLevelState(level, levelStartState(level.layout()));
    returnToStart(camera, level.layout());
    // The player stands where the camera does, as after any frame.
    level.player.position = camera.position;
}

bool MoveHistory::undo(Level& level, Camera& camera) {
    if (steps.empty()) {
        return false;
    }
    const Step last = steps.back();
    steps.pop_back();
    restoreLevelState(level, last.before);
    moveCount = last.movesBefore;
    camera.position = level.player.position;
    return true;
}

void MoveHistory::clear() {
    steps.clear();
    moveCount = 0;
}
