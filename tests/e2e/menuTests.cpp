// The menus of a run with --menu, played with the keyboard on the real game:
// the title screen, the level select starting a level, the pause menu's
// settings written to the file, and the way back to the title and out.
#include "core/scratchFolder.h"
#include "driver/playDriver.h"
#include "world/levelFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>

namespace {

const Seconds startTimeout(120);
const Seconds frameTimeout(60);
const Seconds exitTimeout(60);
constexpr std::size_t settleFrames = 4;

TraceLine startLineOf(const std::string& name) {
    const LevelLoad load = loadLevelFile(defaultAssetDir() + "/levels/" + name);
    EXPECT_TRUE(load.level) << load.error;
    return traceLineOf(Level(load.level ? load.level->layout : LevelLayout{}));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class MenuRun : public ::testing::Test {
  protected:
    void SetUp() override { start(defaultAssetDir()); }
    void start(const std::string& assets) {
        LaunchOptions options;
        options.workingDir = assets;
        options.arguments = {"--menu", "--windowed", "--levels", defaultAssetDir() + "/levels"};
        options.environment["XDG_DATA_HOME"] = scratch.path("data");
        options.environment["XDG_CONFIG_HOME"] = scratch.path("config");
        ASSERT_EQ(startFocusedGame(game, options, startTimeout), "");
    }
    void TearDown() override {
        if (HasFailure()) {
            std::cout << "game's standard error:\n" << game.err().text() << std::endl;
        }
        if (game.running()) {
            game.kill();
        }
    }

    // Each key is a press and a release, with frames for the menu to act.
    void keys(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            ASSERT_TRUE(game.tapKey(name)) << name;
            ASSERT_TRUE(settled()) << "no frames after " << name;
        }
    }
    std::optional<TraceLine> settled() {
        return game.waitForTraceLine(game.traceLineCount() + settleFrames, frameTimeout);
    }
    // Holding a key long enough to move the player, if anything moves.
    std::optional<TraceLine> afterHolding(const char* key) {
        game.holdKeyForFrames(key, 6, frameTimeout);
        return settled();
    }

    ScratchFolder scratch{"cellquestMenus."};
    GameProcess game;
};

TEST_F(MenuRun, TheTitleLeadsToTheLevelsAndAnyLevelStarts) {
    const std::optional<TraceLine> title = settled();
    EXPECT_EQ(title, startLineOf("01-first-room.level")) << "the title shows the next level";
    EXPECT_EQ(afterHolding("a"), title) << "nothing moves behind the title";

    keys({"Down", "Return"}); // Levels
    keys({"Down", "Return"}); // the second level
    const std::optional<TraceLine> start = settled();
    EXPECT_EQ(start, startLineOf("02-red-follows.level"));
    ASSERT_TRUE(start);
    // Forward: two open rows ahead, so even a slow frame's move stays inside.
    EXPECT_NE(afterHolding("w"), start) << "the level plays";

    keys({"Escape"}); // pause: Resume, Restart, Overview, Levels, Settings, Title, Quit
    const std::optional<TraceLine> paused = settled();
    EXPECT_EQ(afterHolding("d"), paused) << "nothing moves while paused";
    keys({"Down", "Down", "Down", "Down", "Down", "Down"});
    ASSERT_TRUE(game.tapKey("Return")); // Quit
    EXPECT_EQ(game.waitForExit(exitTimeout), exitedWith(0));
}

TEST_F(MenuRun, PauseSettingsAreSavedThenResumeTitleAndQuit) {
    keys({"Return"}); // Continue: the first level
    const std::optional<TraceLine> start = settled();
    EXPECT_EQ(start, startLineOf("01-first-room.level"));

    keys({"Escape", "Down", "Down", "Down", "Down", "Return"}); // pause, Settings
    keys({"Down", "Return"});                                   // "Invert mouse Y" on
    const std::string settings = readFile(scratch.path("config/cellquest/settings.toml"));
    EXPECT_NE(settings.find("invert_y = true"), std::string::npos) << settings;

    keys({"Escape", "Return"}); // back to the pause menu, Resume
    ASSERT_TRUE(start);
    EXPECT_NE(afterHolding("a"), start) << "play goes on after Resume";

    keys({"Escape", "Down", "Down", "Down", "Down", "Down", "Return"}); // Title
    EXPECT_EQ(settled(), start) << "the title shows the next level again";
    keys(
        {"Down", "Down", "Down", "Down", "Down"}); // past Levels, My levels, Make a level, Settings
    ASSERT_TRUE(game.tapKey("Return"));            // Quit
    EXPECT_EQ(game.waitForExit(exitTimeout), exitedWith(0));
}

// A level in the player's own folder is offered under "My levels" and plays.
TEST_F(MenuRun, MyLevelsPlayTheLevelsOfThePlayersFolder) {
    scratch.write("data/cellquest/levels/mine.level",
                  readFile(defaultAssetDir() + "/levels/03-blue-meets-you.level"));
    keys({"Down", "Down", "Return"}); // My levels
    keys({"Return"});                 // the first of them
    EXPECT_EQ(settled(), startLineOf("03-blue-meets-you.level"));
}

// A font the menus cannot read costs one line, and ImGui's own font shows
// them: the title still leads to play and out.
class MenuFontRun : public MenuRun {
  protected:
    void SetUp() override {
        ASSERT_TRUE(assets.valid());
        ASSERT_TRUE(assets.write("fonts/arial.ttf", "not a font at all"));
        start(assets.path());
    }
    AssetCopy assets;
};

TEST_F(MenuFontRun, ABrokenFontFallsBackToTheBuiltInOne) {
    keys({"Return"}); // Continue
    EXPECT_NE(afterHolding("a"), startLineOf("01-first-room.level")) << "the level plays";
    keys({"Escape", "Down", "Down", "Down", "Down", "Down", "Down"});
    ASSERT_TRUE(game.tapKey("Return")); // Quit
    EXPECT_EQ(game.waitForExit(exitTimeout), exitedWith(0));
    EXPECT_NE(game.err().text().find("menus: cannot read the font"), std::string::npos)
        << game.err().text();
}

} // namespace
