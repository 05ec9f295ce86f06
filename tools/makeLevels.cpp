// Searches for the levels of the pack. For each level it draws rooms of the
// level's size with a few random crates and blocks, moves one piece (or the
// start or the trophy) at a time while the detour does not fall until it is
// long enough, then strips the room of every piece that does not matter, so
// that what is left is the puzzle and nothing else. Of the rooms tried it
// keeps one whose detour climbs least and whose number of pieces suits its
// place in the pack.
// Prints the levels it picked; with --write it writes them as .level files
// into a folder, the built-in room first. The same seed gives the same
// levels.
//
// Usage: makeLevels [--seed N] [--tries N] [--write DIR]
//   --seed N    where the search starts (default 1)
//   --tries N   rooms tried for each level (default 40)
//   --write DIR write the pack into DIR (made if missing)
//
// The rules of the pack, which the tests check on the files: in every level
// after the first, every piece matters (solve --pieces); crates fill at most
// a quarter of the cells; the detour (par less the straight distance from
// the start to the trophy) never falls from one level to the next and is at
// least 10 in the last three. Rooms grow through the pack, small ones first.
//
// Printed for each level: its pieces, par, the straight distance, the detour
// and the states the proofs of its pieces held (one search for each piece),
// which is most of what proving it costs the test suite.
//
// Exit status: 0 when every level was found, 1 when one was not (nothing
// is written then), 2 for bad usage.
#include "world/cell.h"
#include "world/levelFile.h"
#include "world/pieces.h"
#include "world/solver.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Each search of a candidate, and of each of its pieces, holds at most this
// many states, and all of a level's proofs together at most provingStates:
// the test suite proves every piece of every level, under the sanitizers too.
constexpr int candidateStates = 200000;
constexpr int provingStates = 300000;
// Single moves tried on each random room.
constexpr int climbSteps = 150;

struct Slot {
    const char* stem;
    const char* title;
    Cell size;
    // Pieces drawn; searching then takes out those that do not matter.
    int reds;
    int blues;
    int crates;
    // The detour the level must reach at least, on top of never falling.
    int leastDetour;
    // How many pieces a level of this slot should keep.
    int pieces;
};

// Small rooms with one idea each first, then rooms that combine them.
const Slot slots[] = {
    {"02-red-follows", "Red follows", {3, 2, 4}, 1, 1, 3, 2, 2},
    {"03-blue-meets-you", "Blue meets you", {4, 2, 4}, 1, 1, 4, 3, 3},
    {"04-up-and-over", "Up and over", {4, 3, 4}, 2, 1, 5, 4, 3},
    {"05-blocks-in-a-line", "Blocks in a line", {4, 3, 5}, 1, 2, 6, 5, 4},
    {"06-crates-stop-blocks", "Crates stop blocks", {5, 3, 5}, 2, 2, 8, 6, 4},
    {"07-under-the-shelf", "Under the shelf", {5, 4, 5}, 2, 2, 12, 7, 5},
    {"08-three-reds-one-blue", "Three reds, one blue", {6, 3, 6}, 3, 2, 14, 8, 5},
    {"09-the-low-cellar", "The low cellar", {6, 4, 6}, 3, 3, 18, 9, 6},
    {"10-boxed-in", "Boxed in", {6, 5, 6}, 3, 3, 20, 10, 6},
    {"11-down-through-the-crates", "Down through the crates", {7, 4, 7}, 3, 3, 24, 11, 7},
    {"12-step-aside", "Step aside", {7, 5, 7}, 4, 3, 28, 12, 8},
    {"13-the-far-corner", "The far corner", {8, 5, 8}, 4, 4, 32, 14, 9},
};

// The standard distributions differ between libraries; this draw does not.
class Random {
  public:
    explicit Random(uint64_t seed) : engine(seed) {}
    std::size_t below(std::size_t count) { return static_cast<std::size_t>(engine() % count); }
    template <typename T> void shuffle(std::vector<T>& items) {
        for (std::size_t i = items.size(); i > 1; --i) {
            std::swap(items[i - 1], items[below(i)]);
        }
    }

  private:
    std::mt19937_64 engine;
};

struct Found {
    LevelLayout layout;
    int par = 0;
    int detour = 0;
    int states = 0;
    // The cells the shortest way passes, while the room is climbing.
    std::vector<Cell> way;
};

std::size_t pieceCount(const LevelLayout& layout) {
    return layout.redStarts.size() + layout.blueStarts.size() + layout.obstacles.size();
}

std::vector<Cell> allCells(Cell size) {
    std::vector<Cell> cells;
    for (int y = 0; y < size.y; ++y) {
        for (int z = 0; z < size.z; ++z) {
            for (int x = 0; x < size.x; ++x) {
                cells.push_back(Cell{x, y, z});
            }
        }
    }
    return cells;
}

