// The occupancy map: for every occupied cell, the object standing there, and
// the start cells of the red and blue blocks that entered it, in the order
// they were made. The pointers do not own; a Level owns the objects.
#pragma once

#include "world/cell.h"

#include <cstddef>
#include <map>
#include <vector>

class GameObject;

// The built-in room's extent in cells along each axis.
constexpr int roomSize = 10;

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
    const std::map<Cell, GameObject*>& allEntries() const { return entries; }

    // The level's extent: cells from 0 to extent - 1 on each axis.
    Cell extent{roomSize, roomSize, roomSize};
    bool isInside(Cell cell) const;

    std::vector<Cell> redStartCells;
    std::vector<Cell> blueStartCells;

  private:
    std::map<Cell, GameObject*> entries;
};
