#include "render/frameView.h"

#include "render/shadowMap.h"

namespace {

template <class Object> std::vector<Cell> cellsOf(const std::vector<Object>& objects) {
    std::vector<Cell> cells;
    cells.reserve(objects.size());
    for (const Object& object : objects) {
        cells.push_back(object.cell);
    }
    return cells;
}

} // namespace

FrameView frameViewOf(const GameState& game, double seconds) {
    const Level& level = game.level;
    const glm::vec3 light = lightPositionFor(level.grid.extent);
    return FrameView{game.camera,
                     viewMatrix(game.camera),
                     projectionMatrix(game.camera),
                     light,
                     computeLightSpaceMatrix(light),
                     cellsOf(level.obstacles),
                     cellsOf(level.redBlocks),
                     cellsOf(level.blueBlocks),
                     goalPosition(level),
                     level.grid.extent,
                     static_cast<float>(seconds),
                     game.modes.wireframe,
                     game.particles,
                     game.particleCount,
                     overlayTexts(game),
                     hintedCellOf(game.puzzle, level)};
}
