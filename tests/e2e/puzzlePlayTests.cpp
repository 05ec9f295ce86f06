// The puzzle keys and the campaign, played on the real game: undo and
// restart seen in the trace, a hint that the game prints and shows, and a
// campaign of two small levels played to its end with its saved progress.
#include "core/scratchFolder.h"
#include "driver/playDriver.h"
#include "game/hint.h"
#include "game/progress.h"
#include "world/levelFile.h"
#include "world/rules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>

namespace {

const Seconds startTimeout(120);
const Seconds frameTimeout(60);
const Seconds exitTimeout(120);
constexpr std::size_t settleFrames = 4;

std::string packPath(const std::string& name) {
    return defaultAssetDir() + "/levels/" + name;
}

LevelLayout layoutOf(const std::string& path) {
    const LevelLoad load = loadLevelFile(path);
    EXPECT_TRUE(load.level) << load.error;
    return load.level ? load.level->layout : LevelLayout{};
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The trace line once the game has drawn a few more frames and nothing moves.
std::optional<TraceLine> settledLine(const GameProcess& game) {
    return game.waitForTraceLine(game.traceLineCount() + settleFrames, frameTimeout);
}

// Pixels of the colour of a puzzle line in a band of rows at the left.
int colourPixels(const Screenshot& screen, int top, int height, const PixelTest& matches) {
    return screen.count(ScreenBox{20, top, 480, height}, matches);
}
bool isHintYellow(Rgb p) {
    return p.red >= 200 && p.green >= 150 && p.blue <= 90;
}
bool isHelpBlue(Rgb p) {
    return p.red >= 110 && p.red <= 190 && p.green >= 190 && p.blue >= 220;
}
// The hint line stands 60 pixels above the bottom, the help from 600 down.
constexpr int hintTop = 768 - 60 - 26;
constexpr int helpTop = 768 - 600 - 26;

class PuzzleLevel : public ::testing::Test {
  protected:
    void start(const std::string& level) {
        LaunchOptions launch;
        launch.arguments = {"--level", level};
        ASSERT_EQ(startFocusedGame(game, launch, startTimeout), "");
        // Wireframe frames are short, so no frame's step skips a cell.
        ASSERT_TRUE(switchToWireframe(game, frameTimeout));
    }
    void TearDown() override { EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0)); }

    GameProcess game;
};

TEST_F(PuzzleLevel, UndoAndRestartBringBackTheTraceLines) {
    start(packPath("01-first-room.level"));
    const std::optional<TraceLine> startLine = settledLine(game);
    ASSERT_TRUE(startLine);
    const Cell origin = startLine->player;

    ASSERT_TRUE(holdUntilPlayerIn(game, "a", neighbourOf(origin, -1), frameTimeout));
    ASSERT_NE(settledLine(game), startLine);
    ASSERT_TRUE(game.tapKey("z"));
    EXPECT_EQ(settledLine(game), startLine) << "one step left, then Z";

    ASSERT_TRUE(holdUntilPlayerIn(game, "a", neighbourOf(origin, -1), frameTimeout));
    ASSERT_TRUE(
        holdUntilPlayerIn(game, "w", neighbourOf(neighbourOf(origin, -1), -3), frameTimeout));
    const std::optional<TraceLine> beforeRestart = settledLine(game);
    ASSERT_TRUE(game.tapKey("r"));
    EXPECT_EQ(settledLine(game), startLine) << "two steps, then R";
    ASSERT_TRUE(game.tapKey("BackSpace"));
    EXPECT_EQ(settledLine(game), beforeRestart) << "undo right after R";
    ASSERT_TRUE(game.tapKey("z"));
    ASSERT_TRUE(game.tapKey("z"));
    EXPECT_EQ(settledLine(game), startLine) << "two undos in a row";
}

