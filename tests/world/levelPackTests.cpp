// The pack in levels/: every file loads, every par is the shortest way and
// every piece of every level after the first matters, one test a level; the
// first level is the game's own room, and the pack keeps the generator's
// rules. Runs from the repository root.
#include "world/levelFile.h"
#include "world/pieces.h"
#include "world/rules.h"
#include "world/solver.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Far more than any pack level takes: a level that needs more is too slow
// to be proved in the suite.
constexpr SolverBudget packBudget{solverNoMoveLimit, 1000000};
// Levels 02 to this one are proved one test each; the rules below ask for
// at least this many.
constexpr int packLevels = 13;

struct PackLevel {
    std::string file;
    LevelFile level;
};

std::vector<PackLevel> loadPack() {
    std::vector<PackLevel> pack;
    for (const std::string& file : levelFilesIn("levels")) {
        const LevelLoad load = loadLevelFile(file);
        EXPECT_TRUE(load.level) << load.error;
        if (load.level) {
            pack.push_back(PackLevel{file, *load.level});
        }
    }
    return pack;
}

int cellCount(const LevelLayout& layout) {
    return layout.size.x * layout.size.y * layout.size.z;
}

} // namespace

// A red block that follows the player up a dead-end corridor always stands
// between it and the trophy: only a search of every state can tell.
TEST(LevelSolverTest, TellsSolvedNoWayAndUndecidedApart) {
    const std::string redInTheWay = "title: t\nsize: 4 2 2\nlayer 0\n@.RT\n####\n"
                                    "layer 1\n####\n###B\n";
    const std::string walledOff = "title: t\nsize: 3 2 2\nlayer 0\n@R#\n.#T\n"
                                  "layer 1\nB.#\n..#\n";
    const std::string redFollows = "levels/02-red-follows.level";
    const struct {
        std::string level; // text, or the name of a pack file
        SolverBudget budget;
        SolveOutcome outcome;
        int moves;
    } cases[] = {
        {redInTheWay, {}, SolveOutcome::noWay, 0},
        {redInTheWay, {5, solverStateBudget}, SolveOutcome::undecided, 0},
        {walledOff, {}, SolveOutcome::noWay, 0},
        {redFollows, {}, SolveOutcome::solved, 4},
        {redFollows, {4, solverStateBudget}, SolveOutcome::solved, 4},
        {redFollows, {3, solverStateBudget}, SolveOutcome::undecided, 0},
        {redFollows, {solverNoMoveLimit, 5}, SolveOutcome::undecided, 0},
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

// One level of the pack, by its number: the par is the shortest way and the
// way plays to the trophy, and every piece matters.
class PackLevelProof : public ::testing::TestWithParam<int> {};

TEST_P(PackLevelProof, ParIsTheShortestWayAndEveryPieceMatters) {
    const std::vector<std::string> files = levelFilesIn("levels");
    ASSERT_LT(static_cast<std::size_t>(GetParam() - 1), files.size())
        << "no level number " << GetParam() << ", or this is not the repository root";
    const std::string& file = files[GetParam() - 1];
    const LevelLoad load = loadLevelFile(file);
    ASSERT_TRUE(load.level) << load.error;
    const LevelLayout& layout = load.level->layout;
    const SolveResult way = searchLevel(Level(layout), packBudget);
    ASSERT_EQ(way.outcome, SolveOutcome::solved) << file;
    ASSERT_TRUE(load.level->par) << file;
    const int par = *load.level->par;
    EXPECT_EQ(static_cast<int>(way.moves.size()), par) << file;
    Level level(layout);
    for (Direction move : way.moves) {
        ASSERT_TRUE(movePlayerOneCell(level, move)) << file;
    }
    EXPECT_EQ(level.player.cell, level.goal()) << file;
    for (const PieceJudgement& judged : judgePieces(layout, par, packBudget)) {
        const Cell cell = judged.piece.cell;
        EXPECT_EQ(judged.verdict, PieceVerdict::matters)
            << file << ": " << cell.x << " " << cell.y << " " << cell.z << " "
            << pieceKindName(judged.piece.kind);
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, PackLevelProof, ::testing::Range(2, packLevels + 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "level" + std::to_string(info.param);
                         });

// The rules the generator keeps, read from the files: the pars are proved
// above. Each rule gives what breaks it, or nothing.
TEST(LevelPackRules, ThePackKeepsTheGeneratorsRules) {
    const std::vector<PackLevel> pack = loadPack();
    using Rule = std::function<std::string(std::size_t)>;
    const auto detour = [&pack](std::size_t i) {
        return detourOf(pack[i].level.layout, pack[i].level.par.value_or(0));
    };
    const struct {
        const char* name;
        Rule broken; // for level i >= 1, "" when it keeps the rule
    } rules[] = {
        {"named in play order",
         [&](std::size_t i) {
             const std::string number = (i < 9 ? "0" : "") + std::to_string(i + 1) + "-";
             return pack[i].file.substr(0, 10) == "levels/" + number ? "" : pack[i].file;
         }},
        {"crates fill at most a quarter of the cells",
         [&](std::size_t i) {
             const LevelLayout& layout = pack[i].level.layout;
             return 4 * layout.obstacles.size() <= std::size_t(cellCount(layout))
                        ? ""
                        : std::to_string(layout.obstacles.size()) + " crates";
         }},
        // The camera starts at the cell's lowest corner, which must lie
        // outside the margin the game keeps from the walls.
        {"the start is off the floor and the low walls",
         [&](std::size_t i) {
             const Cell start = pack[i].level.layout.playerStart;
             return start.x > 0 && start.y > 0 && start.z > 0 ? "" : "start on a wall";
         }},
        {"the straight way fails", [&](std::size_t i) { return detour(i) > 0 ? "" : "no detour"; }},
        {"the detour never falls",
         [&](std::size_t i) {
             return detour(i) >= detour(i - 1)
                        ? ""
                        : std::to_string(detour(i)) + " after " + std::to_string(detour(i - 1));
         }},
        {"the last three ask for a detour of 10 or more",
         [&](std::size_t i) {
             return i + 3 < pack.size() || detour(i) >= 10 ? "" : std::to_string(detour(i));
         }},
        {"rooms never shrink, small ones first",
         [&](std::size_t i) {
             const int cells = cellCount(pack[i].level.layout);
             return i < 2 || cells >= cellCount(pack[i - 1].level.layout)
                        ? ""
                        : std::to_string(cells) + " cells";
         }},
    };
    ASSERT_GE(pack.size(), std::size_t(packLevels))
        << "levels/ holds too few levels, or this is not the repository root";
    for (const auto& rule : rules) {
        for (std::size_t i = 1; i < pack.size(); ++i) {
            EXPECT_EQ(rule.broken(i), "") << pack[i].file << " breaks: " << rule.name;
        }
    }
    // The first level is the game's own room, as it always was.
    EXPECT_EQ(pack[0].file, "levels/01-first-room.level");
    EXPECT_EQ(pack[0].level.layout, inReadingOrder(builtInLayout()));
    EXPECT_EQ(pack[0].level.layout.redStarts, builtInLayout().redStarts);
    EXPECT_EQ(pack[0].level.layout.blueStarts, builtInLayout().blueStarts);
    EXPECT_EQ(pack[0].level.par, 17);
    std::set<std::tuple<int, int, int>> sizes;
    for (const PackLevel& entry : pack) {
        sizes.emplace(entry.level.layout.size.x, entry.level.layout.size.y,
                      entry.level.layout.size.z);
    }
    EXPECT_GE(sizes.size(), pack.size() / 2 + 1) << "room sizes vary";
}
