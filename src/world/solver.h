// A shortest way through the level by the game's own rules: single-cell
// player moves along the axes, each followed by the block steps it causes.
#pragma once

#include "world/cell.h"
#include "world/gameObject.h"
#include "world/levelState.h"

#include <optional>
#include <string>
#include <vector>

// Shortest list of direction codes that takes the player from the state to
// the goal cell, or nothing when there is none within maxMoves. The level's
// objects are left as they were.
std::optional<std::vector<Direction>> solveLevel(const LevelState& start, Cell goal,
                                                 int maxMoves = 60);
// "+x", "-x", "+y", "-y", "+z", "-z".
std::string directionName(Direction direction);