// The player, the trophy and the slot's pieces, each in a cell of its own.
LevelLayout drawRoom(const Slot& slot, Random& random) {
    std::vector<Cell> cells = allCells(slot.size);
    random.shuffle(cells);
    auto next = cells.begin();
    const auto take = [&next](int count) {
        std::vector<Cell> taken(next, next + count);
        next += count;
        return taken;
    };
    LevelLayout layout;
    layout.size = slot.size;
    layout.playerStart = take(1).front();
    layout.trophyCell = take(1).front();
    layout.obstacles = take(slot.crates);
    layout.redStarts = take(slot.reds);
    layout.blueStarts = take(slot.blues);
    return inReadingOrder(layout);
}

// Takes out, one at a time, each crate and each block that is not the only
// one of its colour and does not matter, until every one left matters. A
// piece taken out can make another matter or stop mattering, so each pass
// judges all that are left again. The par stays: a piece that does not
// matter leaves the shortest way as long as it was. Nothing when a
// judgement ran out of budget.
std::optional<LevelLayout> stripped(LevelLayout layout, int par, const SolverBudget& budget) {
    for (bool tookOne = true; tookOne;) {
        tookOne = false;
        for (const Piece& piece : piecesOf(layout)) {
            if (isOnlyOfItsColour(layout, piece)) {
                continue;
            }
            const PieceVerdict verdict = judgePiece(layout, piece, par, budget).verdict;
            if (verdict == PieceVerdict::undecided) {
                return std::nullopt;
            }
            if (verdict == PieceVerdict::doesNotMatter) {
                layout = withPieceChanged(layout, piece);
                tookOne = true;
            }
        }
    }
    return layout;
}

// The states of the level's own proof and of every piece's, or nothing when
// some piece does not matter, when the only block of a colour does not (it
// cannot be taken out) or when a proof is not quick.
std::optional<int> provingCost(const LevelLayout& layout, int par, const SolverBudget& budget) {
    int states = 0;
    for (const PieceJudgement& judged : judgePieces(layout, par, budget)) {
        if (judged.verdict != PieceVerdict::matters) {
            return std::nullopt;
        }
        states += judged.states;
    }
    return states;
}

// The cells a way passes between its start and its end.
std::vector<Cell> cellsOnTheWay(Cell cell, const std::vector<Direction>& moves) {
    std::vector<Cell> cells;
    for (std::size_t i = 0; i + 1 < moves.size(); ++i) {
        cell = neighbourOf(cell, moves[i]);
        cells.push_back(cell);
    }
    return cells;
}

// The camera starts at its cell's lowest corner, and keeps a margin from the
// room's walls: on the floor or against a low wall it would stand in that
// margin, where the game refuses every small step along that axis.
bool startsOffTheLowWalls(const LevelLayout& layout) {
    const Cell start = layout.playerStart;
    return start.x > 0 && start.y > 0 && start.z > 0;
}

// The room with its par and the cells its shortest way passes, when the
// candidates' budget finds a way.
std::optional<Found> measured(const LevelLayout& layout) {
    if (!startsOffTheLowWalls(layout)) {
        return std::nullopt;
    }
    const SolveResult way = searchLevel(Level(layout), {solverNoMoveLimit, candidateStates});
    if (way.outcome != SolveOutcome::solved) {
        return std::nullopt;
    }
    const int par = static_cast<int>(way.moves.size());
    return Found{layout, par, detourOf(layout, par), 0,
                 cellsOnTheWay(layout.playerStart, way.moves)};
}

// One piece, the player or the trophy moved to a free cell; half the time
// to a cell of the shortest way, which makes that way fail.
LevelLayout withOneMoved(const Found& room, Random& random) {
    LevelLayout layout = room.layout;
    std::vector<Cell*> movable{&layout.playerStart, &layout.trophyCell};
    for (std::vector<Cell>* cells : {&layout.obstacles, &layout.redStarts, &layout.blueStarts}) {
        for (Cell& cell : *cells) {
            movable.push_back(&cell);
        }
    }
    const bool onTheWay = random.below(2) == 0 && !room.way.empty();
    std::vector<Cell> freeCells;
    for (Cell cell : onTheWay ? room.way : allCells(layout.size)) {
        if (std::none_of(movable.begin(), movable.end(), [cell](Cell* c) { return *c == cell; })) {
            freeCells.push_back(cell);
        }
    }
    if (!freeCells.empty()) {
        *movable[random.below(movable.size())] = freeCells[random.below(freeCells.size())];
    }
    return inReadingOrder(layout);
}

// A random room, then single moves kept whenever the detour does not fall,
// until it is long enough: random rooms seldom ask for a long detour, but
// one move at a time climbs there.
std::optional<Found> climbedRoom(const Slot& slot, int leastDetour, Random& random) {
    std::optional<Found> room;
    for (int draw = 0; draw < 20 && !room; ++draw) {
        room = measured(drawRoom(slot, random));
    }
    for (int step = 0; room && room->detour < leastDetour && step < climbSteps; ++step) {
        const std::optional<Found> next = measured(withOneMoved(*room, random));
        if (next && next->detour >= room->detour) {
            room = next;
        }
    }
    return room;
}

