#include "world/rules.h"

namespace {

// Written as "not inside" so that a coordinate with no number goes back too.
float withinBounds(float moved, float fallback, int32_t cells) {
    const double value = moved;
    const bool inside = value >= wallMargin && value <= cells - wallMargin;
    return inside ? moved : fallback;
}

} // namespace

bool isCellBlocked(const Level& level, glm::vec3 position) {
    const Cell cell = cellOf(position);
    if (cell == level.player.cell) {
        return false;
    }
    return level.grid.count(cell) == 1;
}

glm::vec3 allowedPosition(const Level& level, glm::vec3 from, glm::vec3 moved) {
    const Cell size = level.grid.extent;
    moved.x = withinBounds(moved.x, from.x, size.x);
    moved.y = withinBounds(moved.y, from.y, size.y);
    moved.z = withinBounds(moved.z, from.z, size.z);
    return isCellBlocked(level, moved) ? from : moved;
}

void stepBlocks(Level& level, Direction direction) {
    if (direction == 0) {
        return;
    }
    for (RedBlock& block : level.redBlocks) {
        block.step(direction);
    }
    for (BlueBlock& block : level.blueBlocks) {
        block.step(direction);
    }
}

Direction movePlayer(Level& level, glm::vec3 position) {
    level.player.setPosition(position);
    stepBlocks(level, level.player.direction);
    return level.player.direction;
}

bool movePlayerOneCell(Level& level, Direction direction) {
    const Cell target = neighbourOf(level.player.cell, direction);
    if (target == level.player.cell || !level.grid.isInside(target) ||
        level.grid.count(target) != 0) {
        return false;
    }
    movePlayer(level, cellCentre(target));
    return true;
}
