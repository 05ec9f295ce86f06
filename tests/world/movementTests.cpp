#include "levelFixture.h"
#include "world/movement.h"

#include <glm/geometric.hpp>

namespace {

int filledModeCalls = 0;
void countFilledModeCall() {
    ++filledModeCalls;
}

void expectNear(glm::vec3 actual, glm::vec3 expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

} // namespace

class MovementTest : public LevelTest {
  protected:
    void SetUp() override {
        LevelTest::SetUp();
        deltaTime = 0.1f; // half a cell per frame
        filledModeCalls = 0;
        setFilledPolygonMode = countFilledModeCall;
    }

    static void hold(std::initializer_list<int> heldKeys) {
        for (int key : heldKeys) {
            keys[key] = true;
        }
    }
};

TEST_F(MovementTest, NothingMovesOrFlipsOnceTheGameIsWon) {
    playEnabled = false;
    hold({keyW, keyQ, keyF2, keyF3, keyF8});
    processMovement();
    EXPECT_EQ(camera.position, cameraStartPosition);
    EXPECT_FALSE(showFramerate || wireframe || frustumCulling);
}

TEST_F(MovementTest, TogglesFlipInEveryFrameTheirKeyIsHeld) {
    hold({keyF2, keyF3, keyF8});
    processMovement();
    EXPECT_TRUE(showFramerate && wireframe && frustumCulling);
    EXPECT_EQ(filledModeCalls, 0);
    processMovement();
    EXPECT_FALSE(showFramerate || wireframe || frustumCulling);
    EXPECT_EQ(filledModeCalls, 1); // leaving wireframe fills at once
}

TEST_F(MovementTest, OpposingKeysCancelAndForwardIgnoresPitch) {
    camera.front = glm::normalize(glm::vec3(0.3f, 0.8f, -0.5f));
    placeCamera(glm::vec3(5.5f, 5.5f, 5.5f));
    hold({keyW, keyS, keyA, keyD, keyQ, keyE});
    processMovement();
    expectNear(camera.position, glm::vec3(5.5f, 5.5f, 5.5f));

    keys[keyS] = keys[keyA] = keys[keyD] = keys[keyQ] = keys[keyE] = false;
    processMovement();
    const glm::vec3 forward = glm::normalize(glm::vec3(0.3f, 0.0f, -0.5f)) * 0.5f;
    expectNear(camera.position, glm::vec3(5.5f, 5.5f, 5.5f) + forward);
}

TEST_F(MovementTest, LeavingTheBoundsUndoesOnlyThatAxis) {
    camera.front = glm::vec3(1.0f, 0.0f, 0.0f);
    placeCamera(glm::vec3(9.7f, 5.5f, 5.5f));
    hold({keyW, keyQ});
    processMovement();
    expectNear(camera.position, glm::vec3(9.7f, 6.0f, 5.5f));
}

TEST_F(MovementTest, AnOccupiedDestinationUndoesTheWholeMove) {
    placeCamera(glm::vec3(4.5f, 7.5f, 8.2f));
    hold({keyD}); // alone, (5, 7, 8) would be free
    processMovement();
    expectNear(camera.position, glm::vec3(5.0f, 7.5f, 8.2f));

    placeCamera(glm::vec3(4.5f, 7.5f, 8.2f));
    hold({keyW}); // together they end in red block 6's cell
    processMovement();
    EXPECT_EQ(camera.position, glm::vec3(4.5f, 7.5f, 8.2f));
}

TEST_F(MovementTest, OnlyTheDestinationCellIsTested) {
    deltaTime = 0.4f;
    placeCamera(glm::vec3(4.5f, 7.5f, 8.5f));
    hold({keyW}); // passes over red block 5 in (4, 7, 7)
    processMovement();
    expectNear(camera.position, glm::vec3(4.5f, 7.5f, 6.5f));
}

TEST_F(MovementTest, ALookStraightDownStillMovesVerticallyAndNeverLosesThePosition) {
    camera.front = glm::vec3(0.0f, -1.0f, 0.0f);
    placeCamera(glm::vec3(5.5f, 5.5f, 5.5f));
    hold({keyW, keyA, keyQ});
    processMovement();
    EXPECT_EQ(camera.position, glm::vec3(5.5f, 6.0f, 5.5f));
}

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
