#include "game/input.h"

#include <algorithm>
#include <cmath>

void applyKeyEvent(InputState& input, const InputEvent& event) {
    if (event.key == Key::unknown) {
        return;
    }
    if (event.kind == InputEvent::Kind::keyPress) {
        input.keys[keyIndex(event.key)] = true;
    } else if (event.kind == InputEvent::Kind::keyRelease) {
        input.keys[keyIndex(event.key)] = false;
    }
}

namespace {

// Pitch stays short of straight up and down, where the view would flip.
void turnCamera(Camera& camera, float yawDegrees, float pitchDegrees) {
    camera.yaw += yawDegrees;
    camera.pitch = std::clamp(camera.pitch + pitchDegrees, -89.0f, 89.0f);
    const float yaw = camera.yaw * degreesToRadians;
    const float pitch = camera.pitch * degreesToRadians;
    camera.front = glm::normalize(glm::vec3(std::cos(yaw) * std::cos(pitch), std::sin(pitch),
                                            std::sin(yaw) * std::cos(pitch)));
}

} // namespace

void handleCursorPos(InputState& input, Camera& camera, const Settings& settings, bool playEnabled,
                     double x, double y) {
    MouseState& mouse = input.mouse;
    if (mouse.firstMouse) {
        // The first event only tells where the cursor is; it turns nothing.
        mouse.lastX = static_cast<float>(x);
        mouse.lastY = static_cast<float>(y);
        mouse.firstMouse = false;
    }
    const float degreesPerPixel = mouseSensitivity * static_cast<float>(settings.mouseSensitivity);
    const float upward = settings.invertY ? -1.0f : 1.0f;
    const float xOffset = static_cast<float>(x - mouse.lastX) * degreesPerPixel;
    const float yOffset = static_cast<float>(mouse.lastY - y) * degreesPerPixel * upward;
    mouse.lastX = static_cast<float>(x);
    mouse.lastY = static_cast<float>(y);
    if (!playEnabled) {
        return;
    }

    turnCamera(camera, xOffset, yOffset);
}

void turnByStick(Camera& camera, const Settings& settings, glm::vec2 look, float deltaTime) {
    if (look == glm::vec2(0.0f)) {
        return;
    }
    const float degrees = stickLookRate * static_cast<float>(settings.mouseSensitivity) * deltaTime;
    const float upward = settings.invertY ? -1.0f : 1.0f;
    turnCamera(camera, look.x * degrees, look.y * degrees * upward);
}

void handleScroll(Camera& camera, double yOffset) {
    if (camera.fov >= 1.0f && camera.fov <= 45.0f) {
        camera.fov = static_cast<float>(camera.fov - yOffset);
    }
    if (camera.fov <= 1.0f) {
        camera.fov = 1.0f;
    } else if (camera.fov >= 45.0f) {
        camera.fov = 45.0f;
    }
}
