// Tests that play on a fresh copy of the game's own level. The members carry
// the game's names, so the tests read as the game does.
#pragma once

#include "world/levelState.h"
#include "world/rules.h"
#include "world/solver.h"

#include <gtest/gtest.h>

class LevelTest : public ::testing::Test {
  protected:
    LevelState withPlayerAt(Cell cell) const {
        LevelState state = captureLevelState();
        state.player = cell;
        return state;
    }

    // The world's operations on this test's level.
    LevelState captureLevelState() const { return ::captureLevelState(level); }
    bool fitsLevel(const LevelState& state) const { return ::fitsLevel(level, state); }
    bool restoreLevelState(const LevelState& state) { return ::restoreLevelState(level, state); }
    bool isCellBlocked(glm::vec3 position) const { return ::isCellBlocked(level, position); }
    void stepBlocks(Direction direction) { ::stepBlocks(level, direction); }
    std::optional<std::vector<Direction>> solveLevel(const LevelState& start, Cell goal,
                                                     int maxMoves = 60,
                                                     int maxStates = solverStateLimit) const {
        return ::solveLevel(level, start, goal, maxMoves, maxStates);
    }

    Level level;
    LevelGrid& levelGrid = level.grid;
    Player& player = level.player;
    std::vector<RedBlock>& redBlocks = level.redBlocks;
    std::vector<BlueBlock>& blueBlocks = level.blueBlocks;
    std::vector<GameObject>& obstacles = level.obstacles;
    const glm::vec3 savedPosition = player.position;
};
