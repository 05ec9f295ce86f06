// A shortest way through the level by the game's own rules: single-cell
// player moves along the axes, each followed by the block steps it causes.
#pragma once

#include "world/cell.h"
#include "world/gameObject.h"
#include "world/levelState.h"

#include <optional>
#include <string>
#include <vector>

// How many distinct level states a search may hold before it gives up: the
// block layouts multiply fast, and a level with no way through would
// otherwise fill the memory. About 100 bytes each.
constexpr int solverStateLimit = 1000000;

// Shortest list of direction codes that takes the player from the state to
// the goal cell, or nothing when there is none within maxMoves, when the
// search meets maxStates first, or when the start does not fit the level.
// The level's objects are left as they were.
std::optional<std::vector<Direction>>
solveLevel(const LevelState& start, Cell goal, int maxMoves = 60, int maxStates = solverStateLimit);
// "+x", "-x", "+y", "-y", "+z", "-z".
std::string directionName(Direction direction);
