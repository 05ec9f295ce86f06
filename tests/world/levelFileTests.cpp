// Level files: what the loader refuses and how it says so, the way a level
// survives being written and read back, and the pack's first file being the
// game's own room.
#include "core/scratchFolder.h"
#include "world/level.h"
#include "world/levelFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

const std::vector<std::string> smallRoom = {
    "title: Test room", "size: 3 2 2", "", "layer 0", "@R.", "...", "", "layer 1", ".B#", "..T",
};

// The small room with its 1-based line replaced; "" keeps the numbering and
// leaves a blank line, which the loader skips.
std::string smallRoomWith(std::size_t line, const std::string& replacement) {
    std::string text;
    for (std::size_t i = 0; i < smallRoom.size(); ++i) {
        text += (i + 1 == line ? replacement : smallRoom[i]) + "\n";
    }
    return text;
}

std::string replacedAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

} // namespace

TEST(LevelFileTest, RefusesEachBadFileWithOneExactLine) {
    enum Situation { written, missing, folder };
    const std::string twentyRed = "size: 10 2 2\n\nlayer 0\n@.........\nRRRRRRRRRR\n\nlayer 1\n"
                                  "RRRRRRRRRR\nB........T\n";
    const struct {
        Situation situation;
        std::string text;
        std::string expected; // FILE stands for the path
    } cases[] = {
        {missing, "", "FILE: no such file"},
        {folder, "", "FILE: not a regular file"},
        {written, "", "FILE: the file is empty"},
        {written, "; only a comment\n\n  \n", "FILE: the file is empty"},
        {written, smallRoomWith(3, ";" + std::string(levelFileByteLimit, 'x')),
         "FILE: larger than 64 KiB"},
        {written, smallRoomWith(2, "size: 3\0 2 2"s), "FILE:2: not text: byte 0x00 at column 8"},
        {written, smallRoomWith(1, "title: Caf\xC3\xA9"),
         "FILE:1: not text: byte 0xC3 at column 11"},
        {written, smallRoomWith(6, "..\x1B"), "FILE:6: not text: byte 0x1B at column 3"},
        {written, smallRoomWith(1, ""), "FILE: no title"},
        {written, smallRoomWith(1, "title:  "),
         "FILE:1: the title needs 1 to 60 printable characters"},
        {written, smallRoomWith(1, "title: " + std::string(61, 'a')),
         "FILE:1: the title needs 1 to 60 printable characters"},
        {written, smallRoomWith(1, "title: a\tb"),
         "FILE:1: the title needs 1 to 60 printable characters"},
        {written, smallRoomWith(3, "author:"),
         "FILE:3: the author needs 1 to 60 printable characters"},
        {written, smallRoomWith(3, "colour: red"), "FILE:3: unknown key \"colour\""},
        {written, smallRoomWith(3, "title: Again"),
         "FILE:3: \"title\" given twice; the first is on line 1"},
        {written, smallRoomWith(3, "Just a room"),
         "FILE:3: expected \"key: value\" or \"layer 0\""},
        {written, smallRoomWith(2, "size: 3 2"),
         "FILE:2: size needs three whole numbers from 2 to 10"},
        {written, smallRoomWith(2, "size: 3 2 11"),
         "FILE:2: size needs three whole numbers from 2 to 10"},
        {written, smallRoomWith(2, "size: 1 2 2"),
         "FILE:2: size needs three whole numbers from 2 to 10"},
        {written, smallRoomWith(2, "size: 3 2 2x"),
         "FILE:2: size needs three whole numbers from 2 to 10"},
        {written, smallRoomWith(3, "par: 0"), "FILE:3: par needs a whole number from 1 to 9999"},
        {written, smallRoomWith(3, "par: -4"), "FILE:3: par needs a whole number from 1 to 9999"},
        {written, smallRoomWith(2, ""), "FILE:4: the size must come before the first layer"},
        {written, "title: No layers\n", "FILE: no size"},
        {written, smallRoomWith(4, "layer 1"), "FILE:4: expected \"layer 0\""},
        {written, smallRoomWith(8, "layer one"), "FILE:8: expected \"layer 1\""},
        {written, smallRoomWith(10, "..T\nlayer 2"), "FILE:11: more layers than the 2 of the size"},
        {written, smallRoomWith(7, "par: 3"),
         "FILE:7: \"par\" after the first layer; the header comes first"},
        {written, smallRoomWith(5, "@R"), "FILE:5: row 0 of layer 0 has 2 cells, expected 3"},
        {written, smallRoomWith(5, "@R.."), "FILE:5: row 0 of layer 0 has 4 cells, expected 3"},
        {written, smallRoomWith(9, ".Bx"),
         "FILE:9: row 0 of layer 1: 'x' at x = 2 is not one of . # R B @ T"},
        {written, smallRoomWith(6, ".\t."),
         "FILE:6: row 1 of layer 0: byte 0x09 at x = 1 is not one of . # R B @ T"},
        {written, smallRoomWith(7, "..."), "FILE:7: layer 0 has more than 2 rows"},
        {written, smallRoomWith(6, ""), "FILE:8: layer 0 ends after 1 row, expected 2"},
        {written, smallRoomWith(10, ""), "FILE: the file ends after 1 row of layer 1, expected 2"},
        {written, smallRoomWith(2, "size: 3 3 2"),
         "FILE: the file ends after 2 layers, expected 3"},
        {written, smallRoomWith(5, ".R."), "FILE: no player start (@)"},
        {written, smallRoomWith(6, "..@"),
         "FILE:6: a second player start (@); the first is on line 5"},
        {written, smallRoomWith(10, "..."), "FILE: no trophy (T)"},
        {written, smallRoomWith(6, "T.."), "FILE:10: a second trophy (T); the first is on line 6"},
        {written, smallRoomWith(5, "@.."), "FILE: no red block (R); a level needs 1 to 16"},
        {written, smallRoomWith(9, "..#"), "FILE: no blue block (B); a level needs 1 to 16"},
        {written, "title: Crowd\n" + twentyRed, "FILE:9: more than 16 red blocks"},
    };
    const ScratchFolder scratch("levelFileTest");
    ASSERT_TRUE(scratch.valid());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        const std::string name = "case" + std::to_string(i) + ".level";
        const std::string path = c.situation == folder ? scratch.folder() : scratch.path(name);
        if (c.situation == written) {
            scratch.write(name, c.text);
        }
        const LevelLoad load = loadLevelFile(path);
        EXPECT_EQ(load.error, replacedAll(c.expected, "FILE", path)) << "case " << i;
        EXPECT_FALSE(load.level.has_value()) << "case " << i;
    }
}

