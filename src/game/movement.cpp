#include "game/movement.h"

#include "world/rules.h"

#include <cmath>

namespace {

// Unit length with the length's root taken in double precision. A vector of
// no length (a view straight up or down) gives no direction at all rather
// than a position with no number in it.
glm::vec3 unitOrZero(glm::vec3 vector) {
    const float squaredLength = vector.x * vector.x + vector.y * vector.y + vector.z * vector.z;
    const double length = std::sqrt(static_cast<double>(squaredLength));
    if (length == 0.0) {
        return glm::vec3(0.0f);
    }
    const float reciprocal = 1.0f / static_cast<float>(length);
    return vector * reciprocal;
}

// Forward movement stays on the floor plane whatever the pitch.
glm::vec3 horizontalFront(const Camera& camera) {
    return unitOrZero(glm::vec3(camera.front.x, 0.0f, camera.front.z));
}

glm::vec3 cameraRight(const Camera& camera) {
    return unitOrZero(glm::cross(camera.front, camera.up));
}

glm::vec3 movedByHeldKeys(const Camera& camera, const InputState& input, float distance) {
    const auto& keys = input.keys;
    glm::vec3 position = camera.position;
    if (keys[keyW]) {
        position += horizontalFront(camera) * distance;
    }
    if (keys[keyS]) {
        position -= horizontalFront(camera) * distance;
    }
    if (keys[keyA]) {
        position -= cameraRight(camera) * distance;
    }
    if (keys[keyD]) {
        position += cameraRight(camera) * distance;
    }
    if (keys[keyQ]) {
        position.y += distance;
    }
    if (keys[keyE]) {
        position.y -= distance;
    }
    return position;
}

// The toggles flip once in every frame in which their key is held. Returns
// true when wireframe was switched off.
bool flipHeldToggles(Modes& modes, const InputState& input) {
    const auto& keys = input.keys;
    if (keys[keyF2]) {
        modes.showFramerate = !modes.showFramerate;
    }
    const bool wireframeTurnedOff = keys[keyF3] && modes.wireframe;
    if (keys[keyF3]) {
        modes.wireframe = !modes.wireframe;
    }
    if (keys[keyF8]) {
        modes.frustumCulling = !modes.frustumCulling;
    }
    return wireframeTurnedOff;
}

} // namespace

bool processMovement(Camera& camera, Modes& modes, const InputState& input, const Level& level,
                     float deltaTime) {
    if (!modes.playEnabled) {
        return false;
    }
    const glm::vec3 from = camera.position;
    const glm::vec3 moved = movedByHeldKeys(camera, input, deltaTime * movementSpeed);
    const bool wireframeTurnedOff = flipHeldToggles(modes, input);
    camera.position = allowedPosition(level, from, moved);
    return wireframeTurnedOff;
}
