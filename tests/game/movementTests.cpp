// The camera moved by held keys within the rules, and the held toggles.
#include "gameFixture.h"

#include <glm/geometric.hpp>

namespace {

void expectNear(glm::vec3 actual, glm::vec3 expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

} // namespace

class MovementTest : public GameTest {
  protected:
    void SetUp() override {
        deltaTime = 0.1f; // half a cell per frame
    }

    void hold(std::initializer_list<int> heldKeys) {
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

