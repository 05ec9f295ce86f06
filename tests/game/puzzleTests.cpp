// The puzzle keys through the game's own frame update (restart, undo, their
// press events), and the hints: a hint's move starts a shortest way.
#include "game/gameState.h"
#include "world/levelFile.h"
#include "world/rules.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
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

// A camera turned as the mouse turns it: yaw about y, pitch above the floor.
Camera lookingAt(float yaw, float pitch) {
    Camera camera;
    camera.yaw = yaw;
    camera.pitch = pitch;
    const float y = yaw * degreesToRadians;
    const float p = pitch * degreesToRadians;
    camera.front = glm::vec3(std::cos(y) * std::cos(p), std::sin(p), std::sin(y) * std::cos(p));
    return camera;
}

class PuzzleKeys : public ::testing::Test {
  protected:
    PuzzleKeys() { game.puzzle.enabled = true; }

    // A frame in which the camera has reached the middle of the next cell.
    void move(char letter) {
        game.camera.position = cellCentre(neighbourOf(game.level.player.cell, moveOf(letter)));
        frame();
    }
    // A press and its release, acting in the next frame.
    void press(Key key) {
        events.push_back(InputEvent::press(key));
        events.push_back(InputEvent::release(key));
    }
    FrameOutcome frame() {
        FrameInput input{0.0, {}, pictureAspect};
        input.events.swap(events);
        return updateGame(game, input);
    }
    // The hint line a frame printed after its trace line; empty when none.
    static std::string hintPrinted(const FrameOutcome& outcome) {
        return outcome.consoleLines.size() > 1 ? outcome.consoleLines[1] : "";
    }
    // Letters are moves, Z and B undo, R restarts, each in a frame of its own.
    void play(const std::string& script) {
        for (char step : script) {
            if (step == 'Z' || step == 'B' || step == 'R') {
                press(step == 'Z' ? Key::z : step == 'B' ? Key::backspace : Key::r);
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
    std::vector<InputEvent> events;
    float pictureAspect = cameraAspect;
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
        startLevel(game);
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
    pictureAspect = 1.6f;
    press(Key::z);
    frame();
    EXPECT_EQ(game.camera.position, cellCentre(game.level.layout().playerStart));
    EXPECT_EQ(game.camera.yaw, 10.0f) << "undo keeps the camera's orientation";

    move('L');
    press(Key::r);
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
    press(Key::z); // press and release in the same frame
    events.push_back(InputEvent::press(Key::z));
    frame();
    EXPECT_EQ(game.puzzle.history.moves(), 1) << "two presses, two undos";
    frame();
    EXPECT_EQ(game.puzzle.history.moves(), 1) << "a held key does not act again";

    game.modes.playEnabled = false; // the won frames
    press(Key::r);
    frame();
    EXPECT_EQ(game.puzzle.history.moves(), 1);

    GameState plain;
    plain.camera.position = cellCentre(neighbourOf(plain.level.player.cell, -1));
    updateGame(plain, FrameInput{});
    const LevelState moved = captureLevelState(plain.level);
    FrameInput presses;
    for (Key key : {Key::z, Key::backspace, Key::r, Key::h, Key::f1}) {
        presses.events.push_back(InputEvent::press(key));
    }
    updateGame(plain, presses);
    EXPECT_EQ(captureLevelState(plain.level), moved) << "the plain room has no puzzle keys";
    EXPECT_FALSE(plain.puzzle.helpShown);
}

TEST_F(PuzzleKeys, HintComesFromTheWorkerFollowsTheTurnsAndGoesWithTheNextCellChange) {
    press(Key::h);
    frame();
    EXPECT_EQ(hintLine(game.puzzle, game.camera), "Hint: searching...");
    std::string arrived;
    for (int i = 0; i < 2000 && arrived.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        arrived = hintPrinted(frame());
    }
    ASSERT_EQ(hintFor(Level()), (Hint{Hint::Kind::move, -1}));
    EXPECT_EQ(arrived, "Hint: left (-x)");
    EXPECT_EQ(hintLine(game.puzzle, game.camera), arrived);
    const glm::vec3 position = game.camera.position;
    game.camera = lookingAt(180.0f, 10.0f);
    game.camera.position = position;
    EXPECT_EQ(hintLine(game.puzzle, game.camera), "Hint: ahead (-x)") << "turned to face -x";
    move('L');
    EXPECT_EQ(hintLine(game.puzzle, game.camera), "");
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

TEST(Hints, TheWordsFollowWhereThePlayerLooks) {
    const struct {
        float yaw;
        float pitch;
        Direction move;
        const char* text;
    } cases[] = {
        {-90, 0, -3, "Hint: ahead (-z)"},  {-90, 0, 3, "Hint: behind (+z)"},
        {-90, 0, 1, "Hint: right (+x)"},   {-90, 0, -1, "Hint: left (-x)"},
        {-90, 0, 2, "Hint: up (+y)"},      {-90, 0, -2, "Hint: down (-y)"},
        {0, 0, 1, "Hint: ahead (+x)"},     {0, 0, 3, "Hint: right (+z)"},
        {90, 0, -1, "Hint: right (-x)"},   {90, 0, -3, "Hint: behind (-z)"},
        {180, 0, -3, "Hint: right (-z)"},  {180, 0, 1, "Hint: behind (+x)"},
        {30, 0, 1, "Hint: ahead (+x)"},    {-134, 0, 1, "Hint: right (+x)"},
        {-60, 80, -3, "Hint: ahead (-z)"}, {-60, -80, 2, "Hint: up (+y)"},
        {270, 0, -3, "Hint: ahead (-z)"},  {-450, 45, -1, "Hint: left (-x)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "yaw " << c.yaw << " pitch " << c.pitch);
        EXPECT_EQ(hintText(Hint{Hint::Kind::move, c.move}, lookingAt(c.yaw, c.pitch)), c.text);
    }
    // Straight down the front has no horizontal part: the yaw still says
    // which way the player faces.
    Camera down = lookingAt(0, 0);
    down.front = glm::vec3(0.0f, -1.0f, 0.0f);
    EXPECT_EQ(hintText(Hint{Hint::Kind::move, 1}, down), "Hint: ahead (+x)");
}

TEST(Hints, TextsAndTheOutcomesWithoutAMove) {
    const Camera camera;
    EXPECT_EQ(hintText(Hint{Hint::Kind::noWay, 0}, camera), "No way from here: press Z or R");
    KeyBindings rebound = KeyBindings::defaults();
    ASSERT_EQ(bindKeys(rebound, Action::undo, {Key::u, Key::backspace}), "");
    EXPECT_EQ(hintText(Hint{Hint::Kind::noWay, 0}, camera, rebound),
              "No way from here: press U or R")
        << "the keys in use";
    EXPECT_EQ(hintText(Hint{Hint::Kind::tooFar, 0}, camera),
              "No hint: the way is too long to search from here");

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

// A search that ignores its stop, as a solver deep in a large level may for
// a long while: the first call holds until the gate opens, later calls
// answer at once with a move of their own.
class StubbornSearch {
  public:
    HintSearch function() {
        return [this](const Level&, const std::atomic<bool>*) {
            if (calls.fetch_add(1) == 0) {
                started.set_value();
                gate.wait();
                return Hint{Hint::Kind::move, 1};
            }
            return Hint{Hint::Kind::move, 2};
        };
    }
    // The first search has begun (so it, not a later one, is the one held).
    void waitUntilHeld() { started.get_future().wait(); }
    void open() { opener.set_value(); }

  private:
    std::promise<void> started;
    std::promise<void> opener;
    std::shared_future<void> gate = opener.get_future().share();
    std::atomic<int> calls{0};
};

TEST(Hints, ANewRequestNeverWaitsForTheSearchItCalledOff) {
    StubbornSearch search;
    HintWorker worker(search.function());
    worker.request(Level());
    search.waitUntilHeld();
    worker.cancel();
    // The old search is still held; the frame asking again must not be.
    auto again = std::async(std::launch::async, [&worker] { worker.request(Level()); });
    const bool returned = again.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    std::optional<Hint> hint;
    for (int i = 0; returned && i < 2000 && !hint; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        hint = worker.take();
    }
    search.open(); // before any wait below: the worker's end waits for both
    again.wait();
    EXPECT_TRUE(returned) << "the request waited for the called-off search";
    EXPECT_EQ(hint, (Hint{Hint::Kind::move, 2})) << "the new search answers while the old runs";
}

} // namespace
