#version 330 core
// The lamp is emissive and far brighter than 1 so the bloom makes it glow.

layout(location = 0) out vec4 FragColor;
layout(location = 1) out vec4 BrightColor;

const vec3 lampColor = vec3(6.0, 5.4, 3.9);

void main() {
    FragColor = vec4(lampColor, 1.0);
    BrightColor = vec4(lampColor, 1.0);
}
