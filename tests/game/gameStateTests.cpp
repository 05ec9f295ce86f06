// The trace line, the win test, the frame-rate line of the overlay and the
// player's settings at the start of a run.
#include "game/gameState.h"
#include "world/levelState.h"
#include "world/trace.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(TraceLine, StartLayoutGivesTheFirstLine) {
    const Level level;
    std::ostringstream out;
    writeTraceLine(out, level);
    EXPECT_EQ(out.str(), "579\t\tredblock: 073\t\tBlueblock: 134\n");
}

TEST(TraceLine, FollowsTheLevelState) {
    Level level;
    LevelState moved = captureLevelState(level);
    moved.player = Cell{2, 2, 0};
    moved.red[0] = Cell{1, 7, 3};
    moved.blue[0] = Cell{0, 3, 4};
    restoreLevelState(level, moved);
    EXPECT_EQ(formatTraceLine(traceLineOf(level)), "220\t\tredblock: 173\t\tBlueblock: 034");
}

TEST(TraceLine, ReadsBackWhatItWritesAndNothingElse) {
    const TraceLine line{{5, 7, 9}, {0, 7, 3}, {1, 3, 4}};
    EXPECT_EQ(parseTraceLine(formatTraceLine(line)), line);
    for (const char* text :
         {"", "579\t\tredblock: 073\t\tBlueblock: 13", "579\t\tredblock: 073\t\tBlueblock: 1345",
          "579\tredblock: 073\t\tBlueblock: 134", "5a9\t\tredblock: 073\t\tBlueblock: 134",
          "579\t\tRedblock: 073\t\tBlueblock: 134"}) {
        EXPECT_FALSE(parseTraceLine(text).has_value()) << text;
    }
}

TEST(WinTest, ComparesEachIndexWithTheGoal) {
    const glm::vec3 goal(2.0f, 2.0f, 0.0f);
    EXPECT_TRUE(isWinningCell(Cell{2, 2, 0}, goal));
    EXPECT_FALSE(isWinningCell(Cell{2, 2, 1}, goal));
    EXPECT_FALSE(isWinningCell(Cell{2, 0, 2}, goal)) << "axes are not interchangeable";
    EXPECT_FALSE(isWinningCell(Cell{5, 7, 9}, goal));
    EXPECT_FALSE(isWinningCell(Cell{2, 2, 0}, glm::vec3(2.5f, 2.0f, 0.0f)));
}

// A fresh game state per test, played frame by frame with no input.
class OverlayTest : public ::testing::Test {
  protected:
    // The overlay after one more frame of the given length (exact in float).
    std::vector<OverlayText> frame(double seconds) {
        time += seconds;
        updateGame(game, FrameInput{time, {}, cameraAspect});
        return overlayTexts(game);
    }
    std::string framerateAfterFrame(double seconds) { return frame(seconds).at(0).text; }

    GameState game;
    double time = 1.0;
    bool& showFramerate = game.modes.showFramerate;
    bool& wireframe = game.modes.wireframe;
    bool& frustumCulling = game.modes.frustumCulling;
    int& framerateCounter = game.framerateCounter;
};

TEST_F(OverlayTest, FramerateIsOneFrameInSinglePrecision) {
    EXPECT_EQ(formatFramerate(0.015625f), "64.000000");
    EXPECT_EQ(formatFramerate(0.016f), "62.499996");
}

TEST_F(OverlayTest, NoLinesWhenEverySwitchIsOff) {
    EXPECT_TRUE(frame(0.015625).empty());
}

TEST_F(OverlayTest, FirstShownFrameHasNoNumberThenItRefreshesEvery300Frames) {
    game.lastFrame = 1.0f;
    showFramerate = true;
    EXPECT_EQ(framerateAfterFrame(0.015625), "Framerate: ");
    EXPECT_EQ(framerateAfterFrame(0.03125), "Framerate: 64.000000");
    for (int frame = 2; frame < 300; ++frame) {
        EXPECT_EQ(framerateAfterFrame(0.03125), "Framerate: 64.000000") << "frame " << frame;
    }
    EXPECT_EQ(framerateAfterFrame(0.03125), "Framerate: 64.000000");
    EXPECT_EQ(framerateAfterFrame(0.03125), "Framerate: 32.000000");
}

TEST_F(OverlayTest, HidingTheLineStopsTheCounter) {
    game.lastFrame = 1.0f;
    showFramerate = true;
    frame(0.5);
    EXPECT_EQ(framerateCounter, 1);
    showFramerate = false;
    for (int i = 0; i < 500; ++i) {
        frame(0.5);
    }
    EXPECT_EQ(framerateCounter, 1);
    showFramerate = true;
    EXPECT_EQ(framerateAfterFrame(0.5), "Framerate: 2.000000");
    EXPECT_EQ(framerateCounter, 2);
}

TEST_F(OverlayTest, ModeLinesComeInOrder) {
    showFramerate = true;
    wireframe = true;
    frustumCulling = true;
    const std::vector<OverlayText> texts = overlayTexts(game);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].kind, OverlayText::Kind::framerate);
    EXPECT_EQ(texts[1].text, "Wireframe: ON");
    EXPECT_EQ(texts[2].text, "View Frustum Culling: ON");
}

std::vector<OverlayText::Kind> kindsOf(const std::vector<OverlayText>& texts) {
    std::vector<OverlayText::Kind> kinds;
    for (const OverlayText& text : texts) {
        kinds.push_back(text.kind);
    }
    return kinds;
}

TEST(PlayerSettings, SetTheStartingZoomAndShowOrHideTheMovesLine) {
    using Kind = OverlayText::Kind;
    Settings settings;
    settings.fieldOfView = 20.0;
    settings.movesLine = false;
    const GameState hidden(builtInRoomCampaign(), true, settings);
    EXPECT_EQ(hidden.camera.fov, 20.0f);
    EXPECT_EQ(kindsOf(overlayTexts(hidden)), std::vector<Kind>{Kind::hint});

    const GameState shown(builtInRoomCampaign(), true);
    EXPECT_EQ(shown.camera.fov, 45.0f);
    EXPECT_EQ(kindsOf(overlayTexts(shown)), (std::vector<Kind>{Kind::moves, Kind::hint}));
}

} // namespace
