#include "world/levelState.h"

#include <algorithm>
#include <tuple>

namespace {

bool isMover(const Level& level, const GameObject* object) {
    if (object == &level.player) {
        return true;
    }
    const auto isThis = [object](const GameObject& mover) { return &mover == object; };
    return std::any_of(level.redBlocks.begin(), level.redBlocks.end(), isThis) ||
           std::any_of(level.blueBlocks.begin(), level.blueBlocks.end(), isThis);
}

std::vector<Cell> cellsOf(const LevelState& state) {
    std::vector<Cell> cells{state.player};
    cells.insert(cells.end(), state.red.begin(), state.red.end());
    cells.insert(cells.end(), state.blue.begin(), state.blue.end());
    return cells;
}

bool allDistinct(std::vector<Cell> cells) {
    std::sort(cells.begin(), cells.end());
    return std::adjacent_find(cells.begin(), cells.end()) == cells.end();
}

// Only the mover's own entry goes; an entry that another object holds in the
// same cell stays.
void leaveOwnEntry(LevelGrid& grid, GameObject& mover) {
    if (grid.at(mover.cell) == &mover) {
        grid.erase(mover.cell);
    }
}

void enter(LevelGrid& grid, GameObject& mover, Cell cell) {
    mover.cell = cell;
    grid.insertOrAssign(cell, &mover);
}

} // namespace

bool operator==(const LevelState& a, const LevelState& b) {
    return a.player == b.player && a.red == b.red && a.blue == b.blue;
}

bool operator<(const LevelState& a, const LevelState& b) {
    return std::tie(a.player, a.red, a.blue) < std::tie(b.player, b.red, b.blue);
}

LevelState captureLevelState(const Level& level) {
    LevelState state;
    state.player = level.player.cell;
    for (const RedBlock& block : level.redBlocks) {
        state.red.push_back(block.cell);
    }
    for (const BlueBlock& block : level.blueBlocks) {
        state.blue.push_back(block.cell);
    }
    return state;
}

LevelState levelStartState(const LevelLayout& layout) {
    return LevelState{layout.playerStart, layout.redStarts, layout.blueStarts};
}

bool fitsLevel(const Level& level, const LevelState& state) {
    if (state.red.size() != level.redBlocks.size() ||
        state.blue.size() != level.blueBlocks.size()) {
        return false;
    }
    const std::vector<Cell> cells = cellsOf(state);
    const auto fits = [&level](Cell cell) {
        const GameObject* occupant = level.grid.at(cell);
        return level.grid.isInside(cell) && (occupant == nullptr || isMover(level, occupant));
    };
    return std::all_of(cells.begin(), cells.end(), fits) && allDistinct(cells);
}

bool restoreLevelState(Level& level, const LevelState& state) {
    if (!fitsLevel(level, state)) {
        return false;
    }
    LevelGrid& grid = level.grid;
    // Every mover leaves first, so no mover's new cell is taken by an old one.
    leaveOwnEntry(grid, level.player);
    for (RedBlock& block : level.redBlocks) {
        leaveOwnEntry(grid, block);
    }
    for (BlueBlock& block : level.blueBlocks) {
        leaveOwnEntry(grid, block);
    }
    enter(grid, level.player, state.player);
    for (std::size_t i = 0; i < level.redBlocks.size(); ++i) {
        enter(grid, level.redBlocks[i], state.red[i]);
    }
    for (std::size_t i = 0; i < level.blueBlocks.size(); ++i) {
        enter(grid, level.blueBlocks[i], state.blue[i]);
    }
    level.player.direction = 0;
    level.player.position = cellCentre(state.player);
    return true;
}
