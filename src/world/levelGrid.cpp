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
