// The trace line, the win test and the frame-rate line of the overlay.
#include "app/frameState.h"
#include "app/gameState.h"
#include "app/options.h"
#include "world/levelState.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(TraceLine, StartLayoutGivesTheFirstLine) {
    std::ostringstream out;
    writeTraceLine(out);
    EXPECT_EQ(out.str(), "579\t\tredblock: 073\t\tBlueblock: 134\n");
}

TEST(TraceLine, FollowsTheLevelState) {
    const LevelState start = captureLevelState();
    LevelState moved = start;
    moved.player = Cell{2, 2, 0};
    moved.red[0] = Cell{1, 7, 3};
    moved.blue[0] = Cell{0, 3, 4};
    restoreLevelState(moved);
    EXPECT_EQ(traceLine(), "220\t\tredblock: 173\t\tBlueblock: 034");
    restoreLevelState(start);
}

TEST(WinTest, ComparesEachIndexWithTheGoal) {
    const glm::vec3 goal(2.0f, 2.0f, 0.0f);
    EXPECT_TRUE(isWinningCell(Cell{2, 2, 0}, goal));
    EXPECT_FALSE(isWinningCell(Cell{2, 2, 1}, goal));
    EXPECT_FALSE(isWinningCell(Cell{2, 0, 2}, goal)) << "axes are not interchangeable";
    EXPECT_FALSE(isWinningCell(Cell{5, 7, 9}, goal));
    EXPECT_FALSE(isWinningCell(Cell{2, 2, 0}, glm::vec3(2.5f, 2.0f, 0.0f)));
}

class OverlayTest : public ::testing::Test {
  protected:
    void SetUp() override { resetFrameState(); }
    void TearDown() override { resetFrameState(); }
};

TEST_F(OverlayTest, FramerateIsOneFrameInSinglePrecision) {
    EXPECT_EQ(formatFramerate(0.015625f), "64.000000");
    EXPECT_EQ(formatFramerate(0.016f), "62.499996");
}

TEST_F(OverlayTest, NoLinesWhenEverySwitchIsOff) { EXPECT_TRUE(overlayLines().empty()); }

TEST_F(OverlayTest, FirstShownFrameHasNoNumberThenItRefreshesEvery300Frames) {
    showFramerate = true;
    deltaTime = 0.015625f;
    std::vector<OverlayLine> lines = overlayLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "Framerate: ");
    EXPECT_EQ(lines[0].x, 25.0f);
    EXPECT_EQ(lines[0].y, 708.0f);
    EXPECT_EQ(lines[0].scale, 0.5f);
    EXPECT_EQ(lines[0].colour, glm::vec3(0.0f, 1.0f, 0.0f));

    deltaTime = 0.016f;
    EXPECT_EQ(overlayLines()[0].text, "Framerate: 64.000000");
    for (int frame = 2; frame < 300; ++frame) {
        EXPECT_EQ(overlayLines()[0].text, "Framerate: 64.000000") << "frame " << frame;
    }
    EXPECT_EQ(overlayLines()[0].text, "Framerate: 64.000000");
    EXPECT_EQ(overlayLines()[0].text, "Framerate: 62.499996");
}

TEST_F(OverlayTest, HidingTheLineStopsTheCounter) {
    showFramerate = true;
    deltaTime = 0.5f;
    overlayLines();
    EXPECT_EQ(framerateCounter, 1);
    showFramerate = false;
    for (int i = 0; i < 500; ++i) {
        overlayLines();
    }
    EXPECT_EQ(framerateCounter, 1);
    showFramerate = true;
    EXPECT_EQ(overlayLines()[0].text, "Framerate: 2.000000");
    EXPECT_EQ(framerateCounter, 2);
}

TEST_F(OverlayTest, ModeLinesShareTheAnchorInOrder) {
    showFramerate = true;
    wireframe = true;
    frustumCulling = true;
    const std::vector<OverlayLine> lines = overlayLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].text, "Wireframe: ON");
    EXPECT_TRUE(lines[1].clearsTextureUnits);
    EXPECT_EQ(lines[2].text, "View Frustum Culling: ON");
    EXPECT_FALSE(lines[2].clearsTextureUnits);
    for (const OverlayLine& line : lines) {
        EXPECT_EQ(line.x, 25.0f);
        EXPECT_EQ(line.y, 708.0f);
    }
}

TEST(Options, NoArgumentsPlaysFullScreen) {
    const char* argv[] = {"cellquest"};
    const Options options = parseOptions(1, argv);
    EXPECT_FALSE(options.windowed);
    EXPECT_FALSE(options.help);
    EXPECT_TRUE(options.error.empty());
}

TEST(Options, FlagsAndUnknownArguments) {
    const char* windowed[] = {"cellquest", "--windowed"};
    EXPECT_TRUE(parseOptions(2, windowed).windowed);
    const char* help[] = {"cellquest", "--help"};
    EXPECT_TRUE(parseOptions(2, help).help);
    const char* unknown[] = {"cellquest", "--windowed", "--fast"};
    const Options options = parseOptions(3, unknown);
    EXPECT_NE(options.error.find("--fast"), std::string::npos);
    EXPECT_NE(usageText("cellquest").find("Escape"), std::string::npos);
}

} // namespace
