// A grid cell, the direction codes of a change of cell, and the cell of a
// world position. One world unit per cell index.
#pragma once

#include <glm/vec3.hpp>

#include <cstdint>
#include <string>
#include <tuple>

struct Cell {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
};

inline bool operator==(const Cell& a, const Cell& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline bool operator!=(const Cell& a, const Cell& b) {
    return !(a == b);
}

// Lexicographic: x first, then y, then z.
inline bool operator<(const Cell& a, const Cell& b) {
    return std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z);
}

// Direction codes of a change of cell: +1/-1 x grew/shrank, +2/-2 y, +3/-3 z,
// 0 for no change.
using Direction = int32_t;

// The six codes of a single-cell move, in the order searches try them.
constexpr Direction moveDirections[6] = {1, -1, 2, -2, 3, -3};

// The cell one step along a direction code; any other code gives the cell.
Cell neighbourOf(Cell cell, Direction direction);
// "+x", "-x", "+y", "-y", "+z", "-z"; empty for any other code.
std::string directionName(Direction direction);

// The cell a world position belongs to (per-axis floor). Positions far
// outside the level, or with no number at all, still get a cell outside it.
Cell cellOf(glm::vec3 position);
// The middle of the cell, where a player who moves one cell stands.
glm::vec3 cellCentre(Cell cell);
// The cell's lowest corner, where the camera starts in its start cell.
glm::vec3 cellCorner(Cell cell);
