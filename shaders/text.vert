#version 330 core
// One glyph quad corner: x, y in overlay pixels, u, v in the glyph bitmap.
layout(location = 0) in vec4 vertex;

uniform mat4 projection;

out vec2 glyphUv;

void main() {
    gl_Position = projection * vec4(vertex.xy, 0.0, 1.0);
    glyphUv = vertex.zw;
}
