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

} // namespace

GameState::GameState(const LevelLayout& layout)
    : level(layout), camera(cameraAtStart(layout)) {}

void updateFrameTiming(GameState& game, float now) {
    game.deltaTime = now - game.lastFrame;
    game.lastFrame = now;
}

FrameUpdate updateGame(GameState& game) {
    FrameUpdate update;
    update.wireframeTurnedOff =
        processMovement(game.camera, game.modes, game.input, game.level, game.deltaTime);
    movePlayer(game.level, game.camera.position);
    return update;
}

glm::vec3 goalPosition(const Level& level) {
    return cellCorner(level.goal());
}

bool isWinningCell(Cell playerCell, glm::vec3 goal) {
    return static_cast<float>(playerCell.x) == goal.x &&
           static_cast<float>(playerCell.y) == goal.y &&
           static_cast<float>(playerCell.z) == goal.z;
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
                         overlayGreen, false});
        if (game.framerateCounter == framerateRefreshFrames) {
            game.framerateText = formatFramerate(game.deltaTime);
            game.framerateCounter = 0;
        }
        game.framerateCounter += 1;
    }
    if (modes.wireframe) {
        lines.push_back({"Wireframe: ON", overlayX, overlayY, overlayScale, overlayGreen, true});
    }
    if (modes.frustumCulling) {
        lines.push_back(
            {"View Frustum Culling: ON", overlayX, overlayY, overlayScale, overlayGreen, false});
    }
    return lines;
}
