#version 330 core
// One glyph quad corner: x, y in overlay pixels, u, v in the glyph bitmap.
// The overlay lies on the near plane: the full-screen passes before it leave
// their own depth in the window, and text must never hide behind it.
layout(location = 0) in vec4 vertex;

uniform mat4 projection;

out vec2 glyphUv;

void main() {
    vec4 position = projection * vec4(vertex.xy, 0.0, 1.0);
    gl_Position = vec4(position.xy, -position.w, position.w);
    glyphUv = vertex.zw;
}
