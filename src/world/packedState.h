// The movers of a level packed into a few bytes, as the solver keeps them by
// the million: every cell numbered in the room (x first, then y, then z),
// each number in as few bits as the room's largest number needs, the player
// first, then the red and the blue blocks in level order (the order in which
// they step, so it is part of the state).
#pragma once

#include "world/cell.h"
#include "world/levelState.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A cell number that names no cell: the neighbour beyond a wall.
constexpr uint16_t noCellNumber = 0xFFFF;
// Rooms up to this many cells can be packed: ten a side and a little more.
constexpr int packableCells = 1024;

class StatePacking {
  public:
    // For the room's extent (at most packableCells cells) and its blocks.
    StatePacking(Cell extent, std::size_t redCount, std::size_t blueCount);

    int cellCount() const { return cells; }
    std::size_t moverCount() const { return movers; }
    std::size_t keyBytes() const { return bytes; }
    std::size_t redCount() const { return reds; }

    // The cell must lie inside the room.
    uint16_t numberOf(Cell cell) const;
    Cell cellNumbered(uint16_t number) const;
    // The neighbour's number, or noCellNumber beyond the room's walls.
    uint16_t neighbourOf(uint16_t number, Direction direction) const;

    // moverCount() numbers to and from keyBytes() bytes; unused bits are 0,
    // so equal states give equal bytes.
    void pack(const uint16_t* numbers, uint8_t* key) const;
    void unpack(const uint8_t* key, uint16_t* numbers) const;

    // The same for a whole state whose cells lie inside the room and whose
    // block counts are the packing's.
    std::vector<uint8_t> packed(const LevelState& state) const;
    LevelState unpacked(const uint8_t* key) const;

  private:
    Cell extent;
    int cells;
    std::size_t reds;
    std::size_t blues;
    std::size_t movers;
    unsigned bitsPerCell;
    std::size_t bytes;
};

// True when a room of this extent can be packed.
bool isPackable(Cell extent);
