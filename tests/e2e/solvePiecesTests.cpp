// solve --pieces on small rooms: the level's own outcome first, then one line
// for each piece that does not matter, and the exit status that sums it up.
#include "core/scratchFolder.h"
#include "driver/gameLauncher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every piece matters: the red block stands over the trophy, the player
// over a crate, and the way takes eight moves for a straight distance of two.
const std::string allMatter = "title: t\nsize: 3 2 2\n"
                              "layer 0\n.T.\n.#.\nlayer 1\n#R.\nB@.\n";
// The only red block: a crate in its cell leaves the way at six moves
// (taking it out would open a way of four, but a level keeps its colours).
const std::string idleRed = "title: t\nsize: 3 2 2\n"
                            "layer 0\n@#T\n..#\nlayer 1\nR..\n#B.\n";
const std::string sealed = "title: t\nsize: 3 2 2\nlayer 0\n@#T\nR#B\nlayer 1\n.#.\n.#.\n";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

} // namespace

TEST(SolvePieces, NamesEachPieceThatDoesNotMatterAndSumsUpInItsStatus) {
    const ScratchFolder scratch;
    const std::string solve = std::string(CELLQUEST_BINARY_DIR) + "/solve";
    const struct {
        std::string text;
        std::vector<std::string> flags;
        int status;
        // After the outcome line; the outcome's own start is checked alone.
        std::string outcome;
        std::vector<std::string> pieceLines;
    } cases[] = {
        {allMatter, {}, 0, "winnable in 8 moves: ", {}},
        {idleRed, {}, 5, "winnable in 6 moves: ", {"0 1 0 red: does not matter"}},
        // The level's own search fits in 15 states; the room without the
        // crate under the player takes 22 to find its shorter way.
        {allMatter, {"--max-states", "15"}, 3, "winnable in 8 moves: ", {"1 0 1 crate: undecided"}},
        {allMatter, {"--max-states", "5"}, 3, "undecided", {}},
        {"par: 7\n" + allMatter, {}, 4, "winnable in 8 moves: ", {}},
        {sealed, {}, 1, "no way to the trophy", {}},
        {"title: t\nsize: 3 2\n", {}, 2, "", {}},
    };
    int number = 0;
    for (const auto& c : cases) {
        const std::string file = scratch.write(std::to_string(++number) + ".level", c.text);
        std::vector<std::string> argv{solve, file, "--pieces"};
        argv.insert(argv.end(), c.flags.begin(), c.flags.end());
        const CommandResult result = runCommand(argv, Seconds(60));
        SCOPED_TRACE("case " + std::to_string(number) + "\n" + result.output);
        EXPECT_EQ(result.status, exitedWith(c.status));
        std::vector<std::string> lines = linesOf(result.output);
        if (c.status == 2) {
            EXPECT_TRUE(lines.empty());
            continue;
        }
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].substr(0, c.outcome.size()), c.outcome);
        lines.erase(lines.begin());
        EXPECT_EQ(lines, c.pieceLines);
    }
}
