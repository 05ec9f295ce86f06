#include "render/frameView.h"

namespace {

template <class Object>
std::vector<Cell> cellsOf(const std::vector<Object>& objects) {
    std::vector<Cell> cells;
    cells.reserve(objects.size());
    for (const Object& object : objects) {
        cells.push_back(object.cell);
    }
    return cells;
}

} // namespace

FrameView frameViewOf(GameState& game, double (*gameClock)()) {
    const Level& level = game.level;
    return FrameView{game.camera,
                     cellsOf(level.obstacles),
                     cellsOf(level.redBlocks),
                     cellsOf(level.blueBlocks),
                     goalPosition(level),
                     level.grid.extent,
                     gameClock,
                     game.deltaTime,
                     game.modes.wireframe,
                     game.particles,
                     overlayLines(game)};
}
