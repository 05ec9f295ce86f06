// Searches for the levels of the pack: rooms of random crates with some of
// the blocks put on the way the crates leave open, each proved by the
// solver, and picked so that the pack grows harder from one level to the
// next. Prints the levels it picked; with --write it writes them as .level
// files into a folder, the built-in room first. The same seed gives the same
// levels.
//
// Usage: makeLevels [--seed N] [--tries N] [--write DIR]
//   --seed N    where the search starts (default 1)
//   --tries N   rooms tried for each level (default 300)
//   --write DIR write the pack into DIR (made if missing)
//
// How hard a level is, as printed: par; its straight distance from the start
// to the trophy; "cost", what the blocks add to the way: par less the shortest
// way with the blocks taken out; and "steps", how many block steps the
// solver's way makes. No level costs less than the one before it, and each
// level after the second has a higher par than the one before.
//
// Exit status: 0 when every level was found, 1 when one was not (nothing
// is written then), 2 for bad usage.
#include "world/levelFile.h"
#include "world/rules.h"
#include "world/solver.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A level that takes more states than this is not quick to prove.
constexpr int candidateStates = 60000;

struct Slot {
    const char* stem;
    const char* title;
    Cell size;
    int reds;
    int blues;
    int cratePercent;
    // Every wallEvery-th layer from the floor up is a wall of crates at
    // wallPercent with a few gaps, which the blocks can fill; 0 for none.
    int wallEvery;
    int wallPercent;
    // Blocks put on a shortest way the crates leave open.
    int blocksInTheWay;
    int leastCost;
};