TEST_F(PuzzleLevel, TheHintIsPrintedAndShownAndLeadsAlongAShortestWay) {
    const std::string path = packPath("02-red-follows.level");
    start(path);
    Level mirror(layoutOf(path));
    for (int move = 0; move < 2; ++move) {
        const std::size_t printed = game.out().lineCount();
        ASSERT_TRUE(game.tapKey("h"));
        // The keys move the player without turning it: it still looks down
        // -z as at the start, so -z is "ahead" and +x "right".
        const std::string expected = hintText(hintFor(mirror), cameraAtStart(mirror.layout()));
        const auto hintLine =
            game.out().waitFor([](const std::string& line) { return line.rfind("Hint:", 0) == 0; },
                               printed, frameTimeout);
        ASSERT_TRUE(hintLine) << "no hint printed";
        EXPECT_EQ(game.out().line(*hintLine), expected);

        // Following the hint is a move of a shortest way from here.
        const Direction hinted = hintFor(mirror).move;
        const std::size_t before = solveLevel(mirror)->size();
        ASSERT_TRUE(movePlayerOneCell(mirror, hinted));
        EXPECT_EQ(solveLevel(mirror)->size() + 1, before);
        ASSERT_TRUE(
            holdUntilPlayerIn(game, keyForDirection(hinted), mirror.player.cell, frameTimeout));
        EXPECT_EQ(settledLine(game), traceLineOf(mirror));
    }
    ASSERT_TRUE(game.tapKey("h"));
    ASSERT_TRUE(switchToFullPicture(game, frameTimeout));
    const std::string picture = buildPath("e2e-hint.png");
    const auto helpShown = [&](bool expected) {
        const std::optional<Screenshot> screen =
            screenAfterFrames(game, settleFrames, frameTimeout);
        ASSERT_TRUE(screen);
        if (!expected) {
            screen->savePng(picture);
        }
        EXPECT_GT(colourPixels(*screen, hintTop, 30, isHintYellow), 150)
            << "no hint in " << picture;
        const int help = colourPixels(*screen, helpTop, 230, isHelpBlue);
        EXPECT_EQ(help > 600, expected) << help << " pixels of the help's colour";
    };
    helpShown(false);
    ASSERT_TRUE(game.tapKey("F1"));
    helpShown(true);
    ASSERT_TRUE(game.tapKey("F1"));
    helpShown(false);
}

// Two small pack levels as a campaign, with its progress in a scratch data
// home: the first win is saved at once, the campaign plays on to its end,
// and later runs start where the progress says.
class CampaignRun : public ::testing::Test {
  protected:
    CampaignRun() {
        for (const char* name : levelNames) {
            scratch.write("levels/" + std::string(name), readFile(packPath(name)));
        }
    }

    LaunchOptions launch() const {
        LaunchOptions options;
        options.arguments = {"--campaign", "--levels", scratch.path("levels")};
        options.environment["XDG_DATA_HOME"] = scratch.path("data");
        return options;
    }
    LevelLayout layout(std::size_t index) const {
        return layoutOf(scratch.path("levels/" + std::string(levelNames[index])));
    }
    // Starts a new run and gives its first trace line.
    std::optional<TraceLine> firstLineOfNewRun(GameProcess& game) const {
        EXPECT_EQ(startFocusedGame(game, launch(), startTimeout), "");
        return game.waitForTraceLine(0, startTimeout);
    }
    PlayResult play(GameProcess& game, std::size_t level, std::size_t firstFrame) const {
        PlayOptions options;
        options.layout = layout(level);
        options.switchToWireframe = level == 0;
        options.inWireframe = level > 0;
        options.firstFrame = firstFrame;
        options.log = [](const std::string& line) { std::cout << "[play] " << line << std::endl; };
        return playToWin(game, options);
    }

    const char* const levelNames[2] = {"02-red-follows.level", "03-blue-meets-you.level"};
    ScratchFolder scratch{"cellquestCampaign."};
    const std::string progressPath = scratch.path("data/cellquest/progress");
};

