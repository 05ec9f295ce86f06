#include "world/trace.h"

#include <sstream>

namespace {

const std::string redLabel = "\t\tredblock: ";
const std::string blueLabel = "\t\tBlueblock: ";
constexpr std::size_t cellDigits = 3;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<Cell> parseCellDigits(const std::string& text, std::size_t at) {
    if (at + cellDigits > text.size() || !isDigit(text[at]) || !isDigit(text[at + 1]) ||
        !isDigit(text[at + 2])) {
        return std::nullopt;
    }
    return Cell{text[at] - '0', text[at + 1] - '0', text[at + 2] - '0'};
}

} // namespace

bool operator==(const TraceLine& a, const TraceLine& b) {
    return a.player == b.player && a.red == b.red && a.blue == b.blue;
}

TraceLine traceLineOf(const Level& level) {
    return TraceLine{level.player.cell, level.redBlocks.front().cell,
                     level.blueBlocks.front().cell};
}

std::string formatTraceLine(const TraceLine& line) {
    std::ostringstream text;
    const auto digits = [&text](const Cell& cell) { text << cell.x << cell.y << cell.z; };
    digits(line.player);
    text << redLabel;
    digits(line.red);
    text << blueLabel;
    digits(line.blue);
    return text.str();
}

std::optional<TraceLine> parseTraceLine(const std::string& text) {
    const std::size_t redAt = cellDigits;
    const std::size_t blueAt = redAt + redLabel.size() + cellDigits;
    if (text.size() != blueAt + blueLabel.size() + cellDigits ||
        text.compare(redAt, redLabel.size(), redLabel) != 0 ||
        text.compare(blueAt, blueLabel.size(), blueLabel) != 0) {
        return std::nullopt;
    }
    const auto player = parseCellDigits(text, 0);
    const auto red = parseCellDigits(text, redAt + redLabel.size());
    const auto blue = parseCellDigits(text, blueAt + blueLabel.size());
    if (!player || !red || !blue) {
        return std::nullopt;
    }
    return TraceLine{*player, *red, *blue};
}

void writeTraceLine(std::ostream& out, const Level& level) {
    out << formatTraceLine(traceLineOf(level)) << std::endl;
}