const Slot slots[] = {
    {"02-side-step", "Side step", {4, 3, 5}, 1, 1, 30, 0, 0, 1, 2},
    {"03-crowded-cellar", "Crowded cellar", {5, 4, 5}, 2, 2, 35, 0, 0, 2, 4},
    {"04-low-gallery", "Low gallery", {6, 4, 6}, 3, 2, 40, 0, 0, 2, 4},
    {"05-cube-of-crates", "Cube of crates", {6, 6, 6}, 3, 3, 45, 0, 0, 3, 6},
    {"06-long-hall", "Long hall", {7, 5, 7}, 4, 4, 45, 0, 0, 3, 6},
    {"07-red-tide-blue-tide", "Red tide, blue tide", {8, 6, 8}, 5, 5, 50, 0, 0, 4, 8},
    {"08-the-stacks", "The stacks", {9, 7, 9}, 6, 6, 30, 3, 90, 4, 8},
    {"09-the-last-room", "The last room", {10, 10, 10}, 8, 8, 15, 2, 90, 8, 10},
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

struct Measures {
    int par = 0;
    int distance = 0;
    int cost = 0;
    int steps = 0;
    int states = 0;
};

struct Found {
    LevelLayout layout;
    Measures measures;
};

int distanceBetween(Cell a, Cell b) {
    return std::abs(a.x - b.x) + std::abs(a.y - b.y) + std::abs(a.z - b.z);
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

LevelLayout withoutBlocks(LevelLayout layout) {
    layout.redStarts.clear();
    layout.blueStarts.clear();
    return layout;
}

// The cells a way passes between its start and its end.
std::vector<Cell> cellsOnTheWay(Cell start, const std::vector<Direction>& moves) {
    std::vector<Cell> cells;
    for (std::size_t i = 0; i + 1 < moves.size(); ++i) {
        start = neighbourOf(start, moves[i]);
        cells.push_back(start);
    }
    return cells;
}

int blockStepsOf(const LevelLayout& layout, const std::vector<Direction>& moves) {
    Level level(layout);
    int steps = 0;
    for (Direction move : moves) {
        const LevelState before = captureLevelState(level);
        movePlayerOneCell(level, move);
        const LevelState after = captureLevelState(level);
        for (std::size_t i = 0; i < before.red.size(); ++i) {
            steps += before.red[i] != after.red[i];
        }
        for (std::size_t i = 0; i < before.blue.size(); ++i) {
            steps += before.blue[i] != after.blue[i];
        }
    }
    return steps;
}

std::optional<Measures> measure(const LevelLayout& layout, int maxStates) {
    const SolveResult way = searchLevel(Level(layout), SolverBudget{solverNoMoveLimit, maxStates});
    const SolveResult free = searchLevel(Level(withoutBlocks(layout)));
    if (way.outcome != SolveOutcome::solved || free.outcome != SolveOutcome::solved) {
        return std::nullopt;
    }
    Measures measures;
    measures.par = static_cast<int>(way.moves.size());
    measures.distance = distanceBetween(layout.playerStart, layout.trophyCell);
    measures.cost = measures.par - static_cast<int>(free.moves.size());
    measures.steps = blockStepsOf(layout, way.moves);
    measures.states = way.states;
    return measures;
}

// The start, the trophy as far from it as the draw allows and the crates.
LevelLayout drawRoom(const Slot& slot, Random& random, std::vector<Cell>& freeCells) {
    freeCells = allCells(slot.size);
    random.shuffle(freeCells);
    LevelLayout layout;
    layout.size = slot.size;
    layout.playerStart = freeCells[0];
    std::size_t farthest = 1;
    for (std::size_t i = 1; i < freeCells.size(); ++i) {
        if (distanceBetween(freeCells[i], layout.playerStart) >
            distanceBetween(freeCells[farthest], layout.playerStart)) {
            farthest = i;
        }
    }
    layout.trophyCell = freeCells[farthest];
    freeCells.erase(freeCells.begin() + static_cast<std::ptrdiff_t>(farthest));
    freeCells.erase(freeCells.begin());
    std::vector<int> cratesLeft(static_cast<std::size_t>(slot.size.y));
    for (int y = 0; y < slot.size.y; ++y) {
        const bool isWall = slot.wallEvery > 0 && (y + 1) % slot.wallEvery == 0;
        cratesLeft[y] =
            slot.size.x * slot.size.z * (isWall ? slot.wallPercent : slot.cratePercent) / 100;
    }
    std::vector<Cell> stillFree;
    for (Cell cell : freeCells) {
        int& left = cratesLeft[static_cast<std::size_t>(cell.y)];
        (left > 0 ? layout.obstacles : stillFree).push_back(cell);
        left -= left > 0;
    }
    freeCells = stillFree;
    return layout;
}

// Some blocks on the crates' own shortest way, the rest anywhere free.
std::vector<Cell> blockCells(const Slot& slot, std::vector<Cell> onTheWay,
                             const std::vector<Cell>& freeCells, Random& random) {
    std::vector<Cell> chosen;
    random.shuffle(onTheWay);
    const auto isChosen = [&chosen](Cell cell) {
        return std::find(chosen.begin(), chosen.end(), cell) != chosen.end();
    };
    for (std::size_t i = 0; i < onTheWay.size() && chosen.size() < std::size_t(slot.blocksInTheWay);
         ++i) {
        chosen.push_back(onTheWay[i]);
    }
    for (std::size_t i = 0;
         i < freeCells.size() && chosen.size() < std::size_t(slot.reds + slot.blues); ++i) {
        if (!isChosen(freeCells[i])) {
            chosen.push_back(freeCells[i]);
        }
    }
    random.shuffle(chosen);
    return chosen;
}

std::optional<LevelLayout> drawLevel(const Slot& slot, Random& random) {
    std::vector<Cell> freeCells;
    LevelLayout layout = drawRoom(slot, random, freeCells);
    const SolveResult crateWay = searchLevel(Level(layout));
    if (crateWay.outcome != SolveOutcome::solved) {
        return std::nullopt;
    }
    const std::vector<Cell> blocks =
        blockCells(slot, cellsOnTheWay(layout.playerStart, crateWay.moves), freeCells, random);
    if (blocks.size() != std::size_t(slot.reds + slot.blues)) {
        return std::nullopt;
    }
    layout.redStarts.assign(blocks.begin(), blocks.begin() + slot.reds);
    layout.blueStarts.assign(blocks.begin() + slot.reds, blocks.end());
    return inReadingOrder(layout);
}

// The first room's par is long but straight, so the level after it need not
// beat it.
bool isHarder(const Measures& candidate, const Measures& previous, const Slot& slot,
              bool followsFirstRoom) {
    return candidate.cost >= std::max(slot.leastCost, previous.cost) &&
           (followsFirstRoom || candidate.par > previous.par);
}

// The gentlest of the rooms that are harder than the previous level.
std::optional<Found> pickLevel(const Slot& slot, const Measures& previous, bool followsFirstRoom,
                               Random& random, int tries) {
    std::optional<Found> best;
    for (int attempt = 0; attempt < tries; ++attempt) {
        const std::optional<LevelLayout> layout = drawLevel(slot, random);
        const std::optional<Measures> measures =
            layout ? measure(*layout, candidateStates) : std::nullopt;
        if (!measures || !isHarder(*measures, previous, slot, followsFirstRoom)) {
            continue;
        }
        const auto order = [](const Measures& m) { return std::tie(m.cost, m.par, m.states); };
        if (!best || order(*measures) < order(best->measures)) {
            best = Found{*layout, *measures};
        }
    }
    return best;
}

void printRow(const std::string& name, const LevelLayout& layout, const Measures& m) {
    const Cell size = layout.size;
    const std::string sizeText =
        std::to_string(size.x) + "x" + std::to_string(size.y) + "x" + std::to_string(size.z);
    std::printf("%-28s %-8s %4zu %4zu %6zu %4d %5d %4d %5d %7d\n", name.c_str(), sizeText.c_str(),
                layout.redStarts.size(), layout.blueStarts.size(), layout.obstacles.size(), m.par,
                m.distance, m.cost, m.steps, m.states);
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
    int tries = 300;
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

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = optionsOf(argc, argv);
    if (!options) {
        std::fputs("usage: makeLevels [--seed N] [--tries N] [--write DIR]\n", stderr);
        return 2;
    }
    std::printf("%-28s %-8s %4s %4s %6s %4s %5s %4s %5s %7s\n", "level", "size", "red", "blue",
                "crates", "par", "dist", "cost", "steps", "states");
    std::vector<std::pair<std::string, LevelFile>> pack;
    const LevelLayout firstRoom = inReadingOrder(builtInLayout());
    Measures previous = measure(firstRoom, solverStateBudget).value();
    printRow("01-first-room", firstRoom, previous);
    pack.emplace_back("01-first-room",
                      LevelFile{"First room", "cellquest", previous.par, firstRoom});
    Random random(options->seed);
    for (const Slot& slot : slots) {
        const auto found = pickLevel(slot, previous, pack.size() == 1, random, options->tries);
        if (!found) {
            std::printf("%-28s none found in %d tries\n", slot.stem, options->tries);
            continue;
        }
        printRow(slot.stem, found->layout, found->measures);
        pack.emplace_back(slot.stem,
                          LevelFile{slot.title, "cellquest", found->measures.par, found->layout});
        previous = found->measures;
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
