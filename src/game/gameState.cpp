#include "game/gameState.h"

#include "game/movement.h"
#include "world/rules.h"

#include <iomanip>
#include <sstream>

namespace {

constexpr float overlayX = 25.0f;
constexpr float overlayY = 708.0f;
constexpr float overlayScale = 0.5f;
const glm::vec3 overlayGreen(0.0f, 1.0f, 0.0f);
// The moves and hint lines stand at the bottom left, the help below the
// mode lines at the top left.
constexpr float movesLineY = 25.0f;
constexpr float hintLineY = 60.0f;
constexpr float helpTopY = 600.0f;
constexpr float helpLineStep = 34.0f;
const glm::vec3 movesColour(1.0f, 1.0f, 1.0f);
const glm::vec3 hintColour(1.0f, 0.85f, 0.2f);
const glm::vec3 helpColour(0.6f, 0.9f, 1.0f);

void addPuzzleLines(const PuzzlePlay& puzzle, const Camera& camera,
                    std::vector<OverlayLine>& lines) {
    lines.push_back(
        {movesLine(puzzle), overlayX, movesLineY, overlayScale, movesColour, false, true});
    const std::string line = hintLine(puzzle, camera);
    const std::string hint = line.empty() ? "F1: keys" : line;
    lines.push_back({hint, overlayX, hintLineY, overlayScale, hintColour, false, true});
    if (puzzle.helpShown) {
        float y = helpTopY;
        for (const std::string& text : helpLines()) {
            lines.push_back({text, overlayX, y, overlayScale, helpColour, false, false});
            y -= helpLineStep;
        }
    }
}

} // namespace

GameState::GameState(const LevelLayout& layout) : level(layout), camera(cameraAtStart(layout)) {}

void updateFrameTiming(GameState& game, float now) {
    game.deltaTime = now - game.lastFrame;
    game.lastFrame = now;
}

void startLevel(GameState& game, const LevelLayout& layout, const LevelHeading& heading) {
    game.level = Level(layout);
    returnToStart(game.camera, layout);
    game.wonFrames = 0;
    game.modes.playEnabled = true;
    startPuzzleLevel(game.puzzle, heading);
}

FrameUpdate updateGame(GameState& game) {
    FrameUpdate update;
    PuzzlePlay& puzzle = game.puzzle;
    for (int key : takePresses(game.input)) {
        if (puzzle.enabled && game.modes.playEnabled) {
            pressPuzzleKey(puzzle, game.level, game.camera, key);
        }
    }
    update.wireframeTurnedOff =
        processMovement(game.camera, game.modes, game.input, game.level, game.deltaTime);
    if (puzzle.enabled && cellOf(game.camera.position) != game.level.player.cell) {
        beforeCellChange(puzzle, game.level);
    }
    movePlayer(game.level, game.camera.position);
    if (puzzle.enabled) {
        update.hint = collectHint(puzzle, game.camera);
    }
    return update;
}

glm::vec3 goalPosition(const Level& level) {
    return cellCorner(level.goal());
}

bool isWinningCell(Cell playerCell, glm::vec3 goal) {
    return static_cast<float>(playerCell.x) == goal.x &&
           static_cast<float>(playerCell.y) == goal.y && static_cast<float>(playerCell.z) == goal.z;
}

bool isWon(const GameState& game) {
    return isWinningCell(game.level.player.cell, goalPosition(game.level));
}

std::string formatFramerate(float frameSeconds) {
    const float framesPerSecond = 1.0f / frameSeconds;
    std::ostringstream out;
    out << std::fixed << std::setprecision(6) << framesPerSecond;
    return out.str();
}

std::vector<OverlayLine> overlayLines(GameState& game) {
    std::vector<OverlayLine> lines;
    const Modes& modes = game.modes;
    if (modes.showFramerate) {
        // The line shows the text of the last refresh; the refresh comes after.
        lines.push_back({"Framerate: " + game.framerateText, overlayX, overlayY, overlayScale,
                         overlayGreen, false, false});
        if (game.framerateCounter == framerateRefreshFrames) {
            game.framerateText = formatFramerate(game.deltaTime);
            game.framerateCounter = 0;
        }
        game.framerateCounter += 1;
    }
    if (modes.wireframe) {
        lines.push_back(
            {"Wireframe: ON", overlayX, overlayY, overlayScale, overlayGreen, true, false});
    }
    if (modes.frustumCulling) {
        lines.push_back({"View Frustum Culling: ON", overlayX, overlayY, overlayScale, overlayGreen,
                         false, false});
    }
    if (game.puzzle.enabled) {
        addPuzzleLines(game.puzzle, game.camera, lines);
    }
    return lines;
}
