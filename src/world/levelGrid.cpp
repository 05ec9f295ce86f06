#include "world/levelGrid.h"

void LevelGrid::insertOrAssign(Cell cell, GameObject* object) {
    entries[cell] = object;
}

void LevelGrid::erase(Cell cell) {
    entries.erase(cell);
}

std::size_t LevelGrid::count(Cell cell) const {
    return entries.count(cell);
}

GameObject* LevelGrid::at(Cell cell) const {
    const auto entry = entries.find(cell);
    return entry == entries.end() ? nullptr : entry->second;
}

bool LevelGrid::isInside(Cell cell) const {
    return cell.x >= 0 && cell.x < extent.x && cell.y >= 0 && cell.y < extent.y && cell.z >= 0 &&
           cell.z < extent.z;
}
