// The level editor on the real game (--edit): a level made with key presses
// is proven and saved, and loads with the solver's par; the level's text goes
// to the X clipboard and another level's text comes back from it.
#include "core/scratchFolder.h"
#include "driver/gameLauncher.h"
#include "game/editor.h"
#include "world/levelFile.h"
#include "world/solver.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

const Seconds startTimeout(120);
const Seconds lineTimeout(60);
const Seconds exitTimeout(60);

bool startsWith(const std::string& line, const std::string& start) {
    return line.compare(0, start.size(), start) == 0;
}

class EditorRun : public ::testing::Test {
  protected:
    void SetUp() override {
        LaunchOptions options;
        options.arguments = {"--windowed", "--edit", path};
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

    // Taps the keys in order, then waits for a line of standard output that
    // starts with `start` after those already seen; the whole line.
    std::string tapThenLine(std::initializer_list<const char*> keys, const std::string& start) {
        const std::size_t seen = game.out().lineCount();
        for (const char* key : keys) {
            EXPECT_TRUE(game.tapKey(key)) << key;
            game.waitForNextTraceLine(lineTimeout);
        }
        const std::optional<std::size_t> found = game.out().waitFor(
            [&start](const std::string& line) { return startsWith(line, start); }, seen,
            lineTimeout);
        return found ? *game.out().line(*found) : "no line starting " + start;
    }

    // Puts a file's text on the X clipboard; xclip stays in the background
    // to serve it until the game takes the clipboard.
    void putOnClipboard(const std::string& file) {
        const CommandResult put = runCommand(
            {"sh", "-c", "xclip -selection clipboard '" + file + "' >/dev/null 2>&1"}, Seconds(20));
        ASSERT_EQ(put.status, exitedWith(0));
    }

    ScratchFolder scratch{"cellquestEditor."};
    const std::string path = scratch.path("made.level");
    GameProcess game;
};

TEST_F(EditorRun, ALevelMadeWithKeysIsProvenSavedAndLoadsWithTheSolversPar) {
    // From the start at 1 0 3: the start one row back, the trophy in the far
    // corner, a second red block in front of it.
    EXPECT_EQ(tapThenLine({"x"}, "The start"), "The start stays until it is placed elsewhere")
        << "the cursor starts on the start: X there is refused";
    tapThenLine({"Up", "s", "Right", "Right", "Right", "Up", "Up", "t", "Down", "r", "F5"},
                "Proof: par ");
    EXPECT_EQ(tapThenLine({"ctrl+s"}, "Saved"), "Saved " + path);

    LevelLayout expected = newEditorLevel().layout;
    expected.playerStart = Cell{1, 0, 2};
    expected.trophyCell = Cell{4, 0, 0};
    expected.redStarts = {Cell{1, 0, 1}, Cell{4, 0, 1}};
    const LevelLoad load = loadLevelFile(path);
    ASSERT_TRUE(load.level) << load.error;
    EXPECT_EQ(load.level->layout, expected);
    const std::optional<std::vector<Direction>> way = solveLevel(Level(expected));
    ASSERT_TRUE(way);
    EXPECT_EQ(load.level->par, int(way->size()));

    ASSERT_TRUE(game.tapKey("Escape")) << "saved: Escape leaves at once";
    EXPECT_EQ(game.waitForExit(exitTimeout), exitedWith(0));
}

TEST_F(EditorRun, TheLevelIsCopiedAndAnotherPastedFromTheClipboardABadOneIsNamed) {
    tapThenLine({"ctrl+c"}, "Level copied");
    const CommandResult copied =
        runCommand({"xclip", "-o", "-selection", "clipboard"}, Seconds(20));
    EXPECT_EQ(copied.output, formatLevelText(newEditorLevel()));

    const std::string other = defaultAssetDir() + "/levels/05-blocks-in-a-line.level";
    putOnClipboard(other);
    EXPECT_EQ(tapThenLine({"ctrl+v"}, "Pasted"), "Pasted \"Blocks in a line\"");
    tapThenLine({"ctrl+s"}, "Saved");
    LevelFile pasted = *loadLevelFile(other).level;
    pasted.par.reset(); // not proven here
    EXPECT_EQ(loadLevelFile(path).level, pasted);

    putOnClipboard(scratch.write("bad.txt", "title: Bad\nsize: 3 3\n"));
    EXPECT_EQ(tapThenLine({"ctrl+v"}, "<clipboard>"),
              "<clipboard>:2: size needs three whole numbers from 2 to 10");
    EXPECT_EQ(loadLevelFile(path).level, pasted) << "the saved level stays";
}

} // namespace