TEST(LevelFileTest, ReadsLayersAsYRowsAsZAndColumnsAsX) {
    const LevelLoad load = parseLevelText(smallRoomWith(0, ""), "small.level");
    ASSERT_TRUE(load.level) << load.error;
    const LevelLayout& layout = load.level->layout;
    EXPECT_EQ(layout.size, (Cell{3, 2, 2}));
    EXPECT_EQ(layout.playerStart, (Cell{0, 0, 0}));
    EXPECT_EQ(layout.redStarts, (std::vector<Cell>{{1, 0, 0}}));
    EXPECT_EQ(layout.blueStarts, (std::vector<Cell>{{1, 1, 0}}));
    EXPECT_EQ(layout.obstacles, (std::vector<Cell>{{2, 1, 0}}));
    EXPECT_EQ(layout.trophyCell, (Cell{2, 1, 1}));
    EXPECT_EQ(load.level->title, "Test room");
    EXPECT_TRUE(load.level->author.empty());
    EXPECT_FALSE(load.level->par.has_value());
}

// Written out, then read back from text as an editor on another system might
// leave it: CRLF line ends, trailing blanks and comments between the lines.
TEST(LevelFileTest, AWrittenLevelReadsBackTheSame) {
    LevelLayout scattered;
    scattered.size = Cell{4, 3, 5};
    scattered.playerStart = Cell{3, 2, 4};
    scattered.trophyCell = Cell{0, 0, 0};
    scattered.redStarts = {{2, 2, 0}, {1, 0, 3}, {3, 0, 1}};
    scattered.blueStarts = {{0, 1, 4}, {0, 1, 2}};
    scattered.obstacles = {{1, 1, 1}, {0, 0, 1}, {3, 2, 3}};
    const LevelFile levels[] = {
        {"Scattered", "cellquest", 12, inReadingOrder(scattered)},
        {"First room", "", std::nullopt, inReadingOrder(builtInLayout())},
    };
    for (const LevelFile& level : levels) {
        const std::string text = formatLevelText(level);
        const std::string edited = replacedAll(text, "\n", " \t\r\n; a note\r\n\r\n");
        for (const std::string& variant : {text, edited}) {
            const LevelLoad load = parseLevelText(variant, "round.level");
            ASSERT_TRUE(load.level) << load.error;
            EXPECT_EQ(*load.level, level) << variant;
        }
    }
    EXPECT_EQ(inReadingOrder(scattered).redStarts,
              (std::vector<Cell>{{3, 0, 1}, {1, 0, 3}, {2, 2, 0}}));
}

TEST(LevelFileTest, TheFirstRoomFileIsTheBuiltInRoom) {
    const LevelLoad load = loadLevelFile("levels/01-first-room.level");
    ASSERT_TRUE(load.level) << load.error;
    const LevelLayout& file = load.level->layout;
    const LevelLayout& builtIn = builtInLayout();
    EXPECT_EQ(file.size, builtIn.size);
    EXPECT_EQ(file.playerStart, builtIn.playerStart);
    EXPECT_EQ(file.trophyCell, builtIn.trophyCell);
    // The blocks step in this order, so it must be the same, not just the
    // cells; the crates keep reading order too.
    EXPECT_EQ(file.redStarts, builtIn.redStarts);
    EXPECT_EQ(file.blueStarts, builtIn.blueStarts);
    EXPECT_EQ(file.obstacles, builtIn.obstacles);
    EXPECT_EQ(file, builtIn);
    EXPECT_EQ(load.level->par, 17);
    EXPECT_EQ(Level(file).player.position, glm::vec3(5.0f, 7.0f, 9.0f));
}
