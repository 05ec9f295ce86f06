// The structure of a frame's work, seen from its results: the bloom's ten
// blur passes, alternating and horizontal first; no particle step in a
// wireframe frame; and the OpenGL core profile context of the game's window.
#include "game/particles.h"
#include "platform/window.h"
#include "render/bloom.h"
#include "render/drawFrame.h"
#include "render/sceneFixture.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Blur passes

// A sharp edge, dark below and bright from texel `edge` on, blurred by
// `passes` one-directional passes as the blur shader makes them: the binomial
// row 1 8 28 56 70 56 28 8 1 (/256) over whole texels, the edge texel
// repeated past the border, and every pass stored in the blur targets' eight
// bits per channel before the next one reads it. Each pass widens and
// flattens the edge by a few levels, so its shape tells how many passes of
// that direction the picture went through.
std::vector<int> simulatedEdge(int length, int edge, int passes) {
    const float weights[5] = {70.0f / 256.0f, 56.0f / 256.0f, 28.0f / 256.0f, 8.0f / 256.0f,
                              1.0f / 256.0f};
    std::vector<float> values(length);
    for (int i = 0; i < length; ++i) {
        values[i] = i >= edge ? 1.0f : 0.0f;
    }
    for (int pass = 0; pass < passes; ++pass) {
        std::vector<float> blurred(length);
        for (int i = 0; i < length; ++i) {
            float sum = values[i] * weights[0];
            for (int tap = 1; tap < 5; ++tap) {
                sum += (values[std::min(i + tap, length - 1)] + values[std::max(i - tap, 0)]) *
                       weights[tap];
            }
            blurred[i] = std::lround(std::clamp(sum, 0.0f, 1.0f) * 255.0f) / 255.0f;
        }
        values = blurred;
    }
    std::vector<int> levels(length);
    for (int i = 0; i < length; ++i) {
        levels[i] = int(std::lround(values[i] * 255.0f));
    }
    return levels;
}

int largestDifference(const std::vector<int>& a, const std::vector<int>& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        largest = std::max(largest, std::abs(a[i] - b[i]));
    }
    return largest;
}

// The number of passes whose edge the measured one matches best, from 0 to 20.
int fittingPassCount(const std::vector<int>& measured, int edge) {
    int best = 0;
    int bestDifference = 256;
    for (int passes = 0; passes <= 20; ++passes) {
        const int difference =
            largestDifference(measured, simulatedEdge(int(measured.size()), edge, passes));
        if (difference < bestDifference) {
            best = passes;
            bestDifference = difference;
        }
    }
    return best;
}

constexpr int redEdgeX = 512;   // red rises across the picture: blurred by horizontal passes
constexpr int greenEdgeY = 384; // green rises up the picture: blurred by vertical passes

void fillEdgesInput(const Renderer& renderer) {
    std::vector<float> texels(std::size_t(windowWidth) * windowHeight * 3);
    for (int y = 0; y < windowHeight; ++y) {
        for (int x = 0; x < windowWidth; ++x) {
            float* texel = &texels[(std::size_t(y) * windowWidth + x) * 3];
            texel[0] = x >= redEdgeX ? 1.0f : 0.0f;
            texel[1] = y >= greenEdgeY ? 1.0f : 0.0f;
            texel[2] = 0.0f;
        }
    }
    glBindTexture(GL_TEXTURE_2D, renderer.targets.hdrColor[1]);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, windowWidth, windowHeight, GL_RGB, GL_FLOAT,
                    texels.data());
    std::fill(texels.begin(), texels.end(), 0.0f);
    glBindTexture(GL_TEXTURE_2D, renderer.targets.hdrColor[0]);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, windowWidth, windowHeight, GL_RGB, GL_FLOAT,
                    texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

std::vector<std::uint8_t> blurTargetPixels(const Renderer& renderer, int target) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, renderer.targets.blurTargets[target]);
    std::vector<std::uint8_t> rgba = readPixelsRgba(0, 0, windowWidth, windowHeight);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return rgba;
}

std::vector<int> redAlongRow(const std::vector<std::uint8_t>& rgba, int y) {
    std::vector<int> red(windowWidth);
    for (int x = 0; x < windowWidth; ++x) {
        red[x] = rgba[(std::size_t(y) * windowWidth + x) * 4];
    }
    return red;
}

std::vector<int> greenAlongColumn(const std::vector<std::uint8_t>& rgba, int x) {
    std::vector<int> green(windowHeight);
    for (int y = 0; y < windowHeight; ++y) {
        green[y] = rgba[(std::size_t(y) * windowWidth + x) * 4 + 1];
    }
    return green;
}

// Horizontal passes write blur target 1 and vertical ones target 0, so after
// ten alternating passes, horizontal first, target 0 holds the tenth pass
// (five of each direction behind it) and target 1 the ninth (five horizontal,
// four vertical). Another count or order leaves other edges: vertical first
// puts only four horizontal passes into target 0, a count of 9, 11 or 12 a
// sixth pass of one direction or a missing fifth into one of the targets.
struct BlurTargetContent {
    int target;
    int horizontalPasses;
    int verticalPasses;
};

