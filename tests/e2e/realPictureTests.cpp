// The picture of the game binary players run, read off the X screen: the
// level at the start as the reference frame shows it, and blocks still in
// view after a few moves. The start frame of the release build once showed
// no block at all while every trace line was right, so the trace alone
// proves nothing about the picture.
#include "driver/gameLauncher.h"
#include "driver/playDriver.h"
#include "support/glContext.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const Seconds startTimeout(120);
const Seconds moveTimeout(120);
const Seconds exitTimeout(60);

// The live frame differs from the reference by the particles (spawned at
// random) and by the clock; everything else is the same level from the same
// camera. Per channel a difference up to 8 is rounding, as in the reference
// test; a broken level differs on a quarter of the screen or more.
constexpr int channelTolerance = 8;
constexpr double outlierShare = 0.01;

long pixelsBeyondTolerance(const Screenshot& actual, const Screenshot& expected) {
    long outliers = 0;
    for (std::size_t pixel = 0; pixel < actual.rgb.size(); pixel += 3) {
        for (std::size_t channel = 0; channel < 3; ++channel) {
            if (std::abs(int(actual.rgb[pixel + channel]) - int(expected.rgb[pixel + channel])) >
                channelTolerance) {
                ++outliers;
                break;
            }
        }
    }
    return outliers;
}

class RealPicture : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(startFocusedGame(game, LaunchOptions(), startTimeout), ""); }
    void TearDown() override { EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0)); }

    // A few frames in, so the first frame's start-up is long past.
    Screenshot screenAfterFrames(std::size_t frames) {
        const std::size_t number = game.traceLineCount() + frames;
        EXPECT_TRUE(game.waitForTraceLine(number, moveTimeout)) << "no trace line " << number;
        const std::optional<Screenshot> screen = grabScreen();
        EXPECT_TRUE(screen) << "cannot read the X screen";
        return screen.value_or(Screenshot{});
    }

    GameProcess game;
};

const ScreenBox upperHalf{0, 0, 1024, 384};
const ScreenBox lowerLeft{0, 600, 300, 130};

} // namespace

TEST_F(RealPicture, startShowsTheRedBlocksAheadAndTheCratesBelowAsTheReferenceFrameDoes) {
    const Screenshot start = screenAfterFrames(3);
    ASSERT_EQ(start.width, 1024);
    const std::string path = buildPath("e2e-real-start.png");
    start.savePng(path);

    EXPECT_GT(start.share(upperHalf, isBlockRed), 0.40) << "red blocks missing in " << path;
    EXPECT_GT(start.share(lowerLeft, isCrateWood), 0.30) << "crates missing in " << path;

    Screenshot reference;
    ASSERT_TRUE(reference.load(sourcePath("tests/render/reference/startFrame.png")));
    ASSERT_EQ(reference.rgb.size(), start.rgb.size());
    const long outliers = pixelsBeyondTolerance(start, reference);
    EXPECT_LE(outliers, outlierShare * 1024 * 768)
        << outliers << " pixels differ from the reference start frame by more than "
        << channelTolerance << "; see " << path;
}

TEST_F(RealPicture, blocksStayInViewAfterTwoMovesForward) {
    // Wireframe frames are short enough that no frame's step skips a cell.
    ASSERT_TRUE(switchToWireframe(game, moveTimeout));
    ASSERT_TRUE(holdUntilPlayerIn(game, "w", Cell{5, 7, 7}, moveTimeout))
        << "never reached cell 577";
    ASSERT_TRUE(switchToFullPicture(game, moveTimeout));
    const Screenshot moved = screenAfterFrames(2);
    const std::string path = buildPath("e2e-real-moved.png");
    moved.savePng(path);
    // The red blocks stepped with the player and still fill the view ahead.
    EXPECT_GT(moved.share(upperHalf, isBlockRed), 0.15) << "red blocks missing in " << path;
    EXPECT_EQ(game.traceLines().back().red, (Cell{0, 7, 1}));
}
