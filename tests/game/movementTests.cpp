// The camera moved by held keys within the rules, and the held toggles.
#include "gameFixture.h"

#include "world/levelState.h"
#include "world/rules.h"

#include <glm/geometric.hpp>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

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
};

TEST_F(MovementTest, NothingMovesOrFlipsOnceTheGameIsWon) {
    playEnabled = false;
    hold({Key::w, Key::q, Key::f2, Key::f3, Key::f8});
    processMovement();
    EXPECT_EQ(camera.position, cameraStartPosition);
    EXPECT_FALSE(showFramerate || wireframe || frustumCulling);
}

TEST_F(MovementTest, TogglesFlipInEveryFrameTheirKeyIsHeld) {
    hold({Key::f2, Key::f3, Key::f8});
    processMovement();
    EXPECT_TRUE(showFramerate && wireframe && frustumCulling);
    processMovement();
    EXPECT_FALSE(showFramerate || wireframe || frustumCulling);
}

TEST_F(MovementTest, OpposingKeysCancelAndForwardIgnoresPitch) {
    camera.front = glm::normalize(glm::vec3(0.3f, 0.8f, -0.5f));
    placeCamera(glm::vec3(5.5f, 5.5f, 5.5f));
    hold({Key::w, Key::s, Key::a, Key::d, Key::q, Key::e});
    processMovement();
    expectNear(camera.position, glm::vec3(5.5f, 5.5f, 5.5f));

    for (Key key : {Key::s, Key::a, Key::d, Key::q, Key::e}) {
        keys[keyIndex(key)] = false;
    }
    processMovement();
    const glm::vec3 forward = glm::normalize(glm::vec3(0.3f, 0.0f, -0.5f)) * 0.5f;
    expectNear(camera.position, glm::vec3(5.5f, 5.5f, 5.5f) + forward);
}

TEST_F(MovementTest, LeavingTheBoundsUndoesOnlyThatAxis) {
    camera.front = glm::vec3(1.0f, 0.0f, 0.0f);
    placeCamera(glm::vec3(9.7f, 5.5f, 5.5f));
    hold({Key::w, Key::q});
    processMovement();
    expectNear(camera.position, glm::vec3(9.7f, 6.0f, 5.5f));
}

TEST_F(MovementTest, AnOccupiedDestinationUndoesTheWholeMove) {
    placeCamera(glm::vec3(4.5f, 7.5f, 8.2f));
    hold({Key::d}); // alone, (5, 7, 8) would be free
    processMovement();
    expectNear(camera.position, glm::vec3(5.0f, 7.5f, 8.2f));

    placeCamera(glm::vec3(4.5f, 7.5f, 8.2f));
    hold({Key::w}); // together they end in red block 6's cell
    processMovement();
    EXPECT_EQ(camera.position, glm::vec3(4.5f, 7.5f, 8.2f));
}

TEST_F(MovementTest, ALongFrameStopsAtTheSecondCellBoundaryAndNeverJumpsABlock) {
    deltaTime = 0.4f;
    placeCamera(glm::vec3(4.5f, 7.5f, 8.5f));
    hold({Key::w}); // two cells on, over red block 5 in (4, 7, 7)
    processMovement();
    EXPECT_EQ(camera.position, glm::vec3(4.5f, 7.5f, 8.5f)) << "the block's cell stops it";

    placeCamera(glm::vec3(6.5f, 5.5f, 5.5f));
    processMovement(); // (6, 5, 5) to (6, 5, 3) is free
    EXPECT_EQ(cellOf(camera.position), (Cell{6, 5, 4}));
    EXPECT_NEAR(camera.position.z, 4.0f, 1e-5f) << "it stops just before the second boundary";
}

TEST_F(MovementTest, ALookStraightDownStillMovesVerticallyAndNeverLosesThePosition) {
    camera.front = glm::vec3(0.0f, -1.0f, 0.0f);
    placeCamera(glm::vec3(5.5f, 5.5f, 5.5f));
    hold({Key::w, Key::a, Key::q});
    processMovement();
    EXPECT_EQ(camera.position, glm::vec3(5.5f, 6.0f, 5.5f));
}

namespace {

FrameInput frameAt(double time, std::vector<InputEvent> events = {}) {
    return FrameInput{time, std::move(events), cameraAspect};
}

int stepsBetween(Cell a, Cell b) {
    return std::abs(a.x - b.x) + std::abs(a.y - b.y) + std::abs(a.z - b.z);
}

Direction directionOf(Cell from, Cell to) {
    for (Direction direction : moveDirections) {
        if (neighbourOf(from, direction) == to) {
            return direction;
        }
    }
    return 0;
}

} // namespace

// Half-second frames of diagonal flight through the game's room, turning as
// it goes: every frame changes the player's cell at most once, by one cell on
// one axis, and the blocks stand where that single move puts them.
TEST(LongFrames, EveryChangeOfCellIsOneStepAndTheBlocksFollowIt) {
    const std::vector<Key> diagonals[] = {
        {Key::w, Key::a}, {Key::w, Key::d, Key::q}, {Key::s, Key::a, Key::e}, {Key::s, Key::d}};
    for (const std::vector<Key>& held : diagonals) {
        SCOPED_TRACE(std::string(keyName(held[0])) + "+" + std::string(keyName(held[1])));
        GameState game;
        Level replay;
        std::vector<InputEvent> presses;
        for (Key key : held) {
            presses.push_back(InputEvent::press(key));
        }
        updateGame(game, frameAt(0.0, presses));
        int changes = 0;
        for (int frame = 1; frame <= 60 && !isWon(game); ++frame) {
            const Cell before = game.level.player.cell;
            updateGame(game, frameAt(0.5 * frame, {InputEvent::cursorAt(150.0 * frame, 384.0)}));
            const Cell after = game.level.player.cell;
            if (after == before) {
                continue;
            }
            ++changes;
            ASSERT_EQ(stepsBetween(before, after), 1) << "frame " << frame;
            ASSERT_TRUE(movePlayerOneCell(replay, directionOf(before, after)));
            ASSERT_EQ(captureLevelState(game.level), captureLevelState(replay))
                << "frame " << frame;
        }
        EXPECT_GT(changes, 5);
    }
}

// A level may start the player on a face of the room (its camera at the
// start cell's lowest corner, inside the wall margin): at 200 frames a
// second, with steps far smaller than the margin, each way out is open.
TEST(WallMargin, AStartOnTheRoomsLowFacesCanLeaveThemAtAnyFrameRate) {
    LevelLayout layout;
    layout.size = Cell{4, 4, 4};
    layout.playerStart = Cell{0, 0, 0};
    layout.redStarts = {Cell{3, 3, 3}};
    layout.blueStarts = {Cell{2, 2, 2}};
    layout.trophyCell = Cell{3, 3, 0};
    const struct {
        Key key;
        int axis;
    } ways[] = {{Key::q, 1}, {Key::d, 0}, {Key::s, 2}};
    for (const auto& way : ways) {
        SCOPED_TRACE(std::string(keyName(way.key)));
        GameState game(layout);
        updateGame(game, frameAt(0.0, {InputEvent::press(way.key)}));
        for (int frame = 1; frame <= 800; ++frame) {
            updateGame(game, frameAt(frame / 200.0));
        }
        const Cell cell = game.level.player.cell;
        EXPECT_EQ((std::array<int, 3>{cell.x, cell.y, cell.z})[way.axis], 3);
    }
}
