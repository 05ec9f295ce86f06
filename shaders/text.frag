#version 330 core
// The glyph bitmap holds coverage in its red channel; blending turns it into
// antialiased edges over the finished picture.
in vec2 glyphUv;

uniform sampler2D text;
uniform vec3 textColor;

out vec4 fragColor;

void main() {
    float coverage = texture(text, glyphUv).r;
    fragColor = vec4(textColor, 1.0) * vec4(1.0, 1.0, 1.0, coverage);
}
