// Levels from files, played by the real game: two pack levels after the
// first, played to "YOU WON!" by the driver planning on the same file, and a
// broken file refused before any window opens.
#include "core/scratchFolder.h"
#include "driver/playDriver.h"
#include "world/levelFile.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

const Seconds startTimeout(120);
const Seconds exitTimeout(120);

std::string packLevel(std::size_t index) {
    const std::vector<std::string> files = levelFilesIn(defaultAssetDir() + "/levels");
    return index < files.size() ? files[index] : "";
}

class LevelPlay : public ::testing::TestWithParam<std::size_t> {};

TEST_P(LevelPlay, playsThePackLevelToTheWin) {
    const std::string path = packLevel(GetParam());
    ASSERT_FALSE(path.empty()) << "no pack level number " << GetParam() + 1;
    const LevelLoad load = loadLevelFile(path);
    ASSERT_TRUE(load.level) << load.error;

    LaunchOptions launch;
    launch.arguments = {"--level", path};
    GameProcess game;
    ASSERT_EQ(startFocusedGame(game, launch, startTimeout), "");
    const std::optional<TraceLine> first = game.waitForTraceLine(0, startTimeout);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, traceLineOf(Level(load.level->layout))) << "the level's own start";

    PlayOptions options;
    options.layout = load.level->layout;
    options.switchToWireframe = true;
    options.log = [](const std::string& line) { std::cout << "[play] " << line << std::endl; };
    const PlayResult result = playToWin(game, options);
    ASSERT_EQ(result.failure, "");
    EXPECT_GE(result.moves, std::size_t(load.level->par.value_or(0)));
    EXPECT_EQ(game.waitForExit(exitTimeout), exitedWith(0));
    const std::vector<std::string> output = game.out().lines();
    ASSERT_FALSE(output.empty());
    EXPECT_EQ(output.back(), "YOU WON!");
    EXPECT_EQ(game.traceLines().back().player, load.level->layout.trophyCell);
}

INSTANTIATE_TEST_SUITE_P(SecondAndThirdLevels, LevelPlay, ::testing::Values(1, 2));

TEST(LevelFlag, aBrokenFileIsRefusedWithItsLineBeforeAnyWindow) {
    const ScratchFolder scratch;
    const std::string path = scratch.write("broken.level", "title: Broken\nsize: 3 3\n");
    LaunchOptions launch;
    launch.arguments = {"--level", path};
    GameProcess game;
    ASSERT_TRUE(game.start(launch)) << game.error();
    EXPECT_EQ(game.waitForExit(Seconds(30)), exitedWith(2));
    const std::vector<std::string> errors = game.err().lines();
    ASSERT_EQ(errors.size(), 1u) << game.err().text();
    EXPECT_EQ(errors[0].rfind(path + ":2: ", 0), 0u) << errors[0];
    EXPECT_EQ(game.traceLineCount(), 0u);
    EXPECT_EQ(game.out().text(), "") << "no shader was read";
}

// "--level -" reads the level from standard input: a good level is played
// from its start, a broken one is refused with "<stdin>:LINE:".
TEST(LevelFlag, aLevelFromStandardInputPlaysOrIsRefusedWithItsLine) {
    const ScratchFolder scratch;
    const std::string good = packLevel(1);
    ASSERT_FALSE(good.empty());
    const LevelLoad load = loadLevelFile(good);
    ASSERT_TRUE(load.level) << load.error;
    const std::string broken = scratch.write("broken.level", "title: Broken\nsize: 3 3\n");

    LaunchOptions launch;
    launch.arguments = {"--level", "-"};
    launch.standardInputFile = good;
    GameProcess game;
    ASSERT_EQ(startFocusedGame(game, launch, startTimeout), "");
    const std::optional<TraceLine> first = game.waitForTraceLine(0, startTimeout);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, traceLineOf(Level(load.level->layout)));
    ASSERT_TRUE(game.tapKey("Escape"));
    EXPECT_EQ(game.waitForExit(exitTimeout), exitedWith(0));

    launch.standardInputFile = broken;
    GameProcess refused;
    ASSERT_TRUE(refused.start(launch)) << refused.error();
    EXPECT_EQ(refused.waitForExit(Seconds(30)), exitedWith(2));
    const std::vector<std::string> errors = refused.err().lines();
    ASSERT_EQ(errors.size(), 1u) << refused.err().text();
    EXPECT_EQ(errors[0].rfind("<stdin>:2: ", 0), 0u) << errors[0];
}

// The solver tool on the built-in room, a pack level, a level with no way
// and a broken file: its exit status and its first line.
TEST(SolveTool, reportsEachOutcomeWithItsStatus) {
    const ScratchFolder scratch;
    const std::string sealed = scratch.write("sealed.level", "title: Sealed\nsize: 3 2 2\n"
                                                             "layer 0\n@#T\nR#B\n"
                                                             "layer 1\n.#.\n.#.\n");
    const std::string broken = scratch.write("broken.level", "title: Broken\n");
    const std::string solve = std::string(CELLQUEST_BINARY_DIR) + "/solve";
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string firstLine;
    } cases[] = {
        {{}, 0, "winnable in 17 moves: "},
        {{packLevel(1)}, 0, "winnable in 4 moves: "},
        {{sealed}, 1, "no way to the trophy"},
        {{packLevel(8), "--max-states", "10"}, 3, "undecided"},
        {{broken}, 2, ""},
        {{"--no-such-flag"}, 2, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv{solve};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const CommandResult result = runCommand(argv, Seconds(120));
        EXPECT_EQ(result.status, exitedWith(c.status)) << argv.back();
        EXPECT_EQ(result.output.substr(0, c.firstLine.size()), c.firstLine) << result.output;
    }
}

} // namespace
