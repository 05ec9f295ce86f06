#include "world/gameObject.h"
#include "world/levelGrid.h"

#include <gtest/gtest.h>

TEST(CellTest, OrdersByXThenYThenZAsSignedIndices) {
    EXPECT_LT((Cell{-1, 9, 9}), (Cell{0, 0, 0}));
    EXPECT_LT((Cell{2, -5, 9}), (Cell{2, 0, 0}));
    EXPECT_LT((Cell{2, 3, 4}), (Cell{2, 3, 5}));
    EXPECT_FALSE((Cell{2, 3, 4}) < (Cell{2, 3, 4}));
    EXPECT_NE((Cell{1, 2, 3}), (Cell{1, 2, 4}));
}

TEST(LevelGridTest, EraseRemovesAnyEntryAndIgnoresEmptyCells) {
    LevelGrid grid;
    GameObject object(Cell{3, 4, 5}, grid);
    grid.erase(Cell{9, 9, 9});
    EXPECT_EQ(grid.size(), 1u);
    grid.erase(Cell{3, 4, 5});
    EXPECT_EQ(grid.count(Cell{3, 4, 5}), 0u);
    EXPECT_EQ(grid.at(Cell{3, 4, 5}), nullptr);
}
