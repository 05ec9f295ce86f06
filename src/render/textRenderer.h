// Text in the window's pixel space with the origin at the bottom left: one
// glyph texture per character code 0..127, one quad per character, drawn with
// the text program.
#pragma once

#include "assets/glObject.h"
#include "render/shaderProgram.h"

#include <GL/glew.h>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <array>
#include <map>
#include <string>

struct Glyph {
    GlTexture texture;
    glm::ivec2 size = glm::ivec2(0);
    glm::ivec2 bearing = glm::ivec2(0);
    GLuint advance = 0; // 1/64 pixel
};

// The largest glyph bitmap side, in pixels, that a font may give. A 48-pixel
// glyph is a few dozen pixels across; a damaged font can describe outlines
// thousands of times larger, which FreeType would render into a bitmap of
// hundreds of megabytes. Such glyphs are refused before they are rendered.
constexpr int maxGlyphSide = 768;

// The six (x, y, u, v) vertices of one glyph's quad with the pen at (x, y).
std::array<float, 24> glyphQuad(const Glyph& glyph, float x, float y, float scale);
// The pen's x after the glyph: whole pixels of the advance, then the scale.
float advancePen(const Glyph& glyph, float x, float scale);

// The overlay's font, relative to the asset root.
inline constexpr const char* gameFontFile = "fonts/arial.ttf";

class TextRenderer {
  public:
    // In the order they are made, so they are deleted in the reverse.
    std::map<signed char, Glyph> glyphs;
    GlVertexArray vertexArray;
    GlBuffer vertexBuffer;

    void loadFont(const char* fontPath = gameFontFile);
    // Draws with textProgram, whose projection its maker has set; leaves it
    // current.
    void drawText(const ShaderProgram& textProgram, std::string text, float x, float y, float scale,
                  glm::vec3 colour);
};
