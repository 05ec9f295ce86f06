// The puzzle keys through the game's own frame update (restart, undo, their
// press events), and the hints: a hint's move starts a shortest way.
#include "game/gameState.h"
#include "world/levelFile.h"
#include "world/rules.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

Direction moveOf(char letter) {
    switch (letter) {
    case 'L':
        return -1;
    case 'F':
        return -3;
    case 'U':
        return 2;
    default:
        return 0;
    }
}

class PuzzleKeys : public ::testing::Test {
  protected:
    PuzzleKeys() { game.puzzle.enabled = true; }

    // A frame in which the camera has reached the middle of the next cell.
    void move(char letter) {
        game.camera.position = cellCentre(neighbourOf(game.level.player.cell, moveOf(letter)));
        frame();
    }
    void press(int key) {
        handleKey(game.input, key, actionPress);
        handleKey(game.input, key, actionRelease);
    }
    FrameUpdate frame() { return updateGame(game); }
    // Letters are moves, Z and B undo, R restarts, each in a frame of its own.
    void play(const std::string& script) {
        for (char step : script) {
            if (step == 'Z' || step == 'B' || step == 'R') {
                press(step == 'Z' ? keyZ : step == 'B' ? keyBackspace : keyR);
                frame();
            } else {
                move(step);
            }
        }
    }
    static LevelState after(const std::string& moves) {
        Level level;
        for (char letter : moves) {
            EXPECT_TRUE(movePlayerOneCell(level, moveOf(letter))) << letter;
        }
        return captureLevelState(level);
    }

    GameState game;
};

