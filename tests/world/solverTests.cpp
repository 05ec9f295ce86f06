#include "levelFixture.h"

#include <cstdlib>
#include <limits>

namespace {

const Cell goalCell{2, 2, 0};

// Plays the moves as the frame loop would and fails at the first one that
// leaves the level or walks into an occupied cell.
void expectPlayableTo(Level& level, const LevelState& start, const std::vector<Direction>& moves,
                      Cell goal) {
    Player& player = level.player;
    ASSERT_TRUE(restoreLevelState(level, start));
    for (Direction move : moves) {
        const Cell target = neighbourOf(player.cell, move);
        const glm::vec3 middle = glm::vec3(target.x, target.y, target.z) + 0.5f;
        ASSERT_FALSE(isCellBlocked(level, middle)) << "move " << directionName(move);
        for (int32_t index : {target.x, target.y, target.z}) {
            ASSERT_TRUE(index >= 0 && index < roomSize) << "move " << directionName(move);
        }
        player.setPosition(middle);
        ASSERT_EQ(player.direction, move);
        stepBlocks(level, player.direction);
    }
    EXPECT_EQ(player.cell, goal);
}

} // namespace

TEST_F(LevelTest, SolvesTheLevelInTheFewestMovesAndLeavesItAsItWas) {
    const LevelState start = captureLevelState();
    const auto moves = solveLevel(start, goalCell);
    ASSERT_TRUE(moves.has_value());
    EXPECT_EQ(moves->size(), 17u); // no way can be shorter than the distance
    EXPECT_EQ(captureLevelState(), start);
    EXPECT_EQ(player.position, savedPosition);
    EXPECT_EQ(levelGrid.size(), 22u);
    expectPlayableTo(level, start, *moves, goalCell);
    EXPECT_TRUE(solveLevel(start, goalCell, 17).has_value());
    EXPECT_FALSE(solveLevel(start, goalCell, 16).has_value());
}

TEST_F(LevelTest, FindsTheWayAroundABlueBlockThatCannotGiveWay) {
    // Blue block 7 in (1, 3, 4) would step into the player's cell, so it stays.
    const LevelState start = withPlayerAt(Cell{0, 3, 4});
    const auto moves = solveLevel(start, Cell{2, 3, 4});
    ASSERT_TRUE(moves.has_value());
    EXPECT_EQ(moves->size(), 4u);
    EXPECT_TRUE(solveLevel(start, Cell{2, 3, 4}, 4).has_value());
    EXPECT_FALSE(solveLevel(start, Cell{2, 3, 4}, 3).has_value());
    expectPlayableTo(level, start, *moves, Cell{2, 3, 4});
}

TEST_F(LevelTest, FollowsARedBlockThatStepsAwayAhead) {
    const LevelState start = withPlayerAt(Cell{4, 7, 9});
    const auto moves = solveLevel(start, Cell{4, 7, 6});
    ASSERT_TRUE(moves.has_value());
    EXPECT_EQ(*moves, (std::vector<Direction>{-3, -3, -3}));
}

TEST_F(LevelTest, GivesNoWayWhenThereIsNoneOrTheSearchMayNotFindIt) {
    const LevelState start = captureLevelState();
    EXPECT_EQ(solveLevel(withPlayerAt(goalCell), goalCell, 0), std::vector<Direction>{});
    EXPECT_FALSE(solveLevel(start, Cell{4, 4, 4}, 4).has_value()); // an obstacle
    EXPECT_FALSE(solveLevel(start, goalCell, 60, 20).has_value()); // needs more states
    EXPECT_FALSE(solveLevel(start, Cell{2, 2, -1}, 3).has_value());
    EXPECT_FALSE(solveLevel(start, Cell{std::numeric_limits<int32_t>::min(), 0, 0}).has_value());
    EXPECT_FALSE(solveLevel(start, goalCell, -1).has_value());
    EXPECT_EQ(captureLevelState(), start);
}

TEST_F(LevelTest, StatesThatDoNotFitTheLevelChangeNothing) {
    const LevelState before = captureLevelState();
    LevelState onObstacle = before;
    onObstacle.red[0] = Cell{4, 4, 4};
    LevelState shared = before;
    shared.blue[1] = shared.blue[0];
    const LevelState outside = withPlayerAt(Cell{10, 0, 0});
    for (const LevelState& state : {onObstacle, shared, outside}) {
        EXPECT_FALSE(fitsLevel(state));
        EXPECT_FALSE(restoreLevelState(state));
        EXPECT_FALSE(solveLevel(state, goalCell).has_value());
        EXPECT_EQ(captureLevelState(), before);
        EXPECT_EQ(levelGrid.at(Cell{4, 4, 4}), &obstacles[7]);
    }
}

TEST_F(LevelTest, RestoringMovesEveryEntryAndCentresThePlayer) {
    LevelState state = withPlayerAt(Cell{0, 0, 0});
    state.red[4] = Cell{5, 7, 9}; // the player's old cell
    player.direction = 3;
    ASSERT_TRUE(restoreLevelState(state));
    EXPECT_EQ(captureLevelState(), state);
    EXPECT_EQ(levelGrid.at(Cell{0, 0, 0}), &player);
    EXPECT_EQ(levelGrid.at(Cell{5, 7, 9}), &redBlocks[4]);
    EXPECT_EQ(levelGrid.count(Cell{5, 7, 7}), 0u);
    EXPECT_EQ(levelGrid.size(), 22u);
    EXPECT_EQ(player.direction, 0);
    EXPECT_EQ(player.position, glm::vec3(0.5f));
}

TEST(DirectionNameTest, NamesEachAxisAndSign) {
    EXPECT_EQ(directionName(1) + directionName(-1), "+x-x");
    EXPECT_EQ(directionName(2) + directionName(-2), "+y-y");
    EXPECT_EQ(directionName(3) + directionName(-3), "+z-z");
    EXPECT_EQ(directionName(0) + directionName(7), "");
}
