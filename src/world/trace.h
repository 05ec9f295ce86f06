// The console trace: one line a frame with the cells of the player, the
// first red block and the first blue block, each as three digits:
// "579\t\tredblock: 073\t\tBlueblock: 134". Written by the game, read back by
// the play driver and the tests.
#pragma once

#include "world/cell.h"
#include "world/level.h"

#include <optional>
#include <ostream>
#include <string>

struct TraceLine {
    Cell player;
    Cell red;
    Cell blue;
};

bool operator==(const TraceLine& a, const TraceLine& b);
inline bool operator!=(const TraceLine& a, const TraceLine& b) {
    return !(a == b);
}

// The level's line: the player, its first red and its first blue block.
TraceLine traceLineOf(const Level& level);
// The line's text without the line end.
std::string formatTraceLine(const TraceLine& line);
// Reads a line written by formatTraceLine, one digit per index; anything
// else gives nothing.
std::optional<TraceLine> parseTraceLine(const std::string& text);
// The level's line, a line end and a flush.
void writeTraceLine(std::ostream& out, const Level& level);
