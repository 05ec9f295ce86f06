#include "world/level.h"

#include "app/camera.h"

#include <cmath>
#include <limits>

namespace {

// The player's first grid entry comes from the camera's start by truncation;
// its constructor then moves it to the cell of that position.
Cell truncatedCell(glm::vec3 position) {
    return Cell{static_cast<int32_t>(position.x), static_cast<int32_t>(position.y),
                static_cast<int32_t>(position.z)};
}

// Positions far outside the level, or with no number at all, still get a
// cell (one outside the level) instead of an undefined conversion.
int32_t cellIndexOf(float coordinate) {
    constexpr float firstBeyond = 2147483648.0f; // 2^31
    if (std::isnan(coordinate)) {
        return std::numeric_limits<int32_t>::min();
    }
    const float floored = static_cast<float>(std::floor(static_cast<double>(coordinate)));
    if (floored >= firstBeyond) {
        return std::numeric_limits<int32_t>::max();
    }
    if (floored < -firstBeyond) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(floored);
}

} // namespace

// Everything below is built in this order before main, so the grid exists
// before the first object enters it and outlives the last one.
LevelGrid levelGrid;

Player player(truncatedCell(cameraStartPosition), cameraStartPosition);

RedBlock redBlocks[redBlockCount] = {
    RedBlock(Cell{0, 7, 3}), RedBlock(Cell{2, 7, 3}), RedBlock(Cell{4, 7, 3}),
    RedBlock(Cell{4, 7, 7}), RedBlock(Cell{5, 7, 7}),
};

BlueBlock blueBlocks[blueBlockCount] = {
    BlueBlock(Cell{1, 3, 4}), BlueBlock(Cell{3, 3, 4}), BlueBlock(Cell{5, 3, 4}),
    BlueBlock(Cell{7, 3, 4}), BlueBlock(Cell{9, 3, 4}),
};

// No obstacle shares a block's start cell: it would take the block's grid
// entry, and the block's first step would then erase the obstacle's.
GameObject obstacles[obstacleCount] = {
    GameObject(Cell{8, 6, 5}), GameObject(Cell{3, 2, 1}), GameObject(Cell{6, 9, 5}),
    GameObject(Cell{1, 8, 9}), GameObject(Cell{4, 4, 4}), GameObject(Cell{0, 4, 0}),
    GameObject(Cell{1, 4, 0}), GameObject(Cell{2, 4, 0}), GameObject(Cell{3, 2, 3}),
    GameObject(Cell{2, 2, 3}), GameObject(Cell{1, 2, 3}),
};

Cell cellOf(glm::vec3 position) {
    return Cell{cellIndexOf(position.x), cellIndexOf(position.y), cellIndexOf(position.z)};
}

bool isCellBlocked(glm::vec3 position) {
    const Cell cell = cellOf(position);
    // The player's own entry never blocks the player.
    if (cell == player.cell) {
        return false;
    }
    return levelGrid.count(cell) == 1;
}
