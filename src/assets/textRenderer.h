// Text in a 1024 x 768 pixel space with the origin at the bottom left: one
// glyph texture per character code 0..127, one quad per character.
#pragma once

#include <GL/glew.h>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <array>
#include <map>
#include <string>

struct Glyph {
    GLuint texture = 0;
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

class TextRenderer {
  public:
    std::map<signed char, Glyph> glyphs;
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;

    void loadFont(const char* fontPath = "fonts/arial.ttf");
    void drawText(std::string text, float x, float y, float scale, glm::vec3 colour);
};
