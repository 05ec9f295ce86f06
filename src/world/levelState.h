// A snapshot of everything that moves in a level: the player's cell and the
// cells of the red and blue blocks, in their stepping order.
#pragma once

#include "world/cell.h"
#include "world/level.h"

#include <vector>

struct LevelState {
    Cell player;
    std::vector<Cell> red;
    std::vector<Cell> blue;
};

bool operator==(const LevelState& a, const LevelState& b);
bool operator<(const LevelState& a, const LevelState& b);

LevelState captureLevelState(const Level& level);
// The movers at their start cells, as a level built from the layout has them.
LevelState levelStartState(const LevelLayout& layout);
// True when the state has one cell for each of the level's blocks, every
// cell lies inside the level, no two movers share a cell and none stands on
// a crate: only such a state can be put back without taking another
// object's grid entry.
bool fitsLevel(const Level& level, const LevelState& state);
// Puts the player and the blocks back into the given cells, grid included;
// the player's direction becomes 0 and its position the middle of its cell.
// A state that does not fit the level changes nothing and gives false.
bool restoreLevelState(Level& level, const LevelState& state);