const BlurTargetContent afterTheBlur[] = {
    {0, 5, 5},
    {1, 5, 4},
};

class BlurPasses : public SceneTest {};

TEST_F(BlurPasses, TenAlternatingPassesHorizontalFirst) {
    fillEdgesInput(renderer);
    renderBloom(renderer);
    expectNoGlError("renderBloom");
    constexpr int tolerance = 2; // rounding of the eight-bit stores, per level
    for (const BlurTargetContent& content : afterTheBlur) {
        SCOPED_TRACE("blur target " + std::to_string(content.target));
        const std::vector<std::uint8_t> rgba = blurTargetPixels(renderer, content.target);
        const std::vector<int> horizontal =
            simulatedEdge(windowWidth, redEdgeX, content.horizontalPasses);
        const std::vector<int> vertical =
            simulatedEdge(windowHeight, greenEdgeY, content.verticalPasses);
        for (int y : {0, greenEdgeY, windowHeight - 1}) {
            const std::vector<int> red = redAlongRow(rgba, y);
            EXPECT_LE(largestDifference(red, horizontal), tolerance)
                << "row " << y << " looks blurred by " << fittingPassCount(red, redEdgeX)
                << " horizontal passes, not " << content.horizontalPasses;
        }
        for (int x : {0, redEdgeX, windowWidth - 1}) {
            const std::vector<int> green = greenAlongColumn(rgba, x);
            EXPECT_LE(largestDifference(green, vertical), tolerance)
                << "column " << x << " looks blurred by " << fittingPassCount(green, greenEdgeY)
                << " vertical passes, not " << content.verticalPasses;
        }
    }
}

// ---------------------------------------------------------------------------
// Particles in wireframe frames

bool sameParticle(const Particle& a, const Particle& b) {
    return a.position == b.position && a.speed == b.speed && a.r == b.r && a.g == b.g &&
           a.b == b.b && a.a == b.a && a.size == b.size && a.life == b.life &&
           a.cameraDistance == b.cameraDistance;
}

// The first record that differs, or -1.
int firstDifferentParticle(const std::vector<Particle>& a, const std::vector<Particle>& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!sameParticle(a[i], b[i])) {
            return int(i);
        }
    }
    return -1;
}

int liveParticles(const ParticleSystem& particles) {
    return int(std::count_if(particles.pool.begin(), particles.pool.end(), isLive));
}

class FramePasses : public SceneTest {
  protected:
};

// A normal frame's update spawns three particles at a sixtieth of a second
// and ages the others; a wireframe frame's leaves the pool exactly as it
// was, and the frame draws without a GL error either way.
TEST_F(FramePasses, WireframeFramesRunNoParticleStep) {
    struct FrameStep {
        bool wireframe;
        int liveAfter;
    };
    const FrameStep frames[] = {{false, 3}, {true, 3}, {true, 3}, {false, 6}};

    game.lastFrame = 0.0f;
    std::srand(1);
    int number = 0;
    for (const FrameStep& frame : frames) {
        SCOPED_TRACE("frame " + std::to_string(++number) +
                     (frame.wireframe ? " (wireframe)" : " (normal)"));
        const std::vector<Particle> before = particles.pool;
        const int lastUsedBefore = particles.lastUsedParticle;
        const int liveEndBefore = particles.liveEnd;
        wireframe = frame.wireframe;
        updateGame(game, FrameInput{number / 60.0, {}, cameraAspect});
        FrameView view = frameView();
        drawFrame(renderer, view);
        expectNoGlError("drawFrame");

        EXPECT_EQ(liveParticles(particles), frame.liveAfter);
        if (frame.wireframe) {
            EXPECT_EQ(firstDifferentParticle(before, particles.pool), -1);
            EXPECT_EQ(particles.lastUsedParticle, lastUsedBefore);
            EXPECT_EQ(particles.liveEnd, liveEndBefore);
        }
    }
}

// ---------------------------------------------------------------------------
// The game's context

// The game's own window code, run in this process: the context it leaves
// current is a core profile one of at least OpenGL 3.3 (the driver may give a
// newer version than asked for; the end-to-end tests show that 3.3 is what is
// asked). Windowed, so that the test display keeps its mode.
class GameWindow : public GlTest {};

TEST_F(GameWindow, HasAnOpenGl33CoreProfileContext) {
    std::optional<Window> window;
    window.emplace(WindowMode::windowed);
    GLFWwindow* const current = glfwGetCurrentContext();
    ASSERT_NE(current, nullptr);
    EXPECT_NE(current, sharedGlWindow());
    GLint profile = 0;
    GLint major = 0;
    GLint minor = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    EXPECT_EQ(profile, GL_CONTEXT_CORE_PROFILE_BIT);
    EXPECT_EQ(glfwGetWindowAttrib(current, GLFW_OPENGL_PROFILE), GLFW_OPENGL_CORE_PROFILE);
    EXPECT_GE(major * 10 + minor, 33) << major << "." << minor;
    window.reset();
    ASSERT_NE(sharedGlWindow(), nullptr);
    expectNoGlError("after the game's window");
}

} // namespace
