// The pack in levels/: every file loads, every par is the shortest way, the
// first level is the game's own room, every later level needs its blocks or
// crates, and the pack grows harder. Runs from the repository root.
#include "world/levelFile.h"
#include "world/rules.h"
#include "world/solver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Far more than any pack level takes: a level that needs more is too slow
// to be proved in the suite.
constexpr SolverBudget packBudget{solverNoMoveLimit, 1000000};

struct PackLevel {
    std::string file;
    LevelFile level;
    SolveResult way;
    // What the blocks add to the way: par less the way with them taken out.
    int blockCost = 0;
};

int straightDistance(const LevelLayout& layout) {
    const Cell from = layout.playerStart;
    const Cell to = layout.trophyCell;
    return std::abs(from.x - to.x) + std::abs(from.y - to.y) + std::abs(from.z - to.z);
}

int shortestWithoutBlocks(LevelLayout layout) {
    layout.redStarts.clear();
    layout.blueStarts.clear();
    return static_cast<int>(searchLevel(Level(layout), packBudget).moves.size());
}

class LevelPackTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        for (const std::string& file : levelFilesIn("levels")) {
            const LevelLoad load = loadLevelFile(file);
            ASSERT_TRUE(load.level) << load.error;
            const LevelLayout& layout = load.level->layout;
            const SolveResult way = searchLevel(Level(layout), packBudget);
            const int cost = static_cast<int>(way.moves.size()) - shortestWithoutBlocks(layout);
            pack.push_back(PackLevel{file, *load.level, way, cost});
        }
    }

    static std::vector<PackLevel> pack;
};

std::vector<PackLevel> LevelPackTest::pack;

} // namespace

// A red block that follows the player up a dead-end corridor always stands
// between it and the trophy: only a search of every state can tell.
TEST(LevelSolverTest, TellsSolvedNoWayAndUndecidedApart) {
    const std::string redInTheWay = "title: t\nsize: 4 2 2\nlayer 0\n@.RT\n####\n"
                                    "layer 1\n####\n###B\n";
    const std::string walledOff = "title: t\nsize: 3 2 2\nlayer 0\n@R#\n.#T\n"
                                  "layer 1\nB.#\n..#\n";
    const std::string sideStep = "levels/02-side-step.level";
    const struct {
        std::string level; // text, or the name of a pack file
        SolverBudget budget;
        SolveOutcome outcome;
        int moves;
    } cases[] = {
        {redInTheWay, {}, SolveOutcome::noWay, 0},
        {redInTheWay, {5, solverStateBudget}, SolveOutcome::undecided, 0},
        {walledOff, {}, SolveOutcome::noWay, 0},
        {sideStep, {}, SolveOutcome::solved, 7},
        {sideStep, {7, solverStateBudget}, SolveOutcome::solved, 7},
        {sideStep, {6, solverStateBudget}, SolveOutcome::undecided, 0},
        {sideStep, {solverNoMoveLimit, 5}, SolveOutcome::undecided, 0},
    };
    for (const auto& c : cases) {
        const bool isFile = c.level.rfind("levels/", 0) == 0;
        const LevelLoad load = isFile ? loadLevelFile(c.level) : parseLevelText(c.level, "t");
        ASSERT_TRUE(load.level) << load.error;
        const SolveResult result = searchLevel(Level(load.level->layout), c.budget);
        EXPECT_EQ(result.outcome, c.outcome) << c.level << " within " << c.budget.maxMoves;
        EXPECT_EQ(static_cast<int>(result.moves.size()), c.moves) << c.level;
        EXPECT_LE(result.states, c.budget.maxStates);
    }
}

TEST_F(LevelPackTest, NamesSortInPlayOrderFromTheFirstRoom) {
    ASSERT_GE(pack.size(), 8u)
        << "levels/ holds too few levels, or this is not the repository root";
    for (std::size_t i = 0; i < pack.size(); ++i) {
        const std::string number = (i < 9 ? "0" : "") + std::to_string(i + 1) + "-";
        EXPECT_EQ(pack[i].file.substr(0, 10), "levels/" + number) << pack[i].file;
        EXPECT_EQ(pack[i].level.author, "cellquest") << pack[i].file;
    }
    EXPECT_EQ(pack[0].file, "levels/01-first-room.level");
    EXPECT_EQ(pack[0].level.layout, inReadingOrder(builtInLayout()));
    EXPECT_EQ(pack[0].level.layout.redStarts, builtInLayout().redStarts);
    EXPECT_EQ(pack[0].level.layout.blueStarts, builtInLayout().blueStarts);
}

TEST_F(LevelPackTest, EveryParIsTheShortestWayAndPlaysToTheTrophy) {
    for (const PackLevel& entry : pack) {
        ASSERT_EQ(entry.way.outcome, SolveOutcome::solved) << entry.file;
        ASSERT_TRUE(entry.level.par) << entry.file;
        EXPECT_EQ(static_cast<int>(entry.way.moves.size()), *entry.level.par) << entry.file;
        Level level(entry.level.layout);
        for (Direction move : entry.way.moves) {
            ASSERT_TRUE(movePlayerOneCell(level, move)) << entry.file;
        }
        EXPECT_EQ(level.player.cell, level.goal()) << entry.file;
    }
}

TEST_F(LevelPackTest, EveryLaterLevelNeedsItsBlocksOrCrates) {
    for (std::size_t i = 1; i < pack.size(); ++i) {
        EXPECT_GT(pack[i].level.par.value_or(0), straightDistance(pack[i].level.layout))
            << pack[i].file;
    }
}

// The blocks' cost never falls; par rises with every level after the second
// (the first is the game's own room, long but straight); and the last level
// beats the second on both.
TEST_F(LevelPackTest, GrowsHarderLevelByLevel) {
    ASSERT_GE(pack.size(), 3u);
    for (std::size_t i = 1; i < pack.size(); ++i) {
        EXPECT_GE(pack[i].blockCost, pack[i - 1].blockCost) << pack[i].file;
        if (i >= 2) {
            EXPECT_GT(pack[i].level.par, pack[i - 1].level.par) << pack[i].file;
        }
    }
    EXPECT_GT(pack.back().blockCost, pack[1].blockCost);
    EXPECT_GT(pack.back().level.par, pack[1].level.par);
}

TEST_F(LevelPackTest, RoomSizesVary) {
    std::set<std::tuple<int, int, int>> sizes;
    for (const PackLevel& entry : pack) {
        const Cell size = entry.level.layout.size;
        sizes.emplace(size.x, size.y, size.z);
    }
    EXPECT_GE(sizes.size(), pack.size() / 2 + 1);
}
