#include "world/levelLayout.h"

#include "world/levelGrid.h"

#include <tuple>

namespace {

LevelLayout makeBuiltInLayout() {
    LevelLayout layout;
    layout.size = Cell{roomSize, roomSize, roomSize};
    layout.playerStart = Cell{5, 7, 9};
    layout.redStarts = {{0, 7, 3}, {2, 7, 3}, {4, 7, 3}, {4, 7, 7}, {5, 7, 7}};
    layout.blueStarts = {{1, 3, 4}, {3, 3, 4}, {5, 3, 4}, {7, 3, 4}, {9, 3, 4}};
    // In reading order (layer, row, column), as a level file lists them. No
    // crate shares a block's start cell: it would take the block's grid
    // entry, and the block's first step would then erase the crate's.
    layout.obstacles = {{3, 2, 1}, {1, 2, 3}, {2, 2, 3}, {3, 2, 3}, {0, 4, 0}, {1, 4, 0},
                        {2, 4, 0}, {4, 4, 4}, {8, 6, 5}, {1, 8, 9}, {6, 9, 5}};
    layout.trophyCell = Cell{2, 2, 0};
    return layout;
}

} // namespace

bool operator==(const LevelLayout& a, const LevelLayout& b) {
    return std::tie(a.size, a.playerStart, a.redStarts, a.blueStarts, a.obstacles, a.trophyCell) ==
           std::tie(b.size, b.playerStart, b.redStarts, b.blueStarts, b.obstacles, b.trophyCell);
}

const LevelLayout& builtInLayout() {
    static const LevelLayout layout = makeBuiltInLayout();
    return layout;
}
