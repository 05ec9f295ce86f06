// The text renderer: quad placement and pen movement, the glyph table from
// the real font, what drawing leaves on screen and in GL state, a font that
// cannot be opened and one whose glyphs are far too large.
#include "core/console.h"
#include "assets/modelData/modelFiles.h"
#include "render/textRenderer.h"
#include "game/screen.h"
#include "support/glContext.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace {

struct PixelRect {
    float left, bottom, right, top;
};

PixelRect quadRect(const std::array<float, 24>& quad) {
    PixelRect rect{quad[0], quad[1], quad[0], quad[1]};
    for (int vertex = 0; vertex < 6; ++vertex) {
        rect.left = std::min(rect.left, quad[vertex * 4]);
        rect.right = std::max(rect.right, quad[vertex * 4]);
        rect.bottom = std::min(rect.bottom, quad[vertex * 4 + 1]);
        rect.top = std::max(rect.top, quad[vertex * 4 + 1]);
    }
    return rect;
}

bool inside(const PixelRect& rect, int x, int y, float margin) {
    const float cx = float(x) + 0.5f;
    const float cy = float(y) + 0.5f;
    return cx >= rect.left - margin && cx <= rect.right + margin && cy >= rect.bottom - margin &&
           cy <= rect.top + margin;
}

GLint integerState(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

// The text program as the start-up builds it, with the window's projection.
std::unique_ptr<ShaderProgram> makeTextProgram() {
    auto program =
        std::make_unique<ShaderProgram>("shaders/text.vert", "shaders/text.frag", fatalError);
    const glm::mat4 projection =
        glm::ortho(0.0f, float(windowWidth), 0.0f, float(windowHeight), -1.0f, 1.0f);
    glUseProgram(program->program);
    glUniformMatrix4fv(glGetUniformLocation(program->program, "projection"), 1, GL_FALSE,
                       glm::value_ptr(projection));
    return program;
}

// Draws into an off-screen target of the window's size cleared to transparent black,
// blended as the overlay is.
class TextDrawing : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        textProgram = makeTextProgram();
        glGenFramebuffers(1, &target);
        glGenTextures(1, &colour);
        glBindTexture(GL_TEXTURE_2D, colour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, windowWidth, windowHeight, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, target);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
        ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
        glViewport(0, 0, windowWidth, windowHeight);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        clear();
    }
    void TearDown() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &target);
        glDeleteTextures(1, &colour);
    }
    void clear() {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    std::vector<std::uint8_t> picture() { return readPixelsRgba(0, 0, windowWidth, windowHeight); }
    static int litPixelCount(const std::vector<std::uint8_t>& rgba) {
        int lit = 0;
        for (std::size_t i = 3; i < rgba.size(); i += 4) {
            lit += rgba[i] > 0 ? 1 : 0;
        }
        return lit;
    }
    // The renderer with the game's font, loaded on the test's first call.
    TextRenderer& fontRenderer() {
        if (!gameFont) {
            gameFont.emplace();
            gameFont->loadFont();
        }
        return *gameFont;
    }

    std::unique_ptr<ShaderProgram> textProgram;
    std::optional<TextRenderer> gameFont;
    GLuint target = 0;
    GLuint colour = 0;
};

} // namespace

TEST(GlyphPlacement, QuadCornersFollowBearingSizeAndScale) {
    Glyph glyph;
    glyph.size = glm::ivec2(10, 20);
    glyph.bearing = glm::ivec2(2, 15);
    const std::array<float, 24> quad = glyphQuad(glyph, 100.0f, 50.0f, 2.0f);
    // Left 104, width 20; the glyph hangs 5 pixels (10 scaled) below the baseline.
    const std::array<float, 24> expected = {104, 80, 0, 0, 104, 40, 0, 1, 124, 40, 1, 1,
                                            104, 80, 0, 0, 124, 40, 1, 1, 124, 80, 1, 0};
    EXPECT_EQ(quad, expected);

    Glyph apostrophe; // sits wholly above the baseline
    apostrophe.size = glm::ivec2(4, 6);
    apostrophe.bearing = glm::ivec2(1, 30);
    const PixelRect rect = quadRect(glyphQuad(apostrophe, 0.0f, 100.0f, 0.5f));
    EXPECT_FLOAT_EQ(rect.bottom, 112.0f);
    EXPECT_FLOAT_EQ(rect.top, 115.0f);
    EXPECT_FLOAT_EQ(rect.left, 0.5f);
    EXPECT_FLOAT_EQ(rect.right, 2.5f);
}

