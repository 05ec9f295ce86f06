#include "world/gameObject.h"

namespace {

// Axis 1, 2, 3 is x, y, z, as in the direction codes.
int32_t& axisIndex(Cell& cell, int32_t axis) {
    return axis == 1 ? cell.x : axis == 2 ? cell.y : cell.z;
}

// Only the first axis whose index changed counts, and not by how much.
Direction directionOfChange(Cell from, Cell to) {
    const int32_t fromIndices[3] = {from.x, from.y, from.z};
    const int32_t toIndices[3] = {to.x, to.y, to.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (toIndices[axis] != fromIndices[axis]) {
            const Direction code = axis + 1;
            return toIndices[axis] > fromIndices[axis] ? code : -code;
        }
    }
    return 0;
}

} // namespace

GameObject::GameObject(Cell startCell, LevelGrid& grid) : cell(startCell), grid(&grid) {
    grid.insertOrAssign(startCell, this);
}

void GameObject::moveTo(Cell target) {
    grid->erase(cell);
    cell = target;
    grid->insertOrAssign(cell, this);
}

void Block::stepAlong(Direction direction, int32_t sense) {
    if (direction < -3 || direction > 3 || direction == 0) {
        return;
    }
    Cell target = cell;
    const int32_t axis = direction > 0 ? direction : -direction;
    int32_t& index = axisIndex(target, axis);
    // Summed wide: a block may have been placed anywhere. A step that would
    // leave the level keeps the index, so the block's own entry stops it.
    const int64_t stepped = static_cast<int64_t>(index) + (direction > 0 ? sense : -sense);
    Cell size = grid->extent;
    if (stepped >= 0 && stepped < axisIndex(size, axis)) {
        index = static_cast<int32_t>(stepped);
    }
    if (grid->count(target) == 0) {
        moveTo(target);
    }
}

RedBlock::RedBlock(Cell start, LevelGrid& grid) : Block(start, grid) {
    grid.redStartCells.push_back(start);
}

std::vector<Cell> RedBlock::startCells() const {
    return grid->redStartCells;
}

void RedBlock::step(Direction direction) {
    stepAlong(direction, 1);
}

BlueBlock::BlueBlock(Cell start, LevelGrid& grid) : Block(start, grid) {
    grid.blueStartCells.push_back(start);
}

std::vector<Cell> BlueBlock::startCells() const {
    return grid->blueStartCells;
}

void BlueBlock::step(Direction direction) {
    stepAlong(direction, -1);
}

Player::Player(Cell start, glm::vec3 startPosition, LevelGrid& grid)
    : GameObject(start, grid), position(startPosition) {
    moveTo(cellOf(startPosition));
}

void Player::setPosition(glm::vec3 newPosition) {
    const Cell oldCell = cell;
    position = newPosition;
    moveTo(cellOf(newPosition));
    direction = directionOfChange(oldCell, cell);
}
