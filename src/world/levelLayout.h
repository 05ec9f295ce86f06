// Where everything of a level starts: its size, the player's start cell, the
// red and blue blocks (in the order they step), the crates and the trophy.
#pragma once

#include "world/cell.h"

#include <vector>

struct LevelLayout {
    Cell size;
    Cell playerStart;
    std::vector<Cell> redStarts;
    std::vector<Cell> blueStarts;
    std::vector<Cell> obstacles;
    // The goal: reaching this cell wins.
    Cell trophyCell;
};

bool operator==(const LevelLayout& a, const LevelLayout& b);

// The game's own room: 10 x 10 x 10 cells, five red and five blue blocks,
// eleven crates, the player at 5 7 9 and the trophy at 2 2 0.
const LevelLayout& builtInLayout();
