#include "world/movement.h"

#include "app/camera.h"
#include "app/frameState.h"
#include "app/input.h"
#include "world/level.h"

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
glm::vec3 horizontalFront() {
    return unitOrZero(glm::vec3(camera.front.x, 0.0f, camera.front.z));
}

glm::vec3 cameraRight() {
    return unitOrZero(glm::cross(camera.front, camera.up));
}

glm::vec3 movedByHeldKeys(glm::vec3 position, float distance) {
    if (keys[keyW]) {
        position += horizontalFront() * distance;
    }
    if (keys[keyS]) {
        position -= horizontalFront() * distance;
    }
    if (keys[keyA]) {
        position -= cameraRight() * distance;
    }
    if (keys[keyD]) {
        position += cameraRight() * distance;
    }
    if (keys[keyQ]) {
        position.y += distance;
    }
    if (keys[keyE]) {
        position.y -= distance;
    }
    return position;
}

// The toggles flip once in every frame in which their key is held.
void flipHeldToggles() {
    if (keys[keyF2]) {
        showFramerate = !showFramerate;
    }
    if (keys[keyF3]) {
        if (wireframe) {
            wireframe = false;
            if (setFilledPolygonMode != nullptr) {
                setFilledPolygonMode();
            }
        } else {
            wireframe = true;
        }
    }
    if (keys[keyF8]) {
        frustumCulling = !frustumCulling;
    }
}

// Written as "not inside" so that a coordinate with no number goes back too.
float withinBounds(float moved, float fallback) {
    const double value = moved;
    const bool inside = value >= lowerPositionBound && value <= upperPositionBound;
    return inside ? moved : fallback;
}

} // namespace

void processMovement() {
    if (!playEnabled) {
        return;
    }
    const glm::vec3 fallback = camera.position;
    glm::vec3 moved = movedByHeldKeys(fallback, deltaTime * movementSpeed);
    flipHeldToggles();
    // Each axis that leaves the room goes back on its own; the others keep
    // their movement, so the camera slides along the walls.
    moved.x = withinBounds(moved.x, fallback.x);
    moved.y = withinBounds(moved.y, fallback.y);
    moved.z = withinBounds(moved.z, fallback.z);
    // An occupied destination undoes the whole move: no sliding along blocks.
    camera.position = isCellBlocked(moved) ? fallback : moved;
}

void stepBlocks(Direction direction) {
    if (direction == 0) {
        return;
    }
    // Later blocks see the cells that earlier ones left or took.
    for (RedBlock& block : redBlocks) {
        block.step(direction);
    }
    for (BlueBlock& block : blueBlocks) {
        block.step(direction);
    }
}
