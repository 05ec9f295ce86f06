// Everything the game knows between two frames, in one value the app owns:
// the level, the camera, the input, the modes, the particle fountain, the
// frame timing and the won state. The frame's update step lives here too,
// free of the window system and of GL, so tests drive it directly.
#pragma once

#include "game/camera.h"
#include "game/input.h"
#include "game/modes.h"
#include "game/particles.h"
#include "game/puzzlePlay.h"
#include "world/level.h"

#include <glm/vec3.hpp>

#include <string>
#include <vector>

// After the first won frame, this many more are shown before the game ends.
constexpr int wonFramesBeforeExit = 300;
// The frame-rate line refreshes its number once every this many frames.
constexpr int framerateRefreshFrames = 300;

struct GameState {
    explicit GameState(const LevelLayout& layout = builtInLayout());

    Level level;
    Camera camera;
    InputState input;
    Modes modes;
    ParticleSystem particles;
    float deltaTime = 0.0f;
    float lastFrame = 0.0f;
    int wonFrames = 0;
    int framerateCounter = framerateRefreshFrames;
    std::string framerateText;
    // Off for the plain room; levels from files turn it on.
    PuzzlePlay puzzle;
};

// What a frame's update did that the renderer must follow at once.
struct FrameUpdate {
    // Wireframe was just switched off: polygons are filled again from now.
    bool wireframeTurnedOff = false;
    // A hint that came in this frame; empty when none did.
    std::string hint;
};

// The next level of a run: the level and the camera at their start, play on,
// no won frames, no moves and no hint. The modes, the zoom and the
// picture's aspect stay.
void startLevel(GameState& game, const LevelLayout& layout, const LevelHeading& heading);

// deltaTime from the previous frame's time to now, in seconds.
void updateFrameTiming(GameState& game, float now);
// While play is on, the puzzle keys pressed since the last frame act, the
// camera moves by the held keys and the toggles flip; then the player takes
// the camera's cell and the blocks step.
FrameUpdate updateGame(GameState& game);

// The trophy stands in the lowest corner of its cell.
glm::vec3 goalPosition(const Level& level);
// True when each of the cell's indices, as float, equals the goal's.
bool isWinningCell(Cell playerCell, glm::vec3 goal);
bool isWon(const GameState& game);

// 1 / deltaTime in fixed point with six decimals, in single precision.
std::string formatFramerate(float deltaTime);

struct OverlayLine {
    std::string text;
    float x;
    float y;
    float scale;
    glm::vec3 colour;
    // The wireframe line leaves texture units 0 and 1 with no texture bound.
    bool clearsTextureUnits;
    // y counts up from the picture's bottom edge instead of down the
    // 768-pixel frame from its top, so the line keeps to the bottom of a
    // resized window.
    bool fromBottom;
};
// The lines of a normal frame, in drawing order; advances the frame-rate
// counter and refreshes its text as the frame-rate line is shown.
std::vector<OverlayLine> overlayLines(GameState& game);
