// The whole game played from the start to the win with held keys, as a
// person would, and the won frames that end it.
#include "driver/playDriver.h"

#include <gtest/gtest.h>

#include <iostream>
#include <iterator>

namespace {

const Seconds startTimeout(120);
const Seconds exitTimeout(120);
// The game ends by itself 301 frames after the win.
constexpr std::size_t wonFramesShown = 301;

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

TEST(PlayThrough, playsFromStartToWinAndEndsAfterTheWonFrames) {
    GameProcess game;
    ASSERT_EQ(startFocusedGame(game, LaunchOptions(), startTimeout), "");
    PlayOptions options;
    options.log = [](const std::string& line) { std::cout << "[play] " << line << std::endl; };
    const PlayResult result = playToWin(game, options);
    ASSERT_EQ(result.failure, "") << joined(result.log);
    ASSERT_TRUE(result.firstWonFrame);

    ASSERT_EQ(game.waitForExit(exitTimeout), exitedWith(0));
    const std::vector<std::string> output = game.out().lines();
    ASSERT_FALSE(output.empty());
    EXPECT_EQ(output.back(), "YOU WON!");

    // Every frame from the first won one on shows the player in the goal
    // cell and nothing moving, until the process ends.
    const std::vector<TraceLine> frames = game.traceLines();
    ASSERT_GT(frames.size(), *result.firstWonFrame);
    const TraceLine won = frames[*result.firstWonFrame];
    EXPECT_EQ(won.player, goalCell);
    for (std::size_t frame = *result.firstWonFrame; frame < frames.size(); ++frame) {
        ASSERT_EQ(frames[frame], won) << "frame " << frame;
    }
    EXPECT_EQ(frames.size() - *result.firstWonFrame, wonFramesShown);

    ASSERT_TRUE(result.wonScreen);
    const std::string path = buildPath("e2e-won.png");
    EXPECT_TRUE(result.wonScreen->savePng(path)) << path;
    EXPECT_TRUE(showsWonMessage(*result.wonScreen)) << "no \"YOU WON!\" in " << path;
}

} // namespace
