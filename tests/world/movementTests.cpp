// The blocks' steps after the player changes cell.
#include "levelFixture.h"

TEST_F(LevelTest, BlocksStepOneAfterAnotherAgainstTheGrid) {
    stepBlocks(-1);
    const Cell red[] = {{0, 7, 3}, {1, 7, 3}, {3, 7, 3}, {3, 7, 7}, {4, 7, 7}};
    const Cell blue[] = {{2, 3, 4}, {4, 3, 4}, {6, 3, 4}, {8, 3, 4}, {9, 3, 4}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(redBlocks[i].cell, red[i]) << "red block " << i;
        EXPECT_EQ(blueBlocks[i].cell, blue[i]) << "blue block " << i;
    }
    EXPECT_EQ(levelGrid.size(), 22u);
}

TEST_F(LevelTest, AnEarlierBlockSeesTheCellsOfLaterOnes) {
    stepBlocks(1);
    EXPECT_EQ(redBlocks[3].cell, (Cell{4, 7, 7})); // block 6 had not moved yet
    EXPECT_EQ(redBlocks[4].cell, (Cell{6, 7, 7}));
}

TEST_F(LevelTest, RedBlocksTakeContestedCellsBeforeBlueOnes) {
    LevelState state = captureLevelState();
    state.red[0] = Cell{3, 5, 5};
    state.blue[0] = Cell{5, 5, 5};
    ASSERT_TRUE(restoreLevelState(state));
    stepBlocks(1); // both want (4, 5, 5)
    EXPECT_EQ(redBlocks[0].cell, (Cell{4, 5, 5}));
    EXPECT_EQ(blueBlocks[0].cell, (Cell{5, 5, 5}));
}

TEST_F(LevelTest, NoBlockEntersThePlayersCellOrMovesWithoutADirection) {
    ASSERT_TRUE(restoreLevelState(withPlayerAt(Cell{1, 7, 3})));
    const LevelState before = captureLevelState();
    stepBlocks(0);
    EXPECT_EQ(captureLevelState(), before);
    stepBlocks(-1);
    EXPECT_EQ(redBlocks[1].cell, (Cell{2, 7, 3}));
    EXPECT_EQ(levelGrid.at(Cell{1, 7, 3}), &player);
}
