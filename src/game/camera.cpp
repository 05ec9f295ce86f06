#include "game/camera.h"

#include <cmath>

Camera cameraAtStart(const LevelLayout& layout) {
    Camera camera;
    camera.position = cameraStartFor(layout);
    return camera;
}

void returnToStart(Camera& camera, const LevelLayout& layout) {
    const Camera start = cameraAtStart(layout);
    camera.position = start.position;
    camera.front = start.front;
    camera.up = start.up;
    camera.yaw = start.yaw;
    camera.pitch = start.pitch;
}

glm::mat4 viewMatrix(const Camera& cam) {
    const glm::vec3 eye = cam.position;
    const glm::vec3 f = glm::normalize((cam.position + cam.front) - eye);
    const glm::vec3 s = glm::normalize(glm::cross(f, cam.up));
    const glm::vec3 u = glm::cross(s, f);
    glm::mat4 view(1.0f);
    for (int column = 0; column < 3; ++column) {
        view[column][0] = s[column];
        view[column][1] = u[column];
        view[column][2] = -f[column];
    }
    view[3][0] = -glm::dot(s, eye);
    view[3][1] = -glm::dot(u, eye);
    view[3][2] = glm::dot(f, eye);
    return view;
}

glm::mat4 projectionMatrix(const Camera& cam) {
    const float h = std::tan(cam.fov * degreesToRadians * 0.5f);
    glm::mat4 projection(0.0f);
    projection[0][0] = 1.0f / (h * cam.aspect);
    projection[1][1] = 1.0f / h;
    projection[2][2] = -(cameraFar + cameraNear) / (cameraFar - cameraNear);
    projection[2][3] = -1.0f;
    projection[3][2] = -(2.0f * cameraFar * cameraNear) / (cameraFar - cameraNear);
    return projection;
}
