#include "world/gameObject.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

TEST(GameObjectTest, NewerObjectTakesOverAnOccupiedCell) {
    LevelGrid grid;
    GameObject older(Cell{1, 2, 3}, grid);
    GameObject newer(Cell{1, 2, 3}, grid);
    EXPECT_EQ(grid.size(), 1u);
    EXPECT_EQ(grid.at(Cell{1, 2, 3}), &newer);
    EXPECT_EQ(older.cell, (Cell{1, 2, 3}));
}

TEST(GameObjectTest, MoveToChecksNothing) {
    LevelGrid grid;
    GameObject mover(Cell{0, 0, 0}, grid);
    GameObject occupant(Cell{5, 5, 5}, grid);

    mover.moveTo(Cell{0, 0, 0});
    EXPECT_EQ(grid.size(), 2u);
    EXPECT_EQ(grid.at(Cell{0, 0, 0}), &mover);

    // Into an occupied cell: the occupant loses its entry.
    mover.moveTo(Cell{5, 5, 5});
    EXPECT_EQ(grid.size(), 1u);
    EXPECT_EQ(grid.at(Cell{5, 5, 5}), &mover);

    // Out of a cell whose entry is another object's: that entry goes.
    occupant.moveTo(Cell{7, 7, 7});
    EXPECT_EQ(grid.count(Cell{5, 5, 5}), 0u);
    EXPECT_EQ(grid.at(Cell{7, 7, 7}), &occupant);
}

TEST(GameObjectTest, CopiesLeaveTheGridAlone) {
    LevelGrid grid;
    GameObject original(Cell{4, 4, 4}, grid);
    {
        const GameObject copy = original;
        EXPECT_EQ(copy.cell, original.cell);
    }
    EXPECT_EQ(grid.size(), 1u);
    EXPECT_EQ(grid.at(Cell{4, 4, 4}), &original);
}

TEST(BlockTest, StartCellsKeepConstructionOrderAfterMoves) {
    LevelGrid grid;
    RedBlock first(Cell{1, 1, 1}, grid);
    const std::size_t redBefore = first.startCells().size() - 1;
    RedBlock second(Cell{2, 1, 1}, grid);
    BlueBlock blue(Cell{3, 1, 1}, grid);
    const std::size_t blueBefore = blue.startCells().size() - 1;
    first.moveTo(Cell{1, 5, 1});

    const std::vector<Cell> red = second.startCells();
    ASSERT_EQ(red.size(), redBefore + 2);
    EXPECT_EQ(red[redBefore], (Cell{1, 1, 1}));
    EXPECT_EQ(red[redBefore + 1], (Cell{2, 1, 1}));
    ASSERT_EQ(blue.startCells().size(), blueBefore + 1);
    EXPECT_EQ(blue.startCells().back(), (Cell{3, 1, 1}));
}

TEST(BlockTest, RedStepsWithTheDirectionAndBlueAgainstIt) {
    const struct {
        Direction direction;
        Cell red;
        Cell blue;
    } cases[] = {
        {1, {5, 5, 5}, {3, 5, 5}},  {-1, {3, 5, 5}, {5, 5, 5}}, {2, {4, 6, 5}, {4, 4, 5}},
        {-2, {4, 4, 5}, {4, 6, 5}}, {3, {4, 5, 6}, {4, 5, 4}},  {-3, {4, 5, 4}, {4, 5, 6}},
    };
    for (const auto& c : cases) {
        LevelGrid redGrid;
        LevelGrid blueGrid;
        RedBlock red(Cell{4, 5, 5}, redGrid);
        BlueBlock blue(Cell{4, 5, 5}, blueGrid);
        red.step(c.direction);
        blue.step(c.direction);
        EXPECT_EQ(red.cell, c.red) << "direction " << c.direction;
        EXPECT_EQ(blue.cell, c.blue) << "direction " << c.direction;
        EXPECT_EQ(redGrid.at(c.red), &red);
    }
}

TEST(BlockTest, StaysWhenTheTargetIsTakenOutsideOrNoDirection) {
    LevelGrid grid;
    RedBlock atEdge(Cell{9, 0, 5}, grid);
    RedBlock behind(Cell{8, 0, 5}, grid);
    atEdge.step(1);  // x would pass 9
    behind.step(1);  // atEdge still stands there
    atEdge.step(-2); // y would fall below 0
    for (Direction noDirection : {0, 4, -4, std::numeric_limits<int32_t>::min()}) {
        behind.step(noDirection);
    }
    EXPECT_EQ(atEdge.cell, (Cell{9, 0, 5}));
    EXPECT_EQ(behind.cell, (Cell{8, 0, 5}));
    EXPECT_EQ(grid.size(), 2u);
}

TEST(PlayerTest, StartsInTheCellOfItsStartPosition) {
    LevelGrid grid;
    Player player(Cell{0, 0, 0}, glm::vec3(3.5f, 2.2f, 1.9f), grid);
    EXPECT_EQ(player.direction, 0);
    EXPECT_EQ(player.cell, (Cell{3, 2, 1}));
    EXPECT_EQ(grid.size(), 1u);
    EXPECT_EQ(grid.at(Cell{3, 2, 1}), &player);
}

TEST(PlayerTest, DirectionNamesTheFirstAxisThatChanged) {
    LevelGrid grid;
    Player player(Cell{5, 7, 9}, glm::vec3(5.5f, 7.5f, 9.5f), grid);
    const struct {
        glm::vec3 position;
        Direction direction;
    } moves[] = {
        {{4.5f, 7.5f, 8.5f}, -1}, // x is compared before z
        {{4.5f, 7.5f, 8.9f}, 0},  // same cell
        {{7.5f, 7.5f, 8.5f}, 1},  // three cells count as one direction
        {{7.5f, 8.1f, 1.5f}, 2},  {{7.5f, 8.1f, 0.5f}, -3},
    };
    for (const auto& move : moves) {
        player.setPosition(move.position);
        EXPECT_EQ(player.direction, move.direction);
        EXPECT_EQ(player.position, move.position);
    }
    EXPECT_EQ(grid.size(), 1u);
    EXPECT_EQ(grid.at(Cell{7, 8, 0}), &player);
}
