#version 330 core
// Scene colour plus the blurred bright colour, brought from the scene's
// half-float range into the window with an exposure curve and gamma.
in vec2 uv;

uniform sampler2D scene;
uniform sampler2D bloomBlur;

out vec4 fragColor;

const float exposure = 1.0;
const float gamma = 2.2;

void main() {
    vec3 hdr = texture(scene, uv).rgb + texture(bloomBlur, uv).rgb;
    vec3 mapped = vec3(1.0) - exp(-hdr * exposure);
    fragColor = vec4(pow(mapped, vec3(1.0 / gamma)), 1.0);
}
