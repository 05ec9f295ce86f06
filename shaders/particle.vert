#version 330 core
// Camera-facing billboard: the quad corner is spread along the camera's right
// and up vectors, scaled by the instance size, around the instance centre.
layout(location = 0) in vec3 corner;
layout(location = 1) in vec4 centreAndSize;
layout(location = 2) in vec4 color;

uniform vec3 CameraRight_worldspace;
uniform vec3 CameraUp_worldspace;
uniform mat4 view;
uniform mat4 projection;

out vec2 cornerOffset;
out vec4 particleColor;

void main() {
    float size = centreAndSize.w;
    vec3 worldPosition = centreAndSize.xyz + CameraRight_worldspace * corner.x * size +
                         CameraUp_worldspace * corner.y * size;
    cornerOffset = corner.xy;
    particleColor = color;
    gl_Position = projection * view * vec4(worldPosition, 1.0);
}
