// The glyph textures as the text shader samples them: one red channel of
// coverage, edges clamped so that a quad's border does not pick up the far
// side of the bitmap, and linear filtering for the scaled-down overlay text.
#include "render/textRenderer.h"
#include "support/glContext.h"

#include <GL/glew.h>

#include <sstream>
#include <string>

namespace {

// One property of a glyph texture: where GL keeps it and what it must be.
struct GlyphProperty {
    const char* label;
    bool ofTheImage; // a level parameter of the bitmap, not a sampling one
    GLenum name;
    GLint expected;
};

const GlyphProperty glyphProperties[] = {
    {"internal format", true, GL_TEXTURE_INTERNAL_FORMAT, GL_RED},
    {"wrap s", false, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE},
    {"wrap t", false, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE},
    {"min filter", false, GL_TEXTURE_MIN_FILTER, GL_LINEAR},
    {"mag filter", false, GL_TEXTURE_MAG_FILTER, GL_LINEAR},
};

GLint propertyOfBoundTexture(const GlyphProperty& property) {
    GLint value = -1;
    if (property.ofTheImage) {
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, property.name, &value);
    } else {
        glGetTexParameteriv(GL_TEXTURE_2D, property.name, &value);
    }
    return value;
}

// A glyph without a bitmap (the space, the control codes) has an empty image,
// whose format GL does not keep; its sampling parameters still count.
bool hasBitmap(const Glyph& glyph) {
    return glyph.size.x > 0 && glyph.size.y > 0;
}

std::string hexText(GLint value) {
    std::ostringstream text;
    text << "0x" << std::hex << value;
    return text.str();
}

class GlyphTextures : public GlTest {
  protected:
    TextRenderer renderer;
};

} // namespace

TEST_F(GlyphTextures, EveryGlyphIsRedOnlyClampedAndLinear) {
    renderer.loadFont();
    ASSERT_EQ(renderer.glyphs.size(), 128u);
    int withBitmap = 0;
    for (const auto& entry : renderer.glyphs) {
        ASSERT_NE(entry.second.texture, 0u) << "character code " << int(entry.first);
        withBitmap += hasBitmap(entry.second) ? 1 : 0;
    }
    // Every printable character but the space is drawn.
    EXPECT_GE(withBitmap, 94);

    for (const GlyphProperty& property : glyphProperties) {
        int checked = 0;
        int wrong = 0;
        std::string firstWrong;
        for (const auto& [code, glyph] : renderer.glyphs) {
            if (property.ofTheImage && !hasBitmap(glyph)) {
                continue;
            }
            glBindTexture(GL_TEXTURE_2D, glyph.texture);
            const GLint value = propertyOfBoundTexture(property);
            ++checked;
            if (value != property.expected) {
                if (wrong++ == 0) {
                    firstWrong =
                        "character code " + std::to_string(int(code)) + " has " + hexText(value);
                }
            }
        }
        EXPECT_EQ(wrong, 0) << property.label << " of " << wrong << " of " << checked
                            << " glyph textures is not " << hexText(property.expected) << "; "
                            << firstWrong;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    expectNoGlError("glyph queries");
}
