#include "game/overview.h"

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>

namespace {

constexpr float lowestPitch = -85.0f;
constexpr float highestPitch = -5.0f;

glm::vec3 roomMiddle(Cell roomSize) {
    return cellCorner(roomSize) * 0.5f;
}

float roomDiagonal(Cell roomSize) {
    return glm::length(cellCorner(roomSize));
}

} // namespace

Overview openOverview(const Camera& player, Cell roomSize) {
    Overview overview;
    overview.active = true;
    overview.yaw = player.yaw;
    overview.pitch = -35.0f;
    overview.distance = 1.15f * roomDiagonal(roomSize);
    overview.firstHiddenLayer = roomSize.y;
    return overview;
}

Camera overviewCamera(const Overview& overview, Cell roomSize, float fov, float aspect) {
    Camera camera;
    camera.yaw = overview.yaw;
    camera.pitch = overview.pitch;
    const float yaw = overview.yaw * degreesToRadians;
    const float pitch = overview.pitch * degreesToRadians;
    camera.front = glm::normalize(glm::vec3(std::cos(yaw) * std::cos(pitch), std::sin(pitch),
                                            std::sin(yaw) * std::cos(pitch)));
    camera.position = roomMiddle(roomSize) - camera.front * overview.distance;
    camera.fov = fov;
    camera.aspect = aspect;
    return camera;
}

void orbit(Overview& overview, float yawDegrees, float pitchDegrees) {
    overview.yaw = std::fmod(overview.yaw + yawDegrees, 360.0f);
    overview.pitch = std::clamp(overview.pitch + pitchDegrees, lowestPitch, highestPitch);
}

void zoomOverview(Overview& overview, float steps, Cell roomSize) {
    const float diagonal = roomDiagonal(roomSize);
    overview.distance =
        std::clamp(overview.distance * std::pow(0.9f, steps), 0.7f * diagonal, 3.0f * diagonal);
}

void peelLayer(Overview& overview, const LayerPieces& pieces) {
    int layer = std::min(overview.firstHiddenLayer, int(pieces.size())) - 1;
    while (layer > 0 && !pieces[std::size_t(layer)]) {
        --layer;
    }
    if (layer >= 1) {
        overview.firstHiddenLayer = layer;
    }
}

void restoreLayer(Overview& overview, const LayerPieces& pieces) {
    const int height = int(pieces.size());
    int layer = std::max(overview.firstHiddenLayer, 0);
    while (layer < height && !pieces[std::size_t(layer)]) {
        ++layer;
    }
    int above = layer + 1;
    while (above < height && !pieces[std::size_t(above)]) {
        ++above;
    }
    overview.firstHiddenLayer = std::min(above, height);
}
