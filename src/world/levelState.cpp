#include "world/levelState.h"

#include <algorithm>
#include <tuple>
#include <vector>

namespace {

bool isInsideLevel(Cell cell) {
    const auto inside = [](int32_t index) { return index >= 0 && index < levelSize; };
    return inside(cell.x) && inside(cell.y) && inside(cell.z);
}

bool isMover(const GameObject* object) {
    if (object == &player) {
        return true;
    }
    const auto isThis = [object](const GameObject& mover) { return &mover == object; };
    return std::any_of(std::begin(redBlocks), std::end(redBlocks), isThis) ||
           std::any_of(std::begin(blueBlocks), std::end(blueBlocks), isThis);
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
void leaveOwnEntry(GameObject& mover) {
    if (levelGrid.at(mover.cell) == &mover) {
        levelGrid.erase(mover.cell);
    }
}

void enter(GameObject& mover, Cell cell) {
    mover.cell = cell;
    levelGrid.insertOrAssign(cell, &mover);
}

} // namespace

bool operator==(const LevelState& a, const LevelState& b) {
    return a.player == b.player && a.red == b.red && a.blue == b.blue;
}

bool operator<(const LevelState& a, const LevelState& b) {
    return std::tie(a.player, a.red, a.blue) < std::tie(b.player, b.red, b.blue);
}

LevelState captureLevelState() {
    LevelState state;
    state.player = player.cell;
    for (int i = 0; i < redBlockCount; ++i) {
        state.red[i] = redBlocks[i].cell;
    }
    for (int i = 0; i < blueBlockCount; ++i) {
        state.blue[i] = blueBlocks[i].cell;
    }
    return state;
}

bool fitsLevel(const LevelState& state) {
    const std::vector<Cell> cells = cellsOf(state);
    const auto fits = [](Cell cell) {
        const GameObject* occupant = levelGrid.at(cell);
        return isInsideLevel(cell) && (occupant == nullptr || isMover(occupant));
    };
    return std::all_of(cells.begin(), cells.end(), fits) && allDistinct(cells);
}

bool restoreLevelState(const LevelState& state) {
    if (!fitsLevel(state)) {
        return false;
    }
    // Every mover leaves first, so no mover's new cell is taken by an old one.
    leaveOwnEntry(player);
    std::for_each(std::begin(redBlocks), std::end(redBlocks), leaveOwnEntry);
    std::for_each(std::begin(blueBlocks), std::end(blueBlocks), leaveOwnEntry);
    enter(player, state.player);
    for (int i = 0; i < redBlockCount; ++i) {
        enter(redBlocks[i], state.red[i]);
    }
    for (int i = 0; i < blueBlockCount; ++i) {
        enter(blueBlocks[i], state.blue[i]);
    }
    player.direction = 0;
    player.position = glm::vec3(state.player.x, state.player.y, state.player.z) + 0.5f;
    return true;
}
