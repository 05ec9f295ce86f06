#include "levelFixture.h"

#include <cmath>
#include <limits>

TEST_F(LevelTest, EveryObjectStandsInTheGridAtItsStartCell) {
    EXPECT_EQ(levelGrid.size(), 22u);
    EXPECT_EQ(player.cell, (Cell{5, 7, 9}));
    EXPECT_EQ(player.position, glm::vec3(5.0f, 7.0f, 9.0f));
    EXPECT_EQ(levelGrid.at(player.cell), &player);
    for (const RedBlock& block : redBlocks) {
        EXPECT_EQ(levelGrid.at(block.cell), &block);
    }
    for (const BlueBlock& block : blueBlocks) {
        EXPECT_EQ(levelGrid.at(block.cell), &block);
    }
    for (const GameObject& obstacle : obstacles) {
        EXPECT_EQ(levelGrid.at(obstacle.cell), &obstacle);
    }
    const std::vector<Cell> redStarts = redBlocks[0].startCells();
    ASSERT_GE(redStarts.size(), 5u);
    EXPECT_EQ(redStarts[0], (Cell{0, 7, 3}));
    EXPECT_EQ(redStarts[4], (Cell{5, 7, 7}));
    EXPECT_EQ(blueBlocks[0].startCells().at(4), (Cell{9, 3, 4}));
}

TEST(CellOfTest, TakesTheFloorOfEachCoordinate) {
    EXPECT_EQ(cellOf(glm::vec3(5.0f, 7.0f, 9.0f)), (Cell{5, 7, 9}));
    EXPECT_EQ(cellOf(glm::vec3(2.999f, 2.0f, 0.15f)), (Cell{2, 2, 0}));
    EXPECT_EQ(cellOf(glm::vec3(-0.5f, -2.0f, 9.85f)), (Cell{-1, -2, 9}));
}

TEST(CellOfTest, PositionsBeyondAnyCellGiveCellsOutsideTheLevel) {
    constexpr int32_t highest = std::numeric_limits<int32_t>::max();
    constexpr int32_t lowest = std::numeric_limits<int32_t>::min();
    const float infinity = std::numeric_limits<float>::infinity();
    EXPECT_EQ(cellOf(glm::vec3(3e9f, -3e9f, infinity)), (Cell{highest, lowest, highest}));
    EXPECT_EQ(cellOf(glm::vec3(std::nanf(""), 1.5f, -infinity)), (Cell{lowest, 1, lowest}));
}

TEST_F(LevelTest, OnlyOtherObjectsBlock) {
    EXPECT_FALSE(isCellBlocked(glm::vec3(5.9f, 7.1f, 9.8f))); // the player's own
    EXPECT_TRUE(isCellBlocked(glm::vec3(4.5f, 7.5f, 7.5f)));  // red block
    EXPECT_TRUE(isCellBlocked(glm::vec3(9.2f, 3.9f, 4.0f)));  // blue block
    EXPECT_TRUE(isCellBlocked(glm::vec3(1.5f, 2.5f, 3.5f)));  // obstacle
    EXPECT_FALSE(isCellBlocked(glm::vec3(2.5f, 2.5f, 0.5f))); // the goal
}

TEST_F(LevelTest, CellsBlockFromTheMomentABlockEntersThem) {
    stepBlocks(1); // red block 6 leaves (5, 7, 7) for (6, 7, 7)
    EXPECT_FALSE(isCellBlocked(glm::vec3(5.5f, 7.5f, 7.5f)));
    EXPECT_TRUE(isCellBlocked(glm::vec3(6.5f, 7.5f, 7.5f)));
}

TEST_F(LevelTest, ACopyIsASecondLevelWithItsOwnGridAndObjects) {
    ASSERT_TRUE(movePlayerOneCell(level, -1)); // blocks step: the copy starts moved
    for (Level copy : {Level(level), [this] {
                           Level assigned;
                           assigned = level;
                           return assigned;
                       }()}) {
        EXPECT_EQ(::captureLevelState(copy), captureLevelState());
        EXPECT_EQ(copy.grid.size(), levelGrid.size());
        for (const auto& [cell, object] : copy.grid.allEntries()) {
            EXPECT_EQ(object->cell, cell);
            EXPECT_NE(object, levelGrid.at(cell)) << "an entry points into the original";
        }
        const LevelState before = captureLevelState();
        ASSERT_TRUE(movePlayerOneCell(copy, -1));
        EXPECT_EQ(captureLevelState(), before) << "playing the copy moved the original";
        EXPECT_EQ(copy.grid.at(copy.player.cell), &copy.player);
        EXPECT_EQ(copy.redBlocks[0].startCells(), redBlocks[0].startCells());
    }
}

TEST_F(LevelTest, OneCellMovesStopAtWallsAndObjectsAndStepTheBlocks) {
    const struct {
        Cell from;
        Direction direction;
        bool moves;
    } cases[] = {
        {{5, 7, 9}, 3, false},  // the wall behind the start
        {{5, 7, 8}, -3, false}, // red block 5 in 5 7 7
        {{5, 7, 9}, -1, true},  {{0, 0, 0}, -2, false}, {{1, 5, 1}, -2, true},
        {{3, 2, 2}, 3, false},  // a crate in 3 2 3
        {{5, 7, 9}, 0, false},  {{5, 7, 9}, 4, false},
    };
    for (const auto& c : cases) {
        Level copy;
        ASSERT_TRUE(::restoreLevelState(copy, [&] {
            LevelState state = ::captureLevelState(copy);
            state.player = c.from;
            return state;
        }()));
        const LevelState before = ::captureLevelState(copy);
        EXPECT_EQ(movePlayerOneCell(copy, c.direction), c.moves) << directionName(c.direction);
        if (!c.moves) {
            EXPECT_EQ(::captureLevelState(copy), before);
            continue;
        }
        EXPECT_EQ(copy.player.cell, neighbourOf(c.from, c.direction));
        EXPECT_EQ(copy.player.position, cellCentre(copy.player.cell));
        Level byRule;
        ::restoreLevelState(byRule, before);
        byRule.player.setPosition(cellCentre(copy.player.cell));
        ::stepBlocks(byRule, c.direction);
        EXPECT_EQ(::captureLevelState(copy), ::captureLevelState(byRule));
    }
}
