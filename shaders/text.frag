#version 330 core
// The glyph bitmap holds coverage in its red channel; blending turns it into
// antialiased edges over the finished picture. Uncovered parts of a quad are
// dropped, so they leave no depth behind to hide the next glyph or line.
in vec2 glyphUv;

uniform sampler2D text;
uniform vec3 textColor;

out vec4 fragColor;

void main() {
    float coverage = texture(text, glyphUv).r;
    if (coverage <= 0.0) {
        discard;
    }
    fragColor = vec4(textColor, coverage);
}
