#include "render/bloom.h"
#include "render/sceneFixture.h"

#include <GL/glew.h>
#include <glm/vec3.hpp>

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace {

using TexelColour = std::function<glm::vec3(int x, int y)>;

void fillHdrTexture(GLuint texture, const TexelColour& colourAt) {
    std::vector<float> texels(std::size_t(windowWidth) * windowHeight * 3);
    for (int y = 0; y < windowHeight; ++y) {
        for (int x = 0; x < windowWidth; ++x) {
            const glm::vec3 colour = colourAt(x, y);
            float* texel = &texels[(std::size_t(y) * windowWidth + x) * 3];
            texel[0] = colour.r;
            texel[1] = colour.g;
            texel[2] = colour.b;
        }
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, windowWidth, windowHeight, GL_RGB, GL_FLOAT,
                    texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

glm::vec3 black(int, int) {
    return glm::vec3(0.0f);
}

// One channel of a blur target, bottom row first.
std::vector<int> blurRed(const Renderer& renderer, int target) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, renderer.targets.blurTargets[target]);
    const std::vector<std::uint8_t> rgba = readPixelsRgba(0, 0, windowWidth, windowHeight);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    std::vector<int> red(std::size_t(windowWidth) * windowHeight);
    for (std::size_t i = 0; i < red.size(); ++i) {
        red[i] = rgba[i * 4];
    }
    return red;
}

int at(const std::vector<int>& image, int x, int y) {
    return image[std::size_t(y) * windowWidth + x];
}

std::vector<std::uint8_t> windowPixels() {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return readPixelsRgba(0, 0, windowWidth, windowHeight);
}

int windowRed(const std::vector<std::uint8_t>& rgba, int x, int y) {
    return rgba[(std::size_t(y) * windowWidth + x) * 4];
}

// What the combine makes of one channel: exposure curve, then gamma 2.2.
int toneMapped(float hdr) {
    const float mapped = 1.0f - std::exp(-hdr);
    return int(std::lround(255.0f * std::pow(mapped, 1.0f / 2.2f)));
}

GLint currentBinding(GLenum query) {
    GLint value = -1;
    glGetIntegerv(query, &value);
    return value;
}

void expectWindowBoundAndNoVertexArray() {
    EXPECT_EQ(currentBinding(GL_DRAW_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(currentBinding(GL_READ_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(currentBinding(GL_VERTEX_ARRAY_BINDING), 0);
}

constexpr int brightX = 500;
constexpr int brightY = 400;

glm::vec3 singleBrightTexel(int x, int y) {
    return x == brightX && y == brightY ? glm::vec3(1.0f) : glm::vec3(0.0f);
}

class BloomTest : public SceneTest {};

} // namespace

TEST_F(BloomTest, SingleBrightTexelSpreadsAcrossAndDownEvenly) {
    fillHdrTexture(renderer.targets.hdrColor[0], black);
    fillHdrTexture(renderer.targets.hdrColor[1], singleBrightTexel);
    renderBloom(renderer);
    expectNoGlError("renderBloom");
    const std::vector<int> blur = blurRed(renderer, 0);

    const int centre = at(blur, brightX, brightY);
    EXPECT_GT(centre, 0);
    for (int d = 1; d <= 3; ++d) {
        SCOPED_TRACE(d);
        EXPECT_GT(at(blur, brightX + d, brightY), 0) << "spread to the right";
        EXPECT_GT(at(blur, brightX, brightY + d), 0) << "spread upwards";
        EXPECT_LE(at(blur, brightX + d, brightY), centre);
        EXPECT_NEAR(at(blur, brightX - d, brightY), at(blur, brightX + d, brightY), 1);
        EXPECT_NEAR(at(blur, brightX, brightY - d), at(blur, brightX, brightY + d), 1);
        EXPECT_NEAR(at(blur, brightX + d, brightY), at(blur, brightX, brightY + d), 1)
            << "as many passes each way";
    }
    EXPECT_EQ(at(blur, brightX + 40, brightY), 0) << "five nine-tap passes reach 20 texels";
    EXPECT_EQ(at(blur, brightX, brightY - 40), 0);
    EXPECT_EQ(at(blur, 10, 10), 0);
}

// A bright row is only widened by the vertical passes, so the ninth pass
// (horizontal) and the tenth (vertical) leave different pictures.
TEST_F(BloomTest, CombineShowsTheLastVerticalPass) {
    fillHdrTexture(renderer.targets.hdrColor[0], black);
    fillHdrTexture(renderer.targets.hdrColor[1],
                   [](int, int y) { return glm::vec3(float(y == brightY)); });
    renderBloom(renderer);
    expectWindowBoundAndNoVertexArray();
    const std::vector<std::uint8_t> window = windowPixels();
    const std::vector<int> vertical = blurRed(renderer, 0);
    const std::vector<int> horizontal = blurRed(renderer, 1);

    int differing = 0;
    for (int y = brightY - 12; y <= brightY + 12; ++y) {
        for (int x = brightX - 12; x <= brightX + 12; ++x) {
            const int expected = toneMapped(at(vertical, x, y) / 255.0f);
            ASSERT_NEAR(windowRed(window, x, y), expected, 2) << x << ", " << y;
            differing += toneMapped(at(horizontal, x, y) / 255.0f) != expected;
        }
    }
    EXPECT_GT(differing, 0) << "the two blur targets must tell apart which one is combined";
}

TEST_F(BloomTest, CombineReadsBlurTargetZeroOnly) {
    fillHdrTexture(renderer.targets.hdrColor[0], [](int, int) { return glm::vec3(0.25f); });
    const GLfloat half[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat full[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.blurTargets[0]);
    glClearBufferfv(GL_COLOR, 0, half);
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.blurTargets[1]);
    glClearBufferfv(GL_COLOR, 0, full);
    combineBloom(renderer);
    const std::vector<std::uint8_t> window = windowPixels();
    const int expected = toneMapped(0.25f + 128.0f / 255.0f);
    EXPECT_NEAR(windowRed(window, 0, 0), expected, 2);
    EXPECT_NEAR(windowRed(window, 512, 384), expected, 2);
    EXPECT_NEAR(windowRed(window, 1023, 767), expected, 2);
}

TEST_F(BloomTest, BlackBrightInputShowsTheToneMappedScene) {
    // Scene values from 0 to 4 across the width: the half-float range above
    // 1 must stay distinguishable after the combine.
    fillHdrTexture(renderer.targets.hdrColor[0],
                   [](int x, int) { return glm::vec3(x / 256.0f, 0.5f, 0.0f); });
    fillHdrTexture(renderer.targets.hdrColor[1], black);
    renderBloom(renderer);
    const std::vector<std::uint8_t> window = windowPixels();
    for (int x : {0, 100, 256, 512, 700, 1023}) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(windowRed(window, x, 300), toneMapped(x / 256.0f), 2);
        EXPECT_NEAR(window[(std::size_t(300) * windowWidth + x) * 4 + 1], toneMapped(0.5f), 2);
        EXPECT_EQ(window[(std::size_t(300) * windowWidth + x) * 4 + 2], 0);
    }
    EXPECT_LT(windowRed(window, 512, 300), windowRed(window, 1023, 300));
    EXPECT_LT(windowRed(window, 1023, 300), 255);
}

TEST_F(BloomTest, WireframeCopyShowsTheSceneColour) {
    fillHdrTexture(renderer.targets.hdrColor[0], [](int x, int y) {
        return x < 512 ? glm::vec3(1.0f, 0.0f, 0.0f) : glm::vec3(0.2f, 0.4f, float(y > 384));
    });
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.hdrTarget);

    showWireframeScene(renderer);
    expectNoGlError("showWireframeScene");
    expectWindowBoundAndNoVertexArray();
    const std::vector<std::uint8_t> window = windowPixels();
    auto pixel = [&](int x, int y) {
        const std::uint8_t* p = &window[(std::size_t(y) * windowWidth + x) * 4];
        return glm::ivec3(p[0], p[1], p[2]);
    };
    EXPECT_EQ(pixel(0, 0), glm::ivec3(255, 0, 0));
    EXPECT_EQ(pixel(511, 767), glm::ivec3(255, 0, 0));
    EXPECT_EQ(pixel(512, 0), glm::ivec3(51, 102, 0));
    EXPECT_EQ(pixel(1023, 767), glm::ivec3(51, 102, 255));
}