std::optional<Found> searchOne(const Slot& slot, int leastDetour, Random& random) {
    const std::optional<Found> room = climbedRoom(slot, leastDetour, random);
    if (!room || room->detour < leastDetour) {
        return std::nullopt; // stripping keeps the par, and so the detour
    }
    const SolverBudget budget{solverNoMoveLimit, candidateStates};
    const std::optional<LevelLayout> layout = stripped(room->layout, room->par, budget);
    const std::optional<int> cost = layout ? provingCost(*layout, room->par, budget) : std::nullopt;
    if (!cost || *cost > provingStates) {
        return std::nullopt;
    }
    return Found{*layout, room->par, room->detour, *cost, {}};
}

// Of the rooms that keep the detour from falling, one whose detour is at most
// two above the least, then the one nearest the slot's number of pieces,
// then the least detour: the pack climbs slowly, and later rooms hold more
// pieces to combine.
std::optional<Found> pickLevel(const Slot& slot, int previousDetour, Random& random, int tries) {
    const int leastDetour = std::max(previousDetour, slot.leastDetour);
    std::optional<Found> best;
    const auto order = [&slot, leastDetour](const Found& f) {
        const int pieces = static_cast<int>(pieceCount(f.layout));
        return std::make_tuple(std::max(0, f.detour - leastDetour - 2),
                               std::abs(pieces - slot.pieces), f.detour, f.states);
    };
    for (int attempt = 0; attempt < tries; ++attempt) {
        const std::optional<Found> found = searchOne(slot, leastDetour, random);
        if (found && (!best || order(*found) < order(*best))) {
            best = found;
        }
    }
    return best;
}

void printRow(const std::string& name, const Found& found) {
    const LevelLayout& layout = found.layout;
    const Cell size = layout.size;
    const std::string sizeText =
        std::to_string(size.x) + "x" + std::to_string(size.y) + "x" + std::to_string(size.z);
    std::printf("%-28s %-8s %4zu %4zu %6zu %4d %5d %6d %7d\n", name.c_str(), sizeText.c_str(),
                layout.redStarts.size(), layout.blueStarts.size(), layout.obstacles.size(),
                found.par, found.par - found.detour, found.detour, found.states);
}

bool writeLevel(const std::string& folder, const std::string& stem, const LevelFile& level) {
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    std::ofstream out(folder + "/" + stem + ".level", std::ios::binary);
    out << formatLevelText(level);
    return static_cast<bool>(out);
}

struct Options {
    uint64_t seed = 1;
    int tries = 40;
    std::string folder; // empty: print only
};

std::optional<Options> optionsOf(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        const std::string value = argv[i + 1];
        const bool isNumber = !value.empty() && value.size() < 10 &&
                              value.find_first_not_of("0123456789") == std::string::npos;
        if (flag == "--seed" && isNumber) {
            options.seed = std::stoull(value);
        } else if (flag == "--tries" && isNumber && std::stoi(value) > 0) {
            options.tries = std::stoi(value);
        } else if (flag == "--write") {
            options.folder = value;
        } else {
            return std::nullopt;
        }
    }
    return argc % 2 == 1 ? std::optional<Options>(options) : std::nullopt;
}

Found firstRoom() {
    const LevelLayout layout = inReadingOrder(builtInLayout());
    const int par = static_cast<int>(searchLevel(Level(layout)).moves.size());
    return Found{layout, par, detourOf(layout, par), 0, {}};
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = optionsOf(argc, argv);
    if (!options) {
        std::fputs("usage: makeLevels [--seed N] [--tries N] [--write DIR]\n", stderr);
        return 2;
    }
    std::printf("%-28s %-8s %4s %4s %6s %4s %5s %6s %7s\n", "level", "size", "red", "blue",
                "crates", "par", "dist", "detour", "states");
    std::vector<std::pair<std::string, LevelFile>> pack;
    Found previous = firstRoom();
    printRow("01-first-room", previous);
    pack.emplace_back("01-first-room",
                      LevelFile{"First room", "cellquest", previous.par, previous.layout});
    Random random(options->seed);
    for (const Slot& slot : slots) {
        const auto found = pickLevel(slot, previous.detour, random, options->tries);
        if (!found) {
            std::printf("%-28s none found in %d tries\n", slot.stem, options->tries);
            continue;
        }
        printRow(slot.stem, *found);
        pack.emplace_back(slot.stem, LevelFile{slot.title, "cellquest", found->par, found->layout});
        previous = *found;
    }
    if (pack.size() != std::size(slots) + 1) {
        return 1;
    }
    for (const auto& [stem, level] : pack) {
        if (!options->folder.empty() && !writeLevel(options->folder, stem, level)) {
            std::fprintf(stderr, "cannot write %s/%s.level\n", options->folder.c_str(),
                         stem.c_str());
            return 1;
        }
    }
    return 0;
}
