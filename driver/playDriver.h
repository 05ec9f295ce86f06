// Plays the real game from its start to the win as a person at the keyboard
// would: one held key per move, released once the trace shows the new cell
// and the camera is about the middle of it. The driver keeps its own copy of
// the world, advanced from the game's trace by the game's own rules, checks
// the blocks the trace shows against it, and plans again with the solver
// whenever the game did not move as planned. Free of the test framework, so
// that a command-line tool can play the game too.
#pragma once

#include "gameLauncher.h"

#include "world/cell.h"
#include "world/level.h"
#include "world/levelState.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The trophy's cell of the game's own room: reaching it wins.
const Cell goalCell = builtInLayout().trophyCell;


// The driver's copy of the game's world, a level of its own advanced from
// the trace by the game's own rules.
class WorldMirror {
  public:
    // The level at its start.
    explicit WorldMirror(const LevelLayout& layout = builtInLayout());
    LevelState state() const { return captureLevelState(level); }
    const Level& world() const { return level; }
    Cell playerCell() const;
    // The trace line the game must print for the mirrored world.
    TraceLine expectedTrace() const;
    // Follows one frame: a change of the player's cell moves the player there
    // and steps the blocks with the direction code the game computes. Empty
    // when the trace then agrees with the mirror; otherwise what the game
    // did wrong.
    std::string follow(const TraceLine& line);

  private:
    Level level;
};

// The xdotool key that moves the camera along a direction code while the
// view has its start direction (W -z, S +z, A -x, D +x, Q +y, E -y).
std::string keyForDirection(Direction direction);

// True when the screen shows the green "Wireframe: ON" line at the top left.
bool showsWireframeLine(const Screenshot& screen);
// True when the screen shows the white "YOU WON!" in its middle.
bool showsWonMessage(const Screenshot& screen);
// Switches the game to wireframe drawing with F3, checking the overlay line
// (F3 flips once per frame it is held, so a press seen by two frames changes
// nothing and is repeated). Wireframe frames skip the bloom and are several
// times faster on a software renderer, which makes single-cell moves
// possible. False when the line never showed.
bool switchToWireframe(GameProcess& game, Seconds timeout);

// Back from wireframe to the full picture: F3 until its line has gone.
bool switchToFullPicture(GameProcess& game, Seconds timeout);
// Holds the key until the trace shows the player in the target cell, then
// releases it; false when the player never got there.
bool holdUntilPlayerIn(GameProcess& game, const std::string& key, Cell target, Seconds timeout);

struct PlayOptions {
    // The level the game plays; the driver keeps its own copy of it.
    LevelLayout layout = builtInLayout();
    Seconds timeout{900};
    // Longest wait for one frame of the game.
    Seconds frameTimeout{60};
    // Where along the move's axis to stop in a cell, from the entry side.
    double landingDepth = 0.5;
    // When set, screenshots of the start, of every few moves and of a won
    // frame are saved there as PNG files.
    std::string screenshotDir;
    std::size_t screenshotEveryMoves = 5;
    // Wireframe frames are far cheaper to draw on a software renderer, so a
    // quick check of the rules may switch to them; a play-through of the
    // game as players see it keeps the full picture.
    bool switchToWireframe = false;
    // The game draws wireframe already (a campaign's next level after one
    // played in it), so it must not be switched again.
    bool inWireframe = false;
    // The number of the level's first trace line: a campaign's later level
    // starts after the frames of the ones before it.
    std::size_t firstFrame = 0;
    // Progress lines, as they happen.
    std::function<void(const std::string&)> log;
};

struct PlayResult {
    // Empty when the game was played to the win; otherwise why not.
    std::string failure;
    std::size_t moves = 0;
    // Plans made: the first one and one after every move that went elsewhere.
    std::size_t plans = 0;
    // The number of the first trace line in the goal cell.
    std::optional<std::size_t> firstWonFrame;
    // A screen grabbed during the won frames.
    std::optional<Screenshot> wonScreen;
    std::vector<std::string> savedScreenshots;
    std::vector<std::string> log;
};

// Plays the started, focused game until its first won frame, then leaves it
// to finish its won frames.
PlayResult playToWin(GameProcess& game, const PlayOptions& options);
