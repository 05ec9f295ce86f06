// The player's own keys on the real game: a settings file binds forward to
// I, and a bad gamepad mappings file beside it costs one line.
#include "core/scratchFolder.h"
#include "driver/playDriver.h"

#include <gtest/gtest.h>

namespace {

const Seconds startTimeout(120);
const Seconds frameTimeout(60);
const Seconds exitTimeout(120);

TEST(KeyBindingsInPlay, TheBoundKeyMovesAndTheOldOneNoLonger) {
    const ScratchFolder config("cellquestKeys.");
    config.write("cellquest/settings.toml", "[keys]\nforward = \"I\"\n");
    const std::string mappings =
        config.write("cellquest/gamecontrollerdb.txt", "not a GUID,Pad,a:b0,\n");
    LaunchOptions launch;
    launch.arguments = {"--level", "levels/01-first-room.level"};
    launch.environment["XDG_CONFIG_HOME"] = config.folder();
    GameProcess game;
    ASSERT_EQ(startFocusedGame(game, launch, startTimeout), "");
    // Wireframe frames are short, so no frame's step skips a cell.
    ASSERT_TRUE(switchToWireframe(game, frameTimeout));
    const std::optional<TraceLine> start = game.waitForNextTraceLine(frameTimeout);
    ASSERT_TRUE(start);
    const std::size_t before = game.traceLineCount();
    const Cell ahead = neighbourOf(start->player, -3); // the start view looks along -z
    ASSERT_TRUE(holdUntilPlayerIn(game, "i", ahead, frameTimeout)) << "I moves forward";
    const std::size_t framesPerCell = game.traceLineCount() - before;

    // Three times as long as I took to cross a cell: W would have crossed.
    ASSERT_TRUE(game.holdKeyForFrames("w", 3 * framesPerCell + 3, frameTimeout));
    const std::optional<TraceLine> after = game.waitForNextTraceLine(frameTimeout);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->player, ahead) << "W no longer moves";
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));

    const std::vector<std::string> errors = game.err().lines();
    ASSERT_EQ(errors.size(), 1u) << game.err().text();
    EXPECT_NE(errors[0].find(mappings + " line 1 does not start with a GUID"), std::string::npos)
        << errors[0];
}

} // namespace
