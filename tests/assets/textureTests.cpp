// Textures from image files: exact uploads whatever the row length, and the
// placeholder for files that cannot be decoded.
#include "assets/image.h"
#include "assets/texture.h"
#include "core/scratchFolder.h"
#include "support/glContext.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path scratchDirectory(const std::string& name) {
    static const ScratchFolder root("cellquestTextureTests");
    const fs::path directory = fs::path(root.folder()) / name;
    fs::create_directories(directory);
    return directory;
}

std::vector<unsigned char> levelPixels(GLuint texture, int level, int width, int height) {
    std::vector<unsigned char> pixels(std::size_t(width) * height * 3);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

void expectRepeatTrilinear(GLuint texture) {
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
}

// Top-row-first RGB as writePngRgba takes it: opaque RGBA, bottom row first.
std::vector<std::uint8_t> opaqueBottomRowFirst(const std::vector<unsigned char>& rgb, int width,
                                               int height) {
    std::vector<std::uint8_t> rgba;
    for (int row = height - 1; row >= 0; --row) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* pixel = &rgb[(std::size_t(row) * width + x) * 3];
            rgba.insert(rgba.end(), {pixel[0], pixel[1], pixel[2], 255});
        }
    }
    return rgba;
}

GLint boundTexture() {
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

class TextureFromFile : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        glGenTextures(1, &texture);
    }
    void TearDown() override { glDeleteTextures(1, &texture); }
    GLuint texture = 0;
};

} // namespace

TEST_F(TextureFromFile, RowsOfAnyLengthUploadWithoutSkewAndWithMipmaps) {
    const int width = 7; // 21-byte rows
    const int height = 5;
    std::vector<unsigned char> rgb(width * height * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = static_cast<unsigned char>(i * 11 + 5);
    }
    const std::string path = (scratchDirectory("odd") / "odd.png").string();
    ASSERT_TRUE(writePngRgba(path, width, height, opaqueBottomRowFirst(rgb, width, height)));

    // Even a caller that left the default alignment of 4 gets exact rows.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    EXPECT_TRUE(fillTextureFromFile(texture, path));
    expectNoGlError("fillTextureFromFile");
    EXPECT_EQ(boundTexture(), 0);
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_WIDTH), width);
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_HEIGHT), height);
    EXPECT_EQ(levelPixels(texture, 0, width, height), rgb);
    // 7 x 5, 3 x 2, 1 x 1: the whole chain exists.
    EXPECT_EQ(levelParameter(texture, 1, GL_TEXTURE_WIDTH), 3);
    EXPECT_EQ(levelParameter(texture, 2, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(levelParameter(texture, 2, GL_TEXTURE_HEIGHT), 1);
    expectRepeatTrilinear(texture);
}

TEST_F(TextureFromFile, UndecodableFilesGetTheCheckerboardAndOneLine) {
    const fs::path directory = scratchDirectory("bad");
    const std::string truncated = (directory / "truncated.png").string();
    {
        std::ofstream out(truncated, std::ios::binary);
        out << "\x89PNG\r\n\x1a\n";
    }
    for (const std::string& path : {std::string("no/such/image.png"), truncated}) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(fillTextureFromFile(texture, path));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "failed to load texture: " + path + "\n");
        expectNoGlError("placeholder upload");
        EXPECT_EQ(boundTexture(), 0);
        ASSERT_EQ(levelParameter(texture, 0, GL_TEXTURE_WIDTH), placeholderSize);
        ASSERT_EQ(levelParameter(texture, 0, GL_TEXTURE_HEIGHT), placeholderSize);
        EXPECT_EQ(levelParameter(texture, 3, GL_TEXTURE_WIDTH), 1);
        expectRepeatTrilinear(texture);

        const std::vector<unsigned char> pixels =
            levelPixels(texture, 0, placeholderSize, placeholderSize);
        int magenta = 0;
        for (int i = 0; i < placeholderSize * placeholderSize; ++i) {
            const unsigned char* pixel = &pixels[i * 3];
            EXPECT_EQ(pixel[1], 0);
            EXPECT_EQ(pixel[0], pixel[2]);
            magenta += pixel[0] == 255 ? 1 : 0;
        }
        EXPECT_EQ(magenta, placeholderSize * placeholderSize / 2);
        // Neighbouring checks differ: the first pixel and the one two to its right.
        EXPECT_NE(pixels[0], pixels[2 * 3]);
    }
}