TEST_F(CampaignRun, IsPlayedToItsEndAndSavesEachWinAtOnce) {
    GameProcess game;
    EXPECT_EQ(firstLineOfNewRun(game), traceLineOf(Level(layout(0))));
    const PlayResult first = play(game, 0, 0);
    ASSERT_EQ(first.failure, "");

    // Saved when the trophy was reached, long before the won frames end.
    const std::optional<Progress> saved = parseProgress(readFile(progressPath));
    ASSERT_TRUE(saved) << "no progress file at the first won frame";
    EXPECT_TRUE(saved->at(levelNames[0]).solved);
    const std::string afterFirstWin = readFile(progressPath);

    // The second level starts at its own start after the won frames.
    const TraceLine secondStart = traceLineOf(Level(layout(1)));
    std::size_t secondFrame = *first.firstWonFrame;
    for (; secondFrame < *first.firstWonFrame + 2000; ++secondFrame) {
        const std::optional<TraceLine> line = game.waitForTraceLine(secondFrame, frameTimeout);
        ASSERT_TRUE(line);
        if (*line == secondStart) {
            break;
        }
    }
    EXPECT_GT(secondFrame, *first.firstWonFrame + 300) << "the won frames come first";
    ASSERT_EQ(play(game, 1, secondFrame).failure, "");
    EXPECT_EQ(game.waitForExit(exitTimeout), exitedWith(0));
    const std::vector<std::string> output = game.out().lines();
    EXPECT_EQ(std::count(output.begin(), output.end(), "YOU WON!"), 2);
    EXPECT_EQ(output.back(), "YOU WON!");
    const std::optional<Progress> all = parseProgress(readFile(progressPath));
    ASSERT_TRUE(all);
    EXPECT_EQ(all->size(), 2u);

    // A new run with all solved starts at the first level again; with only
    // the first solved, at the second.
    GameProcess allSolved;
    EXPECT_EQ(firstLineOfNewRun(allSolved), traceLineOf(Level(layout(0))));
    EXPECT_EQ(allSolved.quitWithEscape(exitTimeout), exitedWith(0));
    scratch.write("data/cellquest/progress", afterFirstWin);
    GameProcess resumed;
    EXPECT_EQ(firstLineOfNewRun(resumed), secondStart);
    EXPECT_EQ(resumed.quitWithEscape(exitTimeout), exitedWith(0));
}

TEST_F(CampaignRun, ACorruptProgressFileIsSetAsideAndPlayStartsAtTheFirstLevel) {
    scratch.write("data/cellquest/progress", "cellquest progress 1\nsolved 7 02-side-st");
    GameProcess game;
    EXPECT_EQ(firstLineOfNewRun(game), traceLineOf(Level(layout(0))));
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
    const std::vector<std::string> errors = game.err().lines();
    ASSERT_EQ(errors.size(), 1u) << game.err().text();
    EXPECT_NE(errors[0].find(progressPath), std::string::npos) << errors[0];
    EXPECT_EQ(readFile(progressPath + ".corrupt"), "cellquest progress 1\nsolved 7 02-side-st");
}

TEST_F(CampaignRun, AMalformedLevelOrNoLevelsStopItBeforeAnyWindow) {
    const ScratchFolder empty("cellquestNoLevels.");
    for (const std::string& folder : {empty.folder(), empty.path("missing")}) {
        LaunchOptions launch;
        launch.arguments = {"--levels", folder};
        GameProcess game;
        ASSERT_TRUE(game.start(launch)) << game.error();
        EXPECT_EQ(game.waitForExit(Seconds(30)), exitedWith(2));
        EXPECT_EQ(game.err().text().rfind(folder + ": ", 0), 0u) << game.err().text();
    }

    const std::string broken = scratch.write("levels/04-broken.level", "title: Broken\nsize: 3\n");
    GameProcess game;
    ASSERT_TRUE(game.start(launch())) << game.error();
    EXPECT_EQ(game.waitForExit(Seconds(30)), exitedWith(2));
    EXPECT_EQ(game.err().text().rfind(broken + ":2: ", 0), 0u) << game.err().text();
    EXPECT_EQ(game.traceLineCount(), 0u);
}

} // namespace
