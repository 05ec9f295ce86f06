// A snapshot of everything that moves in the level, so that a search or a
// test can try moves on the real objects and put them back afterwards.
#pragma once

#include "world/cell.h"
#include "world/level.h"

#include <array>

struct LevelState {
    Cell player;
    std::array<Cell, redBlockCount> red;
    std::array<Cell, blueBlockCount> blue;
};

bool operator==(const LevelState& a, const LevelState& b);
bool operator<(const LevelState& a, const LevelState& b);

LevelState captureLevelState();
// True when every cell lies inside the level, no two movers share a cell and
// none stands on a fixed obstacle: only such a state can be put back without
// taking another object's grid entry.
bool fitsLevel(const LevelState& state);
// Puts the player and the blocks back into the given cells, grid included;
// the player's direction becomes 0 and its position the middle of its cell.
// A state that does not fit the level changes nothing and gives false.
bool restoreLevelState(const LevelState& state);