TEST(GlyphPlacement, PenMovesByWholePixelsOfTheAdvanceThenScales) {
    Glyph glyph;
    glyph.advance = 1600; // 25 pixels
    EXPECT_FLOAT_EQ(advancePen(glyph, 10.0f, 0.5f), 22.5f);
    glyph.advance = 1620; // 25.3 pixels: the fraction goes
    EXPECT_FLOAT_EQ(advancePen(glyph, 10.0f, 0.5f), 22.5f);
    glyph.advance = 63;
    EXPECT_FLOAT_EQ(advancePen(glyph, 10.0f, 1.0f), 10.0f);
    EXPECT_FLOAT_EQ(advancePen(Glyph{}, 7.0f, 3.0f), 7.0f);
    // The shift is unsigned: a top bit set is a large advance, not a negative one.
    glyph.advance = 0x80000000u;
    EXPECT_FLOAT_EQ(advancePen(glyph, 0.0f, 1.0f), float(0x80000000u >> 6));
}

TEST_F(TextDrawing, TheFontGivesAGlyphForEveryCodeBelow128) {
    TextRenderer& renderer = fontRenderer();
    expectNoGlError("loadFont");
    ASSERT_EQ(renderer.glyphs.size(), 128u);
    EXPECT_EQ(renderer.glyphs.begin()->first, 0);
    EXPECT_EQ(renderer.glyphs.rbegin()->first, 127);
    EXPECT_EQ(integerState(GL_UNPACK_ALIGNMENT), 1);
    EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_EQ(integerState(GL_VERTEX_ARRAY_BINDING), 0);

    const Glyph& capital = renderer.glyphs.at('H');
    EXPECT_GT(capital.size.y, 30); // 48-pixel font: capitals about 35 high
    EXPECT_LT(capital.size.y, 42);
    EXPECT_EQ(capital.bearing.y, capital.size.y); // sits on the baseline
    glBindTexture(GL_TEXTURE_2D, capital.texture);
    GLint width = 0;
    GLint redBits = 0;
    GLint greenBits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_RED_SIZE, &redBits);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_GREEN_SIZE, &greenBits);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(width, capital.size.x);
    EXPECT_EQ(redBits, 8);
    EXPECT_EQ(greenBits, 0);

    const Glyph& descender = renderer.glyphs.at('g');
    EXPECT_LT(descender.bearing.y, descender.size.y);
    const Glyph& space = renderer.glyphs.at(' ');
    EXPECT_EQ(space.size, glm::ivec2(0));
    EXPECT_GT(space.advance >> 6, 5u);

    GLint bufferSize = 0;
    glBindBuffer(GL_ARRAY_BUFFER, renderer.vertexBuffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bufferSize);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(bufferSize, 96);
}

