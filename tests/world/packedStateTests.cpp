// The solver's packed states and the solver against a plain reference: a
// breadth-first search over whole LevelStates that plays every move through
// the game's own rules on a Level, slow but with nothing to get wrong.
#include "world/levelFile.h"
#include "world/packedState.h"
#include "world/rules.h"
#include "world/solver.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

LevelLayout loadedLayout(const std::string& file) {
    const LevelLoad load = loadLevelFile(file);
    EXPECT_TRUE(load.level) << file << ": " << load.error;
    return load.level ? load.level->layout : LevelLayout{};
}

// A room of the given size with its pieces drawn from a seed; no two share a
// cell.
LevelLayout drawnRoom(Cell size, int reds, int blues, int crates, unsigned seed) {
    std::vector<Cell> cells;
    for (int x = 0; x < size.x; ++x) {
        for (int y = 0; y < size.y; ++y) {
            for (int z = 0; z < size.z; ++z) {
                cells.push_back(Cell{x, y, z});
            }
        }
    }
    std::mt19937 draw(seed);
    for (std::size_t i = cells.size() - 1; i > 0; --i) {
        std::swap(cells[i], cells[draw() % (i + 1)]);
    }
    LevelLayout layout{size, cells[0], {}, {}, {}, cells[1]};
    std::size_t next = 2;
    const auto take = [&](std::vector<Cell>& into, int count) {
        for (int i = 0; i < count; ++i) {
            into.push_back(cells[next++]);
        }
    };
    take(layout.redStarts, reds);
    take(layout.blueStarts, blues);
    take(layout.obstacles, crates);
    return layout;
}

// States along a few thousand moves drawn from a seed, the start first.
std::vector<LevelState> statesAlongAWalk(const LevelLayout& layout, unsigned seed) {
    Level level(layout);
    std::vector<LevelState> states{captureLevelState(level)};
    std::mt19937 draw(seed);
    for (int i = 0; i < 3000; ++i) {
        if (movePlayerOneCell(level, moveDirections[draw() % 6])) {
            states.push_back(captureLevelState(level));
        }
    }
    return states;
}

std::string levelText(const LevelLayout& layout) {
    return formatLevelText(LevelFile{"drawn", "", std::nullopt, layout});
}

struct ReferenceAnswer {
    SolveOutcome outcome;
    int moves;
};

ReferenceAnswer referenceSearch(const LevelLayout& layout) {
    Level level(layout);
    const LevelState start = captureLevelState(level);
    std::map<LevelState, int> movesTo{{start, 0}};
    std::deque<LevelState> frontier{start};
    for (; !frontier.empty(); frontier.pop_front()) {
        const LevelState state = frontier.front();
        if (state.player == layout.trophyCell) {
            return {SolveOutcome::solved, movesTo[state]};
        }
        for (Direction move : moveDirections) {
            restoreLevelState(level, state);
            if (movePlayerOneCell(level, move)) {
                const LevelState after = captureLevelState(level);
                if (movesTo.emplace(after, movesTo[state] + 1).second) {
                    frontier.push_back(after);
                }
            }
        }
    }
    return {SolveOutcome::noWay, 0};
}

// Small rooms whose every state the reference can visit, of many kinds.
std::vector<LevelLayout> smallRooms() {
    std::vector<LevelLayout> rooms;
    for (const char* file : {"levels/02-red-follows.level", "levels/03-blue-meets-you.level",
                             "levels/04-up-and-over.level", "levels/06-crates-stop-blocks.level",
                             "levels/09-the-low-cellar.level"}) {
        rooms.push_back(loadedLayout(file));
    }
    const struct {
        Cell size;
        int reds, blues, crates;
    } kinds[] = {
        {{3, 2, 2}, 1, 1, 2}, {{3, 3, 2}, 2, 1, 3}, {{4, 2, 2}, 1, 2, 2},
        {{3, 3, 3}, 2, 2, 6}, {{2, 2, 5}, 1, 1, 3}, {{4, 3, 2}, 3, 2, 5},
    };
    for (const auto& kind : kinds) {
        for (unsigned seed = 1; seed <= 8; ++seed) {
            rooms.push_back(drawnRoom(kind.size, kind.reds, kind.blues, kind.crates, seed));
        }
    }
    return rooms;
}

} // namespace

TEST(PackedState, EveryStateOfAWalkComesBackAsItWasAndDistinctStatesStayDistinct) {
    std::vector<LevelLayout> layouts{builtInLayout(),
                                     loadedLayout("bench/levels/crowded.level"),
                                     loadedLayout("levels/13-the-far-corner.level"),
                                     drawnRoom({2, 2, 2}, 1, 1, 0, 3),
                                     drawnRoom({10, 10, 10}, 16, 16, 40, 7),
                                     drawnRoom({9, 7, 5}, 3, 0, 9, 5)};
    for (const LevelLayout& layout : layouts) {
        const StatePacking packing(layout.size, layout.redStarts.size(), layout.blueStarts.size());
        std::set<LevelState> states;
        std::set<std::vector<uint8_t>> keys;
        for (const LevelState& state : statesAlongAWalk(layout, 11)) {
            const std::vector<uint8_t> key = packing.packed(state);
            ASSERT_EQ(key.size(), packing.keyBytes());
            EXPECT_EQ(packing.unpacked(key.data()), state);
            states.insert(state);
            keys.insert(key);
        }
        EXPECT_EQ(keys.size(), states.size()) << layout.size.x << " " << layout.size.y;
    }
}

TEST(PackedState, NeighboursStopAtTheWalls) {
    const StatePacking packing({3, 4, 5}, 0, 0);
    const struct {
        Cell cell;
        Direction direction;
        bool inside;
    } cases[] = {
        {{0, 0, 0}, -1, false}, {{0, 0, 0}, 1, true},  {{2, 3, 4}, 1, false},
        {{2, 3, 4}, 2, false},  {{2, 3, 4}, 3, false}, {{2, 3, 4}, -3, true},
        {{1, 0, 2}, -2, false}, {{1, 2, 2}, 2, true},
    };
    for (const auto& c : cases) {
        const uint16_t next = packing.neighbourOf(packing.numberOf(c.cell), c.direction);
        ASSERT_EQ(next != noCellNumber, c.inside) << directionName(c.direction);
        if (c.inside) {
            EXPECT_EQ(packing.cellNumbered(next), neighbourOf(c.cell, c.direction));
        }
    }
}

TEST(SolverAgainstReference, SameOutcomeAndLengthAndTheWayPlaysToTheTrophy) {
    int solved = 0;
    int noWay = 0;
    for (const LevelLayout& layout : smallRooms()) {
        const ReferenceAnswer expected = referenceSearch(layout);
        const SolveResult result = searchLevel(Level(layout));
        ASSERT_EQ(result.outcome, expected.outcome) << levelText(layout);
        EXPECT_EQ(static_cast<int>(result.moves.size()), expected.moves) << levelText(layout);
        Level level(layout);
        for (Direction move : result.moves) {
            ASSERT_TRUE(movePlayerOneCell(level, move)) << levelText(layout);
        }
        if (expected.outcome == SolveOutcome::solved) {
            EXPECT_EQ(level.player.cell, layout.trophyCell) << levelText(layout);
        }
        (expected.outcome == SolveOutcome::solved ? solved : noWay) += 1;
    }
    // The table holds both kinds, or it would prove little.
    EXPECT_GT(solved, 10);
    EXPECT_GT(noWay, 3);
}
