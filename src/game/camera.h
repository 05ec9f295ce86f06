// The first-person camera: the mouse turns it, the wheel zooms it, the keys
// move it (game/movement). Angles in degrees.
#pragma once

#include "world/levelLayout.h"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

constexpr float degreesToRadians = 0.017453292f;
constexpr float cameraAspect = 1.3333334f;
constexpr float cameraNear = 0.1f;
constexpr float cameraFar = 100.0f;
// The camera starts at the lowest corner of the player's start cell.
inline glm::vec3 cameraStartFor(const LevelLayout& layout) {
    return cellCorner(layout.playerStart);
}
inline const glm::vec3 cameraStartPosition = cameraStartFor(builtInLayout());

struct Camera {
    glm::vec3 position = cameraStartPosition;
    glm::vec3 front = glm::vec3(0.0f, 0.0f, -1.0f);
    glm::vec3 up = glm::vec3(0.0f, 1.0f, 0.0f);
    float yaw = -90.0f;
    float pitch = 0.0f;
    float fov = 45.0f;
    // Width over height of the picture; the app keeps it on the picture's.
    float aspect = cameraAspect;
};

// A camera at the level's start, looking down the room as at every start.
Camera cameraAtStart(const LevelLayout& layout);
// The camera back at the level's start position and orientation; its zoom
// and the picture's aspect stay.
void returnToStart(Camera& camera, const LevelLayout& layout);

// Right-handed look-at from position towards position + front.
glm::mat4 viewMatrix(const Camera& camera);
// Perspective with the camera's fov and aspect, near 0.1, far 100.
glm::mat4 projectionMatrix(const Camera& camera);