TEST_F(TextDrawing, TextLightsPixelsOnlyInsideItsGlyphQuads) {
    TextRenderer& renderer = fontRenderer();
    const std::string text = "Hg_ W";
    const float scale = 1.0f;
    renderer.drawText(*textProgram, text, 200.0f, 300.0f, scale, glm::vec3(1.0f, 0.5f, 0.0f));
    expectNoGlError("drawText");

    std::vector<PixelRect> rects;
    float pen = 200.0f;
    for (char c : text) {
        const Glyph& glyph = renderer.glyphs.at(c);
        rects.push_back(quadRect(glyphQuad(glyph, pen, 300.0f, scale)));
        pen = advancePen(glyph, pen, scale);
    }
    const std::vector<std::uint8_t> rgba = picture();
    std::vector<int> litPerGlyph(text.size(), 0);
    int litOutside = 0;
    for (int y = 0; y < windowHeight; ++y) {
        for (int x = 0; x < windowWidth; ++x) {
            const std::uint8_t* pixel = &rgba[(std::size_t(y) * windowWidth + x) * 4];
            if (pixel[3] == 0) {
                continue;
            }
            // Orange: green half of red, no blue.
            EXPECT_NEAR(pixel[1], pixel[0] / 2, 2);
            EXPECT_EQ(pixel[2], 0);
            bool covered = false;
            for (std::size_t i = 0; i < rects.size(); ++i) {
                if (inside(rects[i], x, y, 1.0f)) {
                    ++litPerGlyph[i];
                    covered = true;
                }
            }
            litOutside += covered ? 0 : 1;
        }
    }
    EXPECT_EQ(litOutside, 0);
    EXPECT_GT(litPerGlyph[0], 100) << "H";
    EXPECT_GT(litPerGlyph[1], 100) << "g";
    EXPECT_GT(litPerGlyph[2], 20) << "_";
    EXPECT_EQ(rects[3].left, rects[3].right) << "space: an empty quad";
    EXPECT_GT(litPerGlyph[4], 100) << "W";
    // The g and the underscore reach below the baseline.
    EXPECT_LT(rects[1].bottom, 300.0f);
    EXPECT_LT(rects[2].bottom, 300.0f);
}

