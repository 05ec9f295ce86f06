#include "render/sceneFixture.h"

#include "core/console.h"

#include "render/drawFrame.h"
#include "render/scene.h"
#include "render/shadowMap.h"
#include "render/shadowPass.h"

#include <GL/glew.h>
#include <glm/geometric.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cmath>
#include <memory>
#include <stdexcept>

namespace {

std::unique_ptr<Renderer>& sharedRendererSlot() {
    static std::unique_ptr<Renderer> renderer;
    return renderer;
}

void resetGlState() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
}

} // namespace

Renderer& sharedRenderer() {
    std::unique_ptr<Renderer>& renderer = sharedRendererSlot();
    if (!renderer) {
        if (!sharedGlWindow()) {
            throw std::runtime_error("no OpenGL 3.3 core context (is DISPLAY set?)");
        }
        renderer = std::make_unique<Renderer>(fatalError, setGlobalGlState);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    return *renderer;
}

void releaseSharedRenderer() {
    if (sharedGlWindow()) {
        sharedRendererSlot().reset();
    }
}

void SceneTest::SetUp() {
    GlTest::SetUp();
    if (HasFatalFailure()) {
        return;
    }
    game.particles.allocateStaging();
    resetGlState();
}

void SceneTest::TearDown() {
    resetGlState();
}

glm::mat4 renderShadowAndLitPasses(const Renderer& renderer, GameState& game) {
    const FrameView view = frameViewOf(game, 1.0);
    const glm::mat4 lightSpaceMatrix = renderShadowPass(renderer, view);
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.hdrTarget);
    glViewport(0, 0, windowWidth, windowHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderLitPass(renderer, view, lightSpaceMatrix);
    glFinish();
    return lightSpaceMatrix;
}

glm::vec3 sceneColourAt(const Renderer& renderer, int x, int y) {
    glm::vec3 colour(0.0f);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, renderer.targets.hdrTarget);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_FLOAT, glm::value_ptr(colour));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return colour;
}

std::vector<float> readShadowMapDepths(const Renderer& renderer) {
    std::vector<float> depths(static_cast<std::size_t>(shadowMapSize) * shadowMapSize);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, renderer.shadowMap.depthMap);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
    return depths;
}
float shadowMapDepthAt(const std::vector<float>& depths, glm::vec3 world) {
    const glm::vec4 clip = computeLightSpaceMatrix() * glm::vec4(world, 1.0f);
    const auto texel = [](float ndc) {
        const int index = static_cast<int>(std::floor((ndc * 0.5f + 0.5f) * shadowMapSize));
        return std::min(std::max(index, 0), shadowMapSize - 1);
    };
    return depths[static_cast<std::size_t>(texel(clip.y)) * shadowMapSize + texel(clip.x)];
}

float lightSpaceDepthOf(glm::vec3 world) {
    const glm::vec4 clip = computeLightSpaceMatrix() * glm::vec4(world, 1.0f);
    return clip.z / clip.w * 0.5f + 0.5f;
}

void aimCamera(Camera& camera, glm::vec3 position, glm::vec3 target) {
    camera.position = position;
    camera.front = glm::normalize(target - position);
    camera.up = glm::vec3(0.0f, 1.0f, 0.0f);
}

float uniformFloat(unsigned program, const char* name) {
    float value = 0.0f;
    glGetUniformfv(program, glGetUniformLocation(program, name), &value);
    return value;
}

glm::vec3 uniformVec3(unsigned program, const char* name) {
    glm::vec3 value(0.0f);
    glGetUniformfv(program, glGetUniformLocation(program, name), glm::value_ptr(value));
    return value;
}

glm::mat4 uniformMat4(unsigned program, const char* name) {
    glm::mat4 value(0.0f);
    glGetUniformfv(program, glGetUniformLocation(program, name), glm::value_ptr(value));
    return value;
}

int uniformInt(unsigned program, const char* name) {
    int value = -1;
    glGetUniformiv(program, glGetUniformLocation(program, name), &value);
    return value;
}

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected, float tolerance) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            EXPECT_NEAR(actual[column][row], expected[column][row], tolerance)
                << "element [" << column << "][" << row << "]";
        }
    }
}

void expectVec3Near(glm::vec3 actual, glm::vec3 expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}
