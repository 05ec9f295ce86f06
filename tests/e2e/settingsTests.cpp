// The settings file on the real game: a file that is not TOML costs one line
// and is kept aside, and the level plays on with the defaults.
#include "core/scratchFolder.h"
#include "core/userFiles.h"
#include "driver/playDriver.h"

#include <gtest/gtest.h>

namespace {

const Seconds startTimeout(120);
const Seconds frameTimeout(60);
const Seconds exitTimeout(120);

TEST(SettingsInPlay, AFileThatIsNotTomlIsOneLineAndKeptAsideAndTheLevelPlays) {
    const ScratchFolder config("cellquestConfig.");
    const std::string broken = "[mouse]\nsensitivity = = 2\n";
    const std::string path = config.write("cellquest/settings.toml", broken);
    LaunchOptions launch;
    launch.arguments = {"--level", "levels/01-first-room.level"};
    launch.environment["XDG_CONFIG_HOME"] = config.folder();
    GameProcess game;
    ASSERT_EQ(startFocusedGame(game, launch, startTimeout), "");
    // Wireframe frames are short, so no frame's step skips a cell.
    ASSERT_TRUE(switchToWireframe(game, frameTimeout));
    const std::optional<TraceLine> start = game.waitForNextTraceLine(frameTimeout);
    ASSERT_TRUE(start);
    EXPECT_TRUE(holdUntilPlayerIn(game, "a", neighbourOf(start->player, -1), frameTimeout))
        << "the level does not play";
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));

    const std::vector<std::string> errors = game.err().lines();
    ASSERT_EQ(errors.size(), 1u) << game.err().text();
    EXPECT_NE(errors[0].find(path), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find("line 2, column 15"), std::string::npos) << errors[0];
    const UserFileRead aside = readUserFile(path + ".corrupt");
    EXPECT_EQ(aside.status, UserFileRead::Status::read);
    EXPECT_EQ(aside.text, broken);
    EXPECT_EQ(readUserFile(path).status, UserFileRead::Status::missing) << "no new file is made";
}

} // namespace
