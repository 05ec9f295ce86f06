// Levels as plain-text ".level" files, the form the pack in levels/ is kept
// in:
//
//   ; a comment
//   title: First room
//   size: 10 10 10
//   par: 17
//   author: cellquest
//
//   layer 0
//   ..........          (size z rows of size x cells)
//
// Header lines ("key: value") come before the first layer. title (1 to 60
// printable characters) and size (x y z, each 2 to 10) are required, par
// (the length of the shortest way) and author are optional. Then come the
// layers 0 to y - 1 from the floor up; row r of a layer is z = r and column
// c is x = c. Cells: '.' empty, '#' crate, 'R' red block, 'B' blue block,
// '@' the player's start, 'T' the trophy. Blank lines, comment lines
// (starting with ';'), CRLF line ends and trailing blanks are allowed.
//
// Blocks and crates keep reading order (layer, then row, then column): the
// red blocks step in that order, then the blue ones.
#pragma once

#include "world/levelLayout.h"

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <vector>

constexpr std::size_t levelFileByteLimit = 64 * 1024;
constexpr int levelSideMin = 2;
// One digit per coordinate in the trace line.
constexpr int levelSideMax = 10;
constexpr int levelBlocksMax = 16;
constexpr std::size_t levelTextMax = 60;
constexpr int levelParMax = 9999;

struct LevelFile {
    std::string title;
    // Empty when the file names none.
    std::string author;
    std::optional<int> par;
    LevelLayout layout;
};

bool operator==(const LevelFile& a, const LevelFile& b);

// Either a whole level or one line of error text, never both: "FILE:LINE:
// what is wrong" when one line is at fault, else "FILE: what is wrong".
struct LevelLoad {
    std::optional<LevelFile> level;
    std::string error;
};

LevelLoad parseLevelText(const std::string& text, const std::string& fileName);
LevelLoad loadLevelFile(const std::string& path);
// A level from a stream that may never end (standard input): at most one
// byte beyond the size limit is read. Messages name it `name`.
LevelLoad readLevelStream(std::istream& in, const std::string& name);

// The canonical text of a level whose objects lie inside its size, one per
// cell; parseLevelText reads it back as the same level once the layout is
// in reading order.
std::string formatLevelText(const LevelFile& level);

// Layer (y), then row (z), then column (x).
bool comesFirstInReading(Cell a, Cell b);
// The layout with its blocks and crates sorted as a file lists them.
LevelLayout inReadingOrder(LevelLayout layout);

// The ".level" files of a folder, sorted by name: the play order of a pack.
// Empty when the folder cannot be read.
std::vector<std::string> levelFilesIn(const std::string& folder);
