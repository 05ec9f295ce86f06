#include "world/cell.h"

#include <cmath>
#include <limits>

namespace {

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

Cell neighbourOf(Cell cell, Direction direction) {
    switch (direction) {
    case 1:
    case -1:
        cell.x += direction;
        break;
    case 2:
    case -2:
        cell.y += direction / 2;
        break;
    case 3:
    case -3:
        cell.z += direction / 3;
        break;
    default:
        break;
    }
    return cell;
}

std::string directionName(Direction direction) {
    switch (direction) {
    case 1:
        return "+x";
    case -1:
        return "-x";
    case 2:
        return "+y";
    case -2:
        return "-y";
    case 3:
        return "+z";
    case -3:
        return "-z";
    default:
        return ""; // no change of cell has no name
    }
}

Cell cellOf(glm::vec3 position) {
    return Cell{cellIndexOf(position.x), cellIndexOf(position.y), cellIndexOf(position.z)};
}

glm::vec3 cellCorner(Cell cell) {
    return glm::vec3(static_cast<float>(cell.x), static_cast<float>(cell.y),
                     static_cast<float>(cell.z));
}

glm::vec3 cellCentre(Cell cell) {
    return cellCorner(cell) + 0.5f;
}