TEST_F(TextDrawing, EmptyTextDrawsNothingButLeavesTheDrawingState) {
    TextRenderer& renderer = fontRenderer();
    GLuint otherVao = 0;
    GLuint otherTexture = 0;
    glGenVertexArrays(1, &otherVao);
    glGenTextures(1, &otherTexture);
    glBindVertexArray(otherVao);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, otherTexture);
    glActiveTexture(GL_TEXTURE3);
    glUseProgram(0);

    renderer.drawText(*textProgram, "", 10.0f, 10.0f, 1.0f, glm::vec3(0.25f, 0.5f, 0.75f));

    EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), GLint(textProgram->program));
    EXPECT_EQ(integerState(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(integerState(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), 0);
    GLfloat sent[3] = {0, 0, 0};
    glGetUniformfv(textProgram->program, glGetUniformLocation(textProgram->program, "textColor"),
                   sent);
    EXPECT_FLOAT_EQ(sent[0], 0.25f);
    EXPECT_FLOAT_EQ(sent[1], 0.5f);
    EXPECT_FLOAT_EQ(sent[2], 0.75f);
    EXPECT_EQ(litPixelCount(picture()), 0);
    glDeleteVertexArrays(1, &otherVao);
    glDeleteTextures(1, &otherTexture);
}

TEST_F(TextDrawing, BytesAbove127GetAnEmptyEntryAndDoNotMoveThePen) {
    TextRenderer& renderer = fontRenderer();
    const glm::vec3 white(1.0f);
    renderer.drawText(*textProgram, "AV", 300.0f, 400.0f, 0.75f, white);
    const std::vector<std::uint8_t> plain = picture();
    ASSERT_GT(litPixelCount(plain), 0);

    clear();
    const std::size_t glyphsBefore = renderer.glyphs.size();
    renderer.drawText(*textProgram,
                      "\xC3"
                      "A\xA9V\xFF",
                      300.0f, 400.0f, 0.75f, white);
    EXPECT_EQ(picture(), plain);
    EXPECT_EQ(renderer.glyphs.size(), glyphsBefore + 3);
    for (const char byte : {'\xC3', '\xA9', '\xFF'}) {
        const auto entry = renderer.glyphs.find(static_cast<signed char>(byte));
        ASSERT_NE(entry, renderer.glyphs.end());
        EXPECT_EQ(entry->second.texture, 0u);
        EXPECT_EQ(entry->second.size, glm::ivec2(0));
        EXPECT_EQ(entry->second.advance, 0u);
    }
}

TEST_F(TextDrawing, AFontThatCannotBeOpenedLeavesAWorkingRendererThatDrawsNothing) {
    TextRenderer renderer;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    testing::internal::CaptureStdout();
    renderer.loadFont("fonts/no-such-font.ttf");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR::FREETYPE: Failed to load font\n");
    EXPECT_TRUE(renderer.glyphs.empty());
    EXPECT_EQ(integerState(GL_UNPACK_ALIGNMENT), 1);
    EXPECT_TRUE(glIsVertexArray(renderer.vertexArray));
    EXPECT_TRUE(glIsBuffer(renderer.vertexBuffer));

    renderer.drawText(*textProgram, "Hello", 100.0f, 100.0f, 1.0f, glm::vec3(1.0f));
    expectNoGlError("drawing without a font");
    EXPECT_EQ(litPixelCount(picture()), 0);
    EXPECT_EQ(renderer.glyphs.size(), 4u); // H, e, l, o
}

namespace {

std::uint32_t bigEndian32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// The seed font of the font fuzzer with another units-per-em value in its
// head table: outlines scale by 1024 / unitsPerEm against the original.
std::string seedFontWithUnitsPerEm(std::uint16_t unitsPerEm) {
    std::string font = fileBytes(sourcePath("tests/fuzz/corpus/fontFuzz/tinyTrueType.ttf"));
    const std::size_t tableCount =
        static_cast<unsigned char>(font.at(4)) << 8 | static_cast<unsigned char>(font.at(5));
    for (std::size_t entry = 12; entry < 12 + 16 * tableCount; entry += 16) {
        if (font.compare(entry, 4, "head") == 0) {
            const std::size_t unitsAt = bigEndian32(font, entry + 8) + 18;
            font.at(unitsAt) = static_cast<char>(unitsPerEm >> 8);
            font.at(unitsAt + 1) = static_cast<char>(unitsPerEm & 0xFF);
        }
    }
    return font;
}

} // namespace

// A damaged font whose outlines are far larger than the 48-pixel size asks
// for (found by fuzzing: FreeType drew one glyph into a 190 MB bitmap). With
// 16 units per em instead of 1024 the seed font's square is 1200 pixels
// across: every such glyph is refused with the glyph line before FreeType
// draws it, and only the empty space glyph is left.
TEST_F(TextDrawing, GlyphsFarLargerThanTheFontSizeAreRefusedBeforeTheyAreDrawn) {
    const std::string failedGlyph = "ERROR::FREETYTPE: Failed to load Glyph\n";
    ScratchFolder scratch;
    TextRenderer usual;
    testing::internal::CaptureStdout();
    usual.loadFont(scratch.write("seedFont.ttf", seedFontWithUnitsPerEm(1024)).c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(usual.glyphs.size(), 128u);

    TextRenderer huge;
    testing::internal::CaptureStdout();
    huge.loadFont(scratch.write("hugeOutlines.ttf", seedFontWithUnitsPerEm(16)).c_str());
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(countOccurrences(output, failedGlyph), 127) << output;
    EXPECT_EQ(output.size(), 127u * failedGlyph.size());
    ASSERT_EQ(huge.glyphs.size(), 1u);
    EXPECT_EQ(huge.glyphs.count(' '), 1u);
    EXPECT_EQ(huge.glyphs[' '].advance >> 6, 900u); // 300 units at 3 pixels each

    huge.drawText(*textProgram, "A;A", 100.0f, 100.0f, 1.0f, glm::vec3(1.0f));
    expectNoGlError("drawing with refused glyphs");
    EXPECT_EQ(litPixelCount(picture()), 0);
}

// Outlines on both sides of the limit: at 32 units per em the square is 600
// pixels across and loads, the taller glyphs reach 1050 and are refused.
TEST_F(TextDrawing, TheGlyphLimitHoldsForEveryLoadedBitmap) {
    ScratchFolder scratch;
    for (std::uint16_t unitsPerEm : {1024, 256, 64, 32}) {
        TextRenderer renderer;
        testing::internal::CaptureStdout();
        renderer.loadFont(
            scratch.write("scaledFont.ttf", seedFontWithUnitsPerEm(unitsPerEm)).c_str());
        testing::internal::GetCapturedStdout();
        for (const auto& [code, glyph] : renderer.glyphs) {
            EXPECT_LE(glyph.size.x, maxGlyphSide) << int(code) << " at " << unitsPerEm;
            EXPECT_LE(glyph.size.y, maxGlyphSide) << int(code) << " at " << unitsPerEm;
        }
        EXPECT_FALSE(renderer.glyphs.empty()) << unitsPerEm;
    }
}
