// Everything the game knows between two frames, in one value the app owns:
// the run's levels, the level in play, the camera, the input, the modes, the
// particle fountain, the frame timing and the won state; and the frame's
// update, the only step that changes any of it. Free of the window system
// and of GL, so tests drive it directly.
#pragma once

#include "game/camera.h"
#include "game/campaign.h"
#include "game/editor.h"
#include "game/input.h"
#include "game/menu.h"
#include "game/modes.h"
#include "game/myLevels.h"
#include "game/overview.h"
#include "game/particles.h"
#include "game/progress.h"
#include "game/puzzlePlay.h"
#include "game/settings.h"
#include "game/sound.h"
#include "world/level.h"

#include <glm/vec3.hpp>

#include <optional>
#include <string>
#include <vector>

// After the first won frame, this many more are shown before the level ends.
constexpr int wonFramesBeforeExit = 300;
// The frame-rate line refreshes its number once every this many frames.
constexpr int framerateRefreshFrames = 300;

struct GameState {
    // The plain room, or one layout, played without the puzzle keys.
    explicit GameState(const LevelLayout& layout = builtInLayout());
    // A run of levels from its current one; puzzleKeys turns on restart,
    // undo, hints, help and the moves line. The settings are the player's,
    // read before play starts; the camera starts at their field of view.
    GameState(Campaign campaign, bool puzzleKeys, const Settings& settings = Settings());

    Campaign campaign;
    Level level;
    Camera camera;
    InputState input;
    Modes modes;
    ParticleSystem particles;
    // The live particles the fountain shows after this frame's step.
    int particleCount = 0;
    // The frame's clock in seconds, and the time since the last frame.
    double time = 0.0;
    float deltaTime = 0.0f;
    float lastFrame = 0.0f;
    int wonFrames = 0;
    // The frame-rate line shows the text of the last refresh; the refresh
    // comes after it is shown.
    int framerateCounter = framerateRefreshFrames;
    std::string framerateText;
    std::string framerateShown;
    // Off for the plain room; levels from files turn it on.
    PuzzlePlay puzzle;
    // Tab, in puzzle play: the whole level from outside.
    Overview overview;
    // Mouse look and the moves line follow them; the plain room's are the
    // defaults.
    Settings settings;
    // A campaign's solved levels and best moves; wins are recorded here and
    // the app saves them.
    Progress progress;
    MenuState menu;
    // "My levels" in the menus; while one of them is played, `campaign` is
    // theirs and the pack waits here until the title shows again.
    MyLevels myLevels;
    std::optional<Campaign> shelvedPack;
    // M, in runs of levels: every sound silent until M again.
    bool soundMuted = false;
    // The last frame's move was held back by the rules; a push against a
    // wall bumps once, not every frame it goes on.
    bool moveHeldBack = false;
    // --edit: the level editor, with play-tests of its level.
    EditorState editor;
};

// A level just won, for the run's saved progress.
struct LevelWin {
    std::string levelName;
    int moves = 0;
};

// What the app must do after a frame's update, in the frame's order.
struct FrameOutcome {
    // Standard output, in order: the trace line, a hint that came in, and
    // "YOU WON!" after a level's last won frame.
    std::vector<std::string> consoleLines;
    // The level was won in this frame: its win is saved before anything is
    // drawn.
    std::optional<LevelWin> win;
    // Won frames show only the message.
    bool wonPicture = false;
    // A level's last won frame is drawn but never shown: the next frame
    // shows the next level.
    bool present = true;
    // F11: window or desktop full screen.
    bool switchDisplay = false;
    // Escape, or the last level's won frames are over: the run ends after
    // this frame.
    bool quit = false;
    // The settings changed: save them.
    bool saveSettings = false;
    // A menu is open: the cursor is the player's to point with.
    bool cursorFree = false;
    // What the frame sounds like, in the order it happened.
    std::vector<SoundCue> sounds;
    // The editor copied its level: the app puts the text on the clipboard.
    std::optional<std::string> clipboardText;
};

// A run with menus opens on its title screen, with the pack's levels.
void openTitle(GameState& game);

// A run with --edit opens the level editor on the level from `path`.
void openLevelEditor(GameState& game, const std::string& path, const LevelFile& level);

// The next level of the run: the level and the camera at their start, play
// on, no won frames, no moves and no hint. The modes, the zoom and the
// picture's aspect stay.
void startLevel(GameState& game);

// The frame: the clock and the picture's aspect, then the events in order
// (keys held and released, presses acting once, the mouse turning the
// camera, the wheel zooming), the movement by the held keys and the
// toggles, the player's cell and the blocks' steps, the trace line, a hint
// that came in; then either the won frames or the particle step and the
// frame-rate line.
FrameOutcome updateGame(GameState& game, const FrameInput& input);

// The trophy stands in the lowest corner of its cell.
glm::vec3 goalPosition(const Level& level);
// True when each of the cell's indices, as float, equals the goal's.
bool isWinningCell(Cell playerCell, glm::vec3 goal);
bool isWon(const GameState& game);

// 1 / deltaTime in fixed point with six decimals, in single precision.
std::string formatFramerate(float deltaTime);

// One line of the overlay's text; render places each kind.
struct OverlayText {
    enum class Kind { framerate, wireframe, frustumCulling, overview, moves, hint, help, soundOff };
    Kind kind;
    std::string text;
};
// The overlay of a normal frame, in drawing order.
std::vector<OverlayText> overlayTexts(const GameState& game);

// The camera the frame is seen through: the player's, or the overview's.
Camera viewingCamera(const GameState& game);
// Red and blue blocks carry marks that need no colour vision (in puzzle
// play).
bool showsBlockMarks(const GameState& game);
