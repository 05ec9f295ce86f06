// The pieces the end-to-end tests stand on, checked without a game: reading
// trace lines, following the game's world from them, and running commands.
#include "driver/playDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {

const TraceLine startLine{{5, 7, 9}, {0, 7, 3}, {1, 3, 4}};

TEST(TraceLines, parseTheGameFormatAndRejectEverythingElse) {
    const auto parsed = parseTraceLine("579\t\tredblock: 073\t\tBlueblock: 134");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, startLine);
    EXPECT_EQ(formatTraceLine(*parsed), "579\t\tredblock: 073\t\tBlueblock: 134");
    for (const char* bad :
         {"", "579\t\tredblock: 073\t\tBlueblock: 13", "579\t\tredblock: 073\t\tBlueblock: 1345",
          "579 redblock: 073 Blueblock: 134", "5a9\t\tredblock: 073\t\tBlueblock: 134",
          "579\t\tRedblock: 073\t\tBlueblock: 134", "YOU WON!"}) {
        EXPECT_FALSE(parseTraceLine(bad)) << bad;
    }
}

TEST(LineLogs, splitChunksIntoLinesAndKeepTheUnfinishedOne) {
    LineLog log;
    log.append("first\nsec", 9);
    log.append("ond\n\nlast", 9);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"first", "second", ""}));
    EXPECT_EQ(log.text(), "first\nsecond\n\nlast");
    ASSERT_TRUE(log.arrivalTime(2));
    EXPECT_FALSE(log.arrivalTime(3));
}

TEST(LineLogs, waitSeesLinesFromAnotherThreadAndStopsAtTheEnd) {
    LineLog log;
    std::thread writer([&log] {
        log.append("a\n", 2);
        log.append("match\n", 6);
        log.close();
    });
    const auto found =
        log.waitFor([](const std::string& line) { return line == "match"; }, 0, Seconds(30));
    writer.join();
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, 1u);
    // A closed log ends the wait at once instead of at the timeout.
    EXPECT_FALSE(
        log.waitFor([](const std::string& line) { return line == "never"; }, 0, Seconds(3600)));
}

TEST(Commands, reportExitStatusOutputAndKillOnTimeout) {
    const CommandResult echoed = runCommand({"sh", "-c", "echo hello; exit 3"}, Seconds(30));
    EXPECT_EQ(echoed.status, exitedWith(3));
    EXPECT_EQ(echoed.output, "hello\n");
    const CommandResult hung = runCommand({"sleep", "60"}, Seconds(0.5));
    EXPECT_TRUE(hung.status.timedOut);
    EXPECT_EQ(hung.status.signal, 9);
    EXPECT_NE(runCommand({"/nonexistent/program"}, Seconds(30)).status, exitedWith(0));
}

TEST(GameProcesses, captureBothStreamsSeparatelyAndTheExitStatus) {
    GameProcess process;
    LaunchOptions options;
    options.executable = "sh";
    options.arguments = {"-c", "echo out; echo err >&2; echo $CQ_PROBE; exit 4"};
    options.environment["CQ_PROBE"] = "set";
    ASSERT_TRUE(process.start(options)) << process.error();
    EXPECT_EQ(process.waitForExit(Seconds(30)), exitedWith(4));
    EXPECT_EQ(process.out().lines(), (std::vector<std::string>{"out", "set"}));
    EXPECT_EQ(process.err().lines(), (std::vector<std::string>{"err"}));
}

TEST(GameProcesses, processThatOutlivesItsTimeoutIsKilled) {
    GameProcess process;
    LaunchOptions options;
    options.executable = "sleep";
    options.arguments = {"60"};
    ASSERT_TRUE(process.start(options));
    const ExitStatus status = process.waitForExit(Seconds(0.5));
    EXPECT_TRUE(status.timedOut);
    EXPECT_FALSE(process.running());
}

TEST(AssetCopies, holdEveryAssetAndVanishAfterwards) {
    std::string root;
    {
        AssetCopy assets;
        ASSERT_TRUE(assets.valid());
        root = assets.path();
        for (const std::string& shader : shaderFiles()) {
            EXPECT_FALSE(assets.read(shader).empty()) << shader;
        }
        EXPECT_TRUE(assets.remove("tilewall.jpg"));
        EXPECT_FALSE(assets.remove("tilewall.jpg"));
        EXPECT_TRUE(assets.write("shaders/blur.frag", "x"));
        EXPECT_EQ(assets.read("shaders/blur.frag"), "x");
    }
    EXPECT_FALSE(std::filesystem::exists(root));
}

// The mirror must follow the game's rules exactly, or the play-through would
// blame the game for the driver's mistakes.
TEST(WorldMirrors, followTheFirstStepsOfTheLevel) {
    WorldMirror mirror;
    EXPECT_EQ(mirror.follow(startLine), "");
    // Left into x = 4: red blocks with the player (the first stays at x = 0),
    // blue blocks against it.
    EXPECT_EQ(mirror.follow({{4, 7, 9}, {0, 7, 3}, {2, 3, 4}}), "");
    EXPECT_EQ(mirror.state().red[4], (Cell{4, 7, 7}));
    EXPECT_EQ(mirror.state().blue[4], (Cell{9, 3, 4}));
    // Standing still moves nothing.
    EXPECT_EQ(mirror.follow({{4, 7, 9}, {0, 7, 3}, {2, 3, 4}}), "");
    // Forward into z = 8.
    EXPECT_EQ(mirror.follow({{4, 7, 8}, {0, 7, 2}, {2, 3, 5}}), "");
}

TEST(WorldMirrors, aJumpOverSeveralCellsStepsTheBlocksOnce) {
    WorldMirror mirror;
    EXPECT_EQ(mirror.follow({{2, 7, 9}, {0, 7, 3}, {2, 3, 4}}), "");
    // Two axes in one frame: x is compared first.
    WorldMirror again;
    EXPECT_EQ(again.follow({{4, 7, 8}, {0, 7, 3}, {2, 3, 4}}), "");
}

TEST(WorldMirrors, reportBlocksThatDoNotMoveByTheRules) {
    WorldMirror mirror;
    EXPECT_NE(mirror.follow({{5, 7, 9}, {0, 7, 2}, {1, 3, 4}}), "");
    WorldMirror stuck;
    EXPECT_NE(stuck.follow({{4, 7, 9}, {0, 7, 3}, {1, 3, 4}}), "");
}

TEST(WorldMirrors, reportThePlayerEnteringAnOccupiedCell) {
    WorldMirror mirror;
    // (0, 7, 3) holds the first red block.
    EXPECT_NE(mirror.follow({{0, 7, 3}, {0, 7, 3}, {1, 3, 4}}), "");
}

TEST(WorldMirrors, startFromTheStartLayoutWhateverCameBefore) {
    {
        WorldMirror moved;
        moved.follow({{4, 7, 9}, {0, 7, 3}, {2, 3, 4}});
    }
    WorldMirror fresh;
    EXPECT_EQ(fresh.state(), levelStartState(builtInLayout()));
    EXPECT_EQ(fresh.expectedTrace(), startLine);
}

TEST(Keys, everyDirectionHasItsMovementKey) {
    EXPECT_EQ(keyForDirection(1), "d");
    EXPECT_EQ(keyForDirection(-1), "a");
    EXPECT_EQ(keyForDirection(2), "q");
    EXPECT_EQ(keyForDirection(-2), "e");
    EXPECT_EQ(keyForDirection(3), "s");
    EXPECT_EQ(keyForDirection(-3), "w");
    EXPECT_EQ(keyForDirection(0), "");
}

} // namespace
