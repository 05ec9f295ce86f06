// Glyph textures from FreeType and one textured quad per character. Blending
// and depth testing are the caller's: the overlay relies on alpha blending.
#include "render/textRenderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <iostream>

namespace {

constexpr FT_UInt glyphPixelHeight = 48;
constexpr int glyphCodeCount = 128;
constexpr GLsizeiptr quadBytes = 6 * 4 * sizeof(float);

Glyph uploadGlyph(const FT_GlyphSlot slot) {
    Glyph glyph;
    glyph.texture = GlTexture::make();
    glBindTexture(GL_TEXTURE_2D, glyph.texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, GLsizei(slot->bitmap.width), GLsizei(slot->bitmap.rows),
                 0, GL_RED, GL_UNSIGNED_BYTE, slot->bitmap.buffer);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glyph.size = glm::ivec2(int(slot->bitmap.width), int(slot->bitmap.rows));
    glyph.bearing = glm::ivec2(slot->bitmap_left, slot->bitmap_top);
    glyph.advance = GLuint(slot->advance.x);
    return glyph;
}

bool fitsGlyphLimit(FT_Pos width, FT_Pos height) {
    return width <= maxGlyphSide && height <= maxGlyphSide;
}

// The outline's control box, in whole pixels with one more on each side for
// rounding, bounds the bitmap that rendering would allocate. Glyphs a font
// stores as bitmaps arrive already drawn; they are checked after loading.
bool outlineFits(const FT_GlyphSlot slot) {
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) {
        return true;
    }
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    return fitsGlyphLimit((box.xMax - box.xMin) / 64 + 2, (box.yMax - box.yMin) / 64 + 2);
}

// The same bitmap as loading with FT_LOAD_RENDER, measured before it is drawn.
bool loadGlyph(FT_Face face, int code) {
    const FT_GlyphSlot slot = face->glyph;
    return FT_Load_Char(face, FT_ULong(code), FT_LOAD_DEFAULT) == 0 && outlineFits(slot) &&
           FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0 &&
           fitsGlyphLimit(FT_Pos(slot->bitmap.width), FT_Pos(slot->bitmap.rows));
}

void loadGlyphs(FT_Face face, std::map<signed char, Glyph>& glyphs) {
    for (int code = 0; code < glyphCodeCount; ++code) {
        if (!loadGlyph(face, code)) {
            std::cout << "ERROR::FREETYTPE: Failed to load Glyph" << std::endl;
            continue;
        }
        glyphs[static_cast<signed char>(code)] = uploadGlyph(face->glyph);
    }
}

} // namespace

std::array<float, 24> glyphQuad(const Glyph& glyph, float x, float y, float scale) {
    const float xpos = x + float(glyph.bearing.x) * scale;
    // Glyphs that hang below the baseline start lower by their overhang.
    const float ypos = y - float(glyph.size.y - glyph.bearing.y) * scale;
    const float w = float(glyph.size.x) * scale;
    const float h = float(glyph.size.y) * scale;
    // Texture v = 0 is the bitmap's top row.
    return {xpos, ypos + h, 0.0f, 0.0f, xpos,     ypos, 0.0f, 1.0f, xpos + w, ypos,     1.0f, 1.0f,
            xpos, ypos + h, 0.0f, 0.0f, xpos + w, ypos, 1.0f, 1.0f, xpos + w, ypos + h, 1.0f, 0.0f};
}

float advancePen(const Glyph& glyph, float x, float scale) {
    // Whole pixels only: the fraction is dropped before scaling.
    return x + float(glyph.advance >> 6) * scale;
}

void TextRenderer::loadFont(const char* fontPath) {
    FT_Library library = nullptr;
    const bool libraryReady = FT_Init_FreeType(&library) == 0;
    if (!libraryReady) {
        std::cout << "ERROR::FREETYPE: Could not init FreeType Library" << std::endl;
    }
    FT_Face face = nullptr;
    // A handle that failed to open is never handed on: no face, no glyphs.
    const bool faceReady = libraryReady && FT_New_Face(library, fontPath, 0, &face) == 0;
    if (libraryReady && !faceReady) {
        std::cout << "ERROR::FREETYPE: Failed to load font" << std::endl;
    }
    // Glyph rows are tightly packed; later uploads rely on this setting too.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (faceReady) {
        FT_Set_Pixel_Sizes(face, 0, glyphPixelHeight);
        loadGlyphs(face, glyphs);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    if (faceReady) {
        FT_Done_Face(face);
    }
    if (libraryReady) {
        FT_Done_FreeType(library);
    }

    vertexArray = GlVertexArray::make();
    vertexBuffer = GlBuffer::make();
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, quadBytes, nullptr, GL_DYNAMIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void TextRenderer::drawText(const ShaderProgram& textProgram, std::string text, float x, float y,
                            float scale, glm::vec3 colour) {
    const GLuint program = textProgram.program;
    glUseProgram(program);
    glUniform3f(glGetUniformLocation(program, "textColor"), colour.x, colour.y, colour.z);
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(vertexArray);
    for (const char byte : text) {
        // A code without an entry gets an all-zero glyph: nothing drawn, no advance.
        const Glyph& glyph = glyphs[static_cast<signed char>(byte)];
        const std::array<float, 24> quad = glyphQuad(glyph, x, y, scale);
        glBindTexture(GL_TEXTURE_2D, glyph.texture);
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
        glBufferSubData(GL_ARRAY_BUFFER, 0, quadBytes, quad.data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        x = advancePen(glyph, x, scale);
    }
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
}
