// A grid cell: three signed indices, one world unit per index.
#pragma once

#include <cstdint>
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
