#include "render/frameView.h"

#include "render/shadowMap.h"

#include <glm/geometric.hpp>

namespace {

// The cells below the first hidden layer (every cell when none is hidden).
template <class Object>
std::vector<Cell> cellsOf(const std::vector<Object>& objects, int firstHiddenLayer) {
    std::vector<Cell> cells;
    cells.reserve(objects.size());
    for (const Object& object : objects) {
        if (object.cell.y < firstHiddenLayer) {
            cells.push_back(object.cell);
        }
    }
    return cells;
}

std::optional<PlayerMarker> playerMarkerOf(const GameState& game) {
    if (!game.overview.active) {
        return std::nullopt;
    }
    const glm::vec3 front(game.camera.front.x, 0.0f, game.camera.front.z);
    const float length = glm::length(front);
    const glm::vec3 facing = length > 0.0f ? front / length : glm::vec3(0.0f, 0.0f, -1.0f);
    return PlayerMarker{cellCentre(game.level.player.cell), facing};
}

std::optional<Cell> editorCursorOf(const GameState& game) {
    return editorShown(game.editor) ? std::optional<Cell>(game.editor.cursor) : std::nullopt;
}

// The proof's idle pieces, but for those on the peeled layers.
std::vector<Cell> idleCellsOf(const GameState& game) {
    std::vector<Cell> cells;
    const EditorProof& proof = game.editor.proof;
    if (!editorShown(game.editor) || proof.status != EditorProof::Status::done) {
        return cells;
    }
    for (Cell cell : proof.answer.idleCells) {
        if (cell.y < game.overview.firstHiddenLayer) {
            cells.push_back(cell);
        }
    }
    return cells;
}

} // namespace

FrameView frameViewOf(const GameState& game, double seconds) {
    const Level& level = game.level;
    const glm::vec3 light = lightPositionFor(level.grid.extent);
    const Camera camera = viewingCamera(game);
    const int firstHiddenLayer =
        game.overview.active ? game.overview.firstHiddenLayer : level.grid.extent.y;
    return FrameView{camera,
                     viewMatrix(camera),
                     projectionMatrix(camera),
                     light,
                     computeLightSpaceMatrix(light),
                     cellsOf(level.obstacles, firstHiddenLayer),
                     cellsOf(level.redBlocks, firstHiddenLayer),
                     cellsOf(level.blueBlocks, firstHiddenLayer),
                     goalPosition(level),
                     level.grid.extent,
                     static_cast<float>(seconds),
                     game.modes.wireframe,
                     game.particles,
                     game.particleCount,
                     overlayTexts(game),
                     hintedCellOf(game.puzzle, level),
                     showsBlockMarks(game),
                     game.overview.active,
                     playerMarkerOf(game),
                     editorCursorOf(game),
                     idleCellsOf(game)};
}
