#include "game/movement.h"

#include "world/rules.h"

#include <algorithm>
#include <cmath>

bool heldAction(const InputState& input, const KeyBindings& bindings, Action action) {
    const std::vector<Key>& keys = bindings.of(action);
    return std::any_of(keys.begin(), keys.end(), [&input](Key key) { return input.held(key); });
}

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

// Each held key adds its whole direction; the pad adds its tilts.
glm::vec3 movedByHeldKeys(const Camera& camera, const InputState& input,
                          const KeyBindings& bindings, glm::vec3 padFlight, float distance) {
    const auto axis = [&](Action plus, Action minus) {
        return float(heldAction(input, bindings, plus)) - float(heldAction(input, bindings, minus));
    };
    const float forward = axis(Action::forward, Action::back) + padFlight.z;
    const float right = axis(Action::right, Action::left) + padFlight.x;
    const float up = axis(Action::up, Action::down) + padFlight.y;
    glm::vec3 position = camera.position;
    position += horizontalFront(camera) * (forward * distance);
    position += cameraRight(camera) * (right * distance);
    position.y += up * distance;
    return position;
}

// A move that stays in its cell counts as held back when the rules took away
// more than this share of it: a push into a wall or a block, not the hair's
// breadth a view along an axis drifts into the wall beside it. A long frame's
// move cut short at its second cell boundary changes the cell, and is no
// push against anything.
constexpr float heldBackShare = 0.25f;

float lengthOf(glm::vec3 vector) {
    return std::sqrt(vector.x * vector.x + vector.y * vector.y + vector.z * vector.z);
}

} // namespace

void flipHeldToggles(Modes& modes, const InputState& input) {
    if (input.held(Key::f2)) {
        modes.showFramerate = !modes.showFramerate;
    }
    if (input.held(Key::f3)) {
        modes.wireframe = !modes.wireframe;
    }
    if (input.held(Key::f8)) {
        modes.frustumCulling = !modes.frustumCulling;
    }
}

bool processMovement(Camera& camera, Modes& modes, const InputState& input,
                     const MoveControls& controls, const Level& level, float deltaTime) {
    if (!modes.playEnabled) {
        return false;
    }
    const glm::vec3 from = camera.position;
    const glm::vec3 moved = movedByHeldKeys(camera, input, controls.bindings, controls.padFlight,
                                            deltaTime * movementSpeed);
    flipHeldToggles(modes, input);
    camera.position = allowedPosition(level, from, moved);
    return cellOf(camera.position) == cellOf(from) &&
           lengthOf(moved - camera.position) > heldBackShare * lengthOf(moved - from);
}
