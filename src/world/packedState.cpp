#include "world/packedState.h"

namespace {

unsigned bitsFor(int largestNumber) {
    unsigned bits = 1;
    while ((largestNumber >> bits) != 0) {
        ++bits;
    }
    return bits;
}

} // namespace

bool isPackable(Cell extent) {
    const bool positive = extent.x > 0 && extent.y > 0 && extent.z > 0;
    return positive && extent.x <= packableCells && extent.y <= packableCells &&
           extent.z <= packableCells &&
           int64_t{extent.x} * extent.y * extent.z <= int64_t{packableCells};
}

StatePacking::StatePacking(Cell extent, std::size_t redCount, std::size_t blueCount)
    : extent(extent), cells(extent.x * extent.y * extent.z), reds(redCount), blues(blueCount),
      movers(1 + redCount + blueCount), bitsPerCell(bitsFor(cells - 1)),
      bytes((movers * bitsPerCell + 7) / 8) {}

uint16_t StatePacking::numberOf(Cell cell) const {
    return static_cast<uint16_t>((cell.x * extent.y + cell.y) * extent.z + cell.z);
}

Cell StatePacking::cellNumbered(uint16_t number) const {
    const int32_t n = number;
    return Cell{n / (extent.y * extent.z), n / extent.z % extent.y, n % extent.z};
}

uint16_t StatePacking::neighbourOf(uint16_t number, Direction direction) const {
    const Cell next = ::neighbourOf(cellNumbered(number), direction);
    const bool inside = next.x >= 0 && next.x < extent.x && next.y >= 0 && next.y < extent.y &&
                        next.z >= 0 && next.z < extent.z;
    return inside ? numberOf(next) : noCellNumber;
}

// Bits go in from the lowest of each byte up; a cell never spans more than
// two bytes' worth of carry (at most 16 bits a number).
void StatePacking::pack(const uint16_t* numbers, uint8_t* key) const {
    uint32_t carry = 0;
    unsigned carried = 0;
    std::size_t out = 0;
    for (std::size_t i = 0; i < movers; ++i) {
        carry |= uint32_t{numbers[i]} << carried;
        carried += bitsPerCell;
        for (; carried >= 8; carried -= 8) {
            key[out++] = static_cast<uint8_t>(carry & 0xFFu);
            carry >>= 8;
        }
    }
    if (carried > 0) {
        key[out] = static_cast<uint8_t>(carry & 0xFFu);
    }
}

void StatePacking::unpack(const uint8_t* key, uint16_t* numbers) const {
    const uint32_t mask = (uint32_t{1} << bitsPerCell) - 1;
    uint32_t carry = 0;
    unsigned carried = 0;
    std::size_t in = 0;
    for (std::size_t i = 0; i < movers; ++i) {
        for (; carried < bitsPerCell; carried += 8) {
            carry |= uint32_t{key[in++]} << carried;
        }
        numbers[i] = static_cast<uint16_t>(carry & mask);
        carry >>= bitsPerCell;
        carried -= bitsPerCell;
    }
}

std::vector<uint8_t> StatePacking::packed(const LevelState& state) const {
    std::vector<uint16_t> numbers{numberOf(state.player)};
    for (Cell cell : state.red) {
        numbers.push_back(numberOf(cell));
    }
    for (Cell cell : state.blue) {
        numbers.push_back(numberOf(cell));
    }
    std::vector<uint8_t> key(bytes);
    pack(numbers.data(), key.data());
    return key;
}

LevelState StatePacking::unpacked(const uint8_t* key) const {
    std::vector<uint16_t> numbers(movers);
    unpack(key, numbers.data());
    LevelState state;
    state.player = cellNumbered(numbers[0]);
    for (std::size_t i = 0; i < reds; ++i) {
        state.red.push_back(cellNumbered(numbers[1 + i]));
    }
    for (std::size_t i = 0; i < blues; ++i) {
        state.blue.push_back(cellNumbered(numbers[1 + reds + i]));
    }
    return state;
}
