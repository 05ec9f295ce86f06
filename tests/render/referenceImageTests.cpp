// Whole frames through every pass, compared with committed pictures.
//
// The pictures in tests/render/reference/ are made by these same tests: run
// them from the repository root with CELLQUEST_REGENERATE_REFERENCES=1 and
// they write the references instead of comparing (and report themselves as
// skipped). Any change to a shader, a texture, a model or the font changes
// the picture, so the references are remade with the change that caused it.
#include "render/sceneFixture.h"

#include "game/camera.h"
#include "game/particles.h"
#include "render/drawFrame.h"

#include <GL/glew.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

// Per channel a difference up to this is rounding; a few more pixels than
// this share may differ more (edges rasterised a hair differently).
constexpr int channelTolerance = 8;
constexpr double outlierShare = 0.005;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

bool regenerating() {
    const char* flag = std::getenv("CELLQUEST_REGENERATE_REFERENCES");
    return flag != nullptr && std::strcmp(flag, "1") == 0;
}

struct Comparison {
    long outliers = 0;
    int largestDifference = 0;
    Picture difference;
};

Comparison compare(const Picture& actual, const Picture& expected) {
    Comparison result;
    result.difference =
        Picture{actual.width, actual.height, std::vector<std::uint8_t>(actual.rgba.size(), 255)};
    for (std::size_t pixel = 0; pixel < actual.rgba.size(); pixel += 4) {
        int largest = 0;
        for (std::size_t channel = 0; channel < 3; ++channel) {
            const int delta =
                std::abs(int(actual.rgba[pixel + channel]) - int(expected.rgba[pixel + channel]));
            largest = std::max(largest, delta);
        }
        result.largestDifference = std::max(result.largestDifference, largest);
        // Differences shown bright on black, beyond the tolerance in red.
        const std::uint8_t shown = static_cast<std::uint8_t>(std::min(255, largest * 8));
        result.difference.rgba[pixel] = largest > channelTolerance ? 255 : shown;
        result.difference.rgba[pixel + 1] = largest > channelTolerance ? 0 : shown;
        result.difference.rgba[pixel + 2] = largest > channelTolerance ? 0 : shown;
        if (largest > channelTolerance) {
            ++result.outliers;
        }
    }
    return result;
}

void expectMatchesReference(const Picture& actual, const std::string& name) {
    const std::string referencePath = sourcePath("tests/render/reference/" + name + ".png");
    if (regenerating()) {
        ASSERT_TRUE(writePngRgba(referencePath, actual.width, actual.height, actual.rgba));
        GTEST_SKIP() << "wrote " << referencePath;
    }
    Picture expected;
    ASSERT_TRUE(readPngRgba(referencePath, expected.width, expected.height, expected.rgba))
        << "no reference picture " << referencePath
        << " (run with CELLQUEST_REGENERATE_REFERENCES=1 to make it)";
    ASSERT_EQ(expected.width, actual.width);
    ASSERT_EQ(expected.height, actual.height);

    const Comparison result = compare(actual, expected);
    const long pixelCount = static_cast<long>(actual.width) * actual.height;
    if (result.outliers > outlierShare * pixelCount) {
        const std::string base = std::string(CELLQUEST_BINARY_DIR) + "/" + name;
        writePngRgba(base + "-actual.png", actual.width, actual.height, actual.rgba);
        writePngRgba(base + "-difference.png", actual.width, actual.height, result.difference.rgba);
        ADD_FAILURE() << result.outliers << " of " << pixelCount << " pixels differ by more than "
                      << channelTolerance << " (largest " << result.largestDifference << "); see "
                      << base << "-actual.png and " << base << "-difference.png";
    }
}

class ReferenceImageTest : public SceneTest {
  protected:
    // The first frame of a new game: start camera and level, a fresh
    // fountain, fixed clock and frame time, and a fixed random sequence for
    // the spawns.
    Picture renderStartFrame(Renderer& renderer, bool wireframeMode) {
        camera = Camera{};
        game.lastFrame = 0.0f;
        wireframe = wireframeMode;
        std::srand(1);
        glClearColor(0.2f, 0.3f, 0.4f, 1.0f);

        // A sixtieth of a second, exactly as a float.
        updateGame(game, FrameInput{1.0 / 60.0, {}, cameraAspect});
        FrameView view = frameView();
        drawFrame(renderer, view);
        glFinish();

        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        Picture picture{windowWidth, windowHeight, readPixelsRgba(0, 0, windowWidth, windowHeight)};
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        return picture;
    }
};

} // namespace

TEST_F(ReferenceImageTest, startFrameMatchesItsReference) {
    expectMatchesReference(renderStartFrame(renderer, false), "startFrame");
}

TEST_F(ReferenceImageTest, wireframeStartFrameMatchesItsReference) {
    expectMatchesReference(renderStartFrame(renderer, true), "startFrameWireframe");
}

TEST_F(ReferenceImageTest, comparisonCountsOnlyDifferencesBeyondTheTolerance) {
    Picture base{4, 1, std::vector<std::uint8_t>(16, 100)};
    Picture changed = base;
    changed.rgba[0] = 100 + channelTolerance;     // at the tolerance: rounding
    changed.rgba[5] = 100 - channelTolerance - 1; // beyond it, in green
    changed.rgba[11] = 0;                         // alpha is not compared
    const Comparison result = compare(changed, base);
    EXPECT_EQ(result.outliers, 1);
    EXPECT_EQ(result.largestDifference, channelTolerance + 1);
    EXPECT_EQ(result.difference.rgba[4], 255); // the outlier shows red
    EXPECT_EQ(result.difference.rgba[5], 0);
}
