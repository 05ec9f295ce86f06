#include "world/rules.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// A coordinate is kept when it lies within the margins, or when it comes
// from inside a margin and goes towards the room's inside: a camera that
// starts on its start cell's lowest corner (at 0 on an axis, inside the
// margin) can leave it by steps of any size. Written as "kept when" so that
// a coordinate with no number goes back too.
float withinBounds(float moved, float from, int32_t cells) {
    const double value = moved;
    const double start = from;
    const double low = wallMargin;
    const double high = cells - wallMargin;
    const bool inside = value >= low && value <= high;
    const bool leavingLowMargin = start < low && value > start && value <= high;
    const bool leavingHighMargin = start > high && value < start && value >= low;
    return inside || leavingLowMargin || leavingHighMargin ? moved : from;
}

struct Crossing {
    double at; // fraction of the way from `from` to `to`
    int axis;
    int32_t enteredCell;
};

// Every cell boundary of one axis on the way from `from` to `to`.
void addCrossings(int axis, float from, float to, std::vector<Crossing>& crossings) {
    const double start = from;
    const double end = to;
    if (!(end != start) || !std::isfinite(start) || !std::isfinite(end)) {
        return;
    }
    // Going up, the cell becomes k on reaching k; going down, it becomes
    // k - 1 just below k.
    if (end > start) {
        for (double k = std::floor(start) + 1.0; k <= end; k += 1.0) {
            crossings.push_back({(k - start) / (end - start), axis, static_cast<int32_t>(k)});
        }
    } else {
        for (double k = std::floor(start); k > end; k -= 1.0) {
            crossings.push_back({(start - k) / (start - end), axis, static_cast<int32_t>(k) - 1});
        }
    }
}

// The coordinate kept within the cell: never below its low side, always
// below the next cell's.
float insideCell(float coordinate, int32_t cell) {
    const float low = static_cast<float>(cell);
    const float high =
        std::nextafter(static_cast<float>(cell + 1), -std::numeric_limits<float>::infinity());
    return std::clamp(coordinate, low, high);
}

// A move that would cross two or more cell boundaries stops where the second
// would be crossed, with only the first one crossed: every move changes the
// cell at most once, by one cell on one axis. Where two boundaries are met
// at once (a move through an edge of four cells), the first axis crosses.
glm::vec3 limitedToOneCrossing(glm::vec3 from, glm::vec3 to) {
    std::vector<Crossing> crossings;
    for (int axis = 0; axis < 3; ++axis) {
        addCrossings(axis, from[axis], to[axis], crossings);
    }
    if (crossings.size() < 2) {
        return to;
    }
    std::stable_sort(crossings.begin(), crossings.end(),
                     [](const Crossing& a, const Crossing& b) { return a.at < b.at; });
    const Crossing& first = crossings[0];
    const double stopAt = crossings[1].at;
    glm::vec3 limited;
    for (int axis = 0; axis < 3; ++axis) {
        const double travelled =
            double(from[axis]) + (double(to[axis]) - double(from[axis])) * stopAt;
        const int32_t cell =
            axis == first.axis ? first.enteredCell : static_cast<int32_t>(std::floor(from[axis]));
        limited[axis] =
            to[axis] == from[axis] ? from[axis] : insideCell(static_cast<float>(travelled), cell);
    }
    return limited;
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
    moved = limitedToOneCrossing(from, moved);
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
