// The world as the console trace shows it: the start layout and the blocks'
// step after the player's first change of cell, driven by held keys. The
// game runs in wireframe mode (F3), whose frames are short enough on the
// software renderer that one frame's movement stays well inside a cell.
#include "driver/playDriver.h"

#include <gtest/gtest.h>

namespace {

const Seconds startTimeout(120);
const Seconds moveTimeout(120);
const Seconds exitTimeout(60);

constexpr std::size_t maxHeldFrames = 400;

const TraceLine startLayout{{5, 7, 9}, {0, 7, 3}, {1, 3, 4}};

class WorldTrace : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(startFocusedGame(game, LaunchOptions(), startTimeout), "");
        ASSERT_TRUE(switchToWireframe(game, startTimeout)) << "F3 never showed \"Wireframe: ON\"";
    }
    void TearDown() override { EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0)); }

    // Holds the key until the player's cell changes; returns the number of
    // the first trace line that shows the new cell. A cell is at most one
    // unit away, a fifth of a second at the camera's speed: a key held for
    // far more frames than that moved the camera the wrong way or not at all.
    std::optional<std::size_t> holdUntilPlayerMoves(const std::string& key) {
        const std::size_t first = game.traceLineCount();
        if (!game.sendKeyDown(key)) {
            return std::nullopt;
        }
        std::optional<std::size_t> moved;
        for (std::size_t number = first; !moved && number < first + maxHeldFrames; ++number) {
            const auto line = game.waitForTraceLine(number, moveTimeout);
            if (!line) {
                break;
            }
            if (line->player != startLayout.player) {
                moved = number;
            }
        }
        game.sendKeyUp(key);
        return moved;
    }

    // The crossing line must show the expected step; every line before it the
    // untouched start, and every line after it with the player still in the
    // new cell the same layout (blocks step only on a change of cell).
    void expectSingleStep(std::size_t crossing, const TraceLine& expected) {
        const std::vector<TraceLine> lines = game.traceLines();
        ASSERT_LT(crossing, lines.size());
        for (std::size_t i = 0; i < crossing; ++i) {
            EXPECT_EQ(lines[i], startLayout) << "frame " << i;
        }
        EXPECT_EQ(lines[crossing], expected);
        for (std::size_t i = crossing + 1; i < lines.size() && lines[i].player == expected.player;
             ++i) {
            EXPECT_EQ(lines[i], expected) << "frame " << i;
        }
    }

    GameProcess game;
};

TEST_F(WorldTrace, firstLineShowsStartLayoutExactly) {
    const auto first = game.out().waitFor(
        [](const std::string& line) { return parseTraceLine(line).has_value(); }, 0, startTimeout);
    ASSERT_TRUE(first);
    EXPECT_EQ(*game.out().line(*first), "579\t\tredblock: 073\t\tBlueblock: 134");
}

TEST_F(WorldTrace, standingStillMovesNothing) {
    ASSERT_TRUE(game.waitForTraceLine(20, moveTimeout));
    for (const TraceLine& line : game.traceLines()) {
        EXPECT_EQ(line, startLayout);
    }
}

// Moving to x = 4: red blocks step -x (the first stays, x cannot fall below
// 0), blue blocks step +x.
TEST_F(WorldTrace, movingLeftStepsRedWithAndBlueAgainstThePlayer) {
    const auto crossing = holdUntilPlayerMoves("a");
    ASSERT_TRUE(crossing) << "the player never left the start cell";
    expectSingleStep(*crossing, TraceLine{{4, 7, 9}, {0, 7, 3}, {2, 3, 4}});
}

TEST_F(WorldTrace, movingRightStepsBothFirstBlocks) {
    const auto crossing = holdUntilPlayerMoves("d");
    ASSERT_TRUE(crossing);
    expectSingleStep(*crossing, TraceLine{{6, 7, 9}, {1, 7, 3}, {0, 3, 4}});
}

TEST_F(WorldTrace, movingForwardGoesAlongMinusZ) {
    const auto crossing = holdUntilPlayerMoves("w");
    ASSERT_TRUE(crossing);
    expectSingleStep(*crossing, TraceLine{{5, 7, 8}, {0, 7, 2}, {1, 3, 5}});
}

TEST_F(WorldTrace, movingUpStepsAlongY) {
    const auto crossing = holdUntilPlayerMoves("q");
    ASSERT_TRUE(crossing);
    expectSingleStep(*crossing, TraceLine{{5, 8, 9}, {0, 8, 3}, {1, 2, 4}});
}

// A quarter turn to the right (1810 pixels at 0.05 degrees each, after a
// first pixel that only sets where the cursor was) makes W fly along +x.
// The motion goes in small pieces, a frame apart, since the pointer cannot
// run past the screen's edge between two of the game's re-centrings.
TEST_F(WorldTrace, turningRightWithTheMouseMakesForwardGoAlongPlusX) {
    ASSERT_TRUE(game.moveMouseRelative(1, 0));
    ASSERT_TRUE(game.waitForTraceLine(game.traceLineCount() + 1, moveTimeout));
    for (int piece = 0; piece < 18; ++piece) {
        ASSERT_TRUE(game.moveMouseRelative(100, 0));
        ASSERT_TRUE(game.waitForTraceLine(game.traceLineCount() + 1, moveTimeout));
    }
    ASSERT_TRUE(game.moveMouseRelative(10, 0));
    ASSERT_TRUE(game.waitForTraceLine(game.traceLineCount() + 2, moveTimeout));
    const auto crossing = holdUntilPlayerMoves("w");
    ASSERT_TRUE(crossing);
    expectSingleStep(*crossing, TraceLine{{6, 7, 9}, {1, 7, 3}, {0, 3, 4}});
}

// The camera starts at z = 9.0 and may not pass 9.85: backing away from the
// level never leaves the start cell, so nothing steps.
TEST_F(WorldTrace, backingIntoTheWallStaysInTheStartCell) {
    ASSERT_TRUE(game.holdKeyForFrames("s", 12, moveTimeout));
    ASSERT_TRUE(game.waitForNextTraceLine(moveTimeout));
    for (const TraceLine& line : game.traceLines()) {
        EXPECT_EQ(line, startLayout);
    }
}

} // namespace