TEST_F(PuzzleKeys, UndoAndRestartGiveBackTheStatesAndMovesBeforeThem) {
    const struct {
        const char* script;
        const char* sameAs; // the moves whose state the script must end in
        int moves;
    } cases[] = {
        {"LZ", "", 0},     {"LFZ", "L", 1},     {"LFBB", "", 0},   {"Z", "", 0},
        {"LLR", "", 0},    {"LLRZ", "LL", 2},   {"LRFZZ", "L", 1}, {"LLRRZ", "", 0},
        {"LLRZZZ", "", 0}, {"LFULZ", "LFU", 3}, {"LLZL", "LL", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        startLevel(game, builtInLayout(), LevelHeading{});
        play(c.script);
        EXPECT_EQ(captureLevelState(game.level), after(c.sameAs));
        EXPECT_EQ(game.puzzle.history.moves(), c.moves);
        EXPECT_EQ(cellOf(game.camera.position), game.level.player.cell);
    }
}

TEST_F(PuzzleKeys, RestartTurnsTheCameraBackAndUndoKeepsItsTurn) {
    move('L');
    game.camera.yaw = 10.0f;
    game.camera.front = glm::vec3(1.0f, 0.0f, 0.0f);
    game.camera.fov = 30.0f;
    game.camera.aspect = 1.6f;
    press(keyZ);
    frame();
    EXPECT_EQ(game.camera.position, cellCentre(game.level.layout().playerStart));
    EXPECT_EQ(game.camera.yaw, 10.0f) << "undo keeps the camera's orientation";

    move('L');
    press(keyR);
    frame();
    const Camera start = cameraAtStart(game.level.layout());
    EXPECT_EQ(game.camera.position, start.position);
    EXPECT_EQ(game.camera.yaw, start.yaw);
    EXPECT_EQ(game.camera.front, start.front);
    EXPECT_EQ(game.camera.fov, 30.0f) << "the zoom is not an orientation";
    EXPECT_EQ(game.camera.aspect, 1.6f) << "the window's shape stays";
}

TEST_F(PuzzleKeys, ActOncePerPressAndOnlyInPuzzlePlay) {
    play("LLL");
    press(keyZ); // press and release in the same frame
    handleKey(game.input, keyZ, actionPress);
    handleKey(game.input, keyZ, actionRepeat);
    handleKey(game.input, keyZ, actionRepeat);
    frame();
    EXPECT_EQ(game.puzzle.history.moves(), 1) << "two presses, two undos; repeats are not presses";
    frame();
    EXPECT_EQ(game.puzzle.history.moves(), 1) << "a held key does not act again";

    game.modes.playEnabled = false; // the won frames
    press(keyR);
    frame();
    EXPECT_EQ(game.puzzle.history.moves(), 1);

    GameState plain;
    plain.camera.position = cellCentre(neighbourOf(plain.level.player.cell, -1));
    updateGame(plain);
    const LevelState moved = captureLevelState(plain.level);
    for (int key : {keyZ, keyBackspace, keyR, keyH, keyF1}) {
        handleKey(plain.input, key, actionPress);
    }
    updateGame(plain);
    EXPECT_EQ(captureLevelState(plain.level), moved) << "the plain room has no puzzle keys";
    EXPECT_TRUE(plain.input.presses.empty());
    EXPECT_FALSE(plain.puzzle.helpShown);
}

TEST_F(PuzzleKeys, HintComesFromTheWorkerAndGoesWithTheNextCellChange) {
    press(keyH);
    frame();
    EXPECT_EQ(game.puzzle.hintLine, "Hint: searching...");
    std::string arrived;
    for (int i = 0; i < 2000 && arrived.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        arrived = frame().hint;
    }
    EXPECT_EQ(arrived, hintText(hintFor(Level())));
    EXPECT_EQ(game.puzzle.hintLine, arrived);
    move('L');
    EXPECT_EQ(game.puzzle.hintLine, "");
}

// From every state along a shortest way of a pack level, the hint's move
// leaves a shortest way one move shorter.
TEST(Hints, TheHintedMoveStartsAShortestWay) {
    for (const char* file : {"levels/01-first-room.level", "levels/03-blue-meets-you.level",
                             "levels/05-blocks-in-a-line.level"}) {
        SCOPED_TRACE(file);
        const LevelLoad load = loadLevelFile(file);
        ASSERT_TRUE(load.level) << load.error;
        Level level(load.level->layout);
        std::optional<std::vector<Direction>> way = solveLevel(level, 100);
        ASSERT_TRUE(way);
        while (!way->empty()) {
            const Hint hint = hintFor(level);
            ASSERT_EQ(hint.kind, Hint::Kind::move);
            ASSERT_TRUE(movePlayerOneCell(level, hint.move));
            const std::optional<std::vector<Direction>> rest = solveLevel(level, 100);
            ASSERT_TRUE(rest);
            EXPECT_EQ(rest->size() + 1, way->size());
            way = rest;
        }
    }
}

TEST(Hints, TextsAndTheOutcomesWithoutAMove) {
    EXPECT_EQ(hintText(Hint{Hint::Kind::move, 2}), "Hint: up (+y)");
    EXPECT_EQ(hintText(Hint{Hint::Kind::move, -3}), "Hint: forward (-z)");
    EXPECT_EQ(hintText(Hint{Hint::Kind::noWay, 0}), "No way from here: press Z or R");

    // The player walled in by crates: the search proves there is no way.
    const LevelLoad sealed = parseLevelText(
        "title: Sealed\nsize: 3 2 2\nlayer 0\n@#T\nR#B\nlayer 1\n.#.\n.#.\n", "sealed");
    ASSERT_TRUE(sealed.level) << sealed.error;
    EXPECT_EQ(hintFor(Level(sealed.level->layout)), (Hint{Hint::Kind::noWay, 0}));

    const std::atomic<bool> stopped{true};
    EXPECT_EQ(hintFor(Level(), &stopped).kind, Hint::Kind::tooFar) << "a stopped search";
}

TEST(Hints, ACancelledSearchIsNeverShown) {
    HintWorker worker;
    worker.request(Level());
    worker.cancel();
    EXPECT_FALSE(worker.searching());
    for (int i = 0; i < 400; ++i) {
        EXPECT_FALSE(worker.take());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.request(Level());
    std::optional<Hint> hint;
    for (int i = 0; i < 2000 && !hint; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        hint = worker.take();
    }
    EXPECT_EQ(hint, hintFor(Level()));
}

} // namespace
