// The occupancy map: for every occupied cell, the object standing there.
// The pointers do not own; every object is a global of its own.
#pragma once

#include "world/cell.h"

#include <cstddef>
#include <map>

class GameObject;

class LevelGrid {
  public:
    // After it the cell's entry points to object; an older entry is overwritten.
    void insertOrAssign(Cell cell, GameObject* object);
    // Removes the cell's entry whatever it points to; no entry, no effect.
    void erase(Cell cell);
    // 1 when the cell has an entry, else 0.
    std::size_t count(Cell cell) const;
    // The object the cell's entry points to, or nullptr.
    GameObject* at(Cell cell) const;
    std::size_t size() const { return entries.size(); }

  private:
    std::map<Cell, GameObject*> entries;
};

// The game's one grid, built before the first object of the level.
extern LevelGrid levelGrid;
