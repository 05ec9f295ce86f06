#include "render/particleRenderer.h"

#include "game/camera.h"
#include "game/particles.h"
#include "render/sceneFixture.h"

#include <GL/glew.h>
#include <glm/geometric.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec4.hpp>

#include <cstring>
#include <vector>

namespace {

class ParticleRendererTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        particles.pool.assign(maxParticles, Particle{});
        particles.lastUsedParticle = 0;
        particles.liveEnd = 0;
        camera.position = glm::vec3(2.5f, 3.0f, 2.5f);
        camera.front = glm::vec3(0.0f, 0.0f, -1.0f);
        clearHdrTargetToBlack();
    }

    void clearHdrTargetToBlack() {
        glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.hdrTarget);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
};

struct Instance {
    glm::vec3 centre;
    float size;
    unsigned char r, g, b, a;
};

void stageInstance(ParticleSystem& particles, int slot, const Instance& instance) {
    float* position = &particles.positionData[4 * slot];
    position[0] = instance.centre.x;
    position[1] = instance.centre.y;
    position[2] = instance.centre.z;
    position[3] = instance.size;
    unsigned char* color = &particles.colorData[4 * slot];
    color[0] = instance.r;
    color[1] = instance.g;
    color[2] = instance.b;
    color[3] = instance.a;
}

// Window pixel of a world point seen by the camera.
glm::ivec2 projectToWindow(const Camera& camera, glm::vec3 world) {
    const glm::vec4 clip = projectionMatrix(camera) * viewMatrix(camera) * glm::vec4(world, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2((ndc.x * 0.5f + 0.5f) * windowWidth, (ndc.y * 0.5f + 0.5f) * windowHeight);
}

glm::vec3 hdrTexel(const Renderer& renderer, int attachment, glm::ivec2 pixel) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, renderer.targets.hdrTarget);
    glReadBuffer(GL_COLOR_ATTACHMENT0 + attachment);
    glm::vec3 colour(0.0f);
    glReadPixels(pixel.x, pixel.y, 1, 1, GL_RGB, GL_FLOAT, &colour.x);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return colour;
}

template <typename T> std::vector<T> bufferContents(GLuint buffer, std::size_t count) {
    std::vector<T> contents(count);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, count * sizeof(T), contents.data());
    return contents;
}

GLint bufferParameter(GLuint buffer, GLenum name) {
    GLint value = 0;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, name, &value);
    return value;
}

} // namespace

TEST_F(ParticleRendererTest, UploadWritesTheCountedInstancesIntoWholeStreamBuffers) {
    for (int i = 0; i < 4 * 5; ++i) {
        particles.positionData[i] = 0.5f * float(i);
        particles.colorData[i] = static_cast<unsigned char>(10 + i);
    }
    uploadParticles(renderer.particleBuffers, particles, 5);
    expectNoGlError("uploadParticles");

    const ParticleBuffers& buffers = renderer.particleBuffers;
    const std::vector<float> positions = bufferContents<float>(buffers.particlePositionVbo, 4 * 5);
    const std::vector<unsigned char> colours =
        bufferContents<unsigned char>(buffers.particleColorVbo, 4 * 5);
    EXPECT_EQ(0, std::memcmp(positions.data(), particles.positionData.data(), 80));
    EXPECT_EQ(0, std::memcmp(colours.data(), particles.colorData.data(), 20));
    EXPECT_EQ(bufferParameter(buffers.particlePositionVbo, GL_BUFFER_SIZE), 1600000);
    EXPECT_EQ(bufferParameter(buffers.particleColorVbo, GL_BUFFER_SIZE), 400000);
    EXPECT_EQ(bufferParameter(buffers.particleColorVbo, GL_BUFFER_USAGE), GL_STREAM_DRAW);

    uploadParticles(renderer.particleBuffers, particles, 0);
    drawParticles(renderer.particleBuffers, renderer.particleProgram, frameView(), particles, 0);
    expectNoGlError("an empty frame");
    EXPECT_EQ(hdrTexel(renderer, 0, glm::ivec2(512, 384)), glm::vec3(0.0f))
        << "no instance, no picture";
}

TEST_F(ParticleRendererTest, FreshFountainShowsAtTheSpawnPoint) {
    const int count = updateParticleSystem(particles, 0.016f, camera.position);
    ASSERT_EQ(count, 3);
    uploadParticles(renderer.particleBuffers, particles, count);
    drawParticles(renderer.particleBuffers, renderer.particleProgram, frameView(), particles,
                  count);
    expectNoGlError("drawParticles");
    GLint vertexArray = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    EXPECT_EQ(vertexArray, 0);

    const glm::ivec2 spawn = projectToWindow(camera, particleSpawnPoint);
    EXPECT_NEAR(spawn.x, 512, 1);
    for (int i = 0; i < count; ++i) {
        const glm::vec3 centre(particles.positionData[4 * i], particles.positionData[4 * i + 1],
                               particles.positionData[4 * i + 2]);
        const glm::ivec2 pixel = projectToWindow(camera, centre);
        EXPECT_LT(glm::distance(glm::vec2(pixel), glm::vec2(spawn)), 20.0f) << "instance " << i;
        const glm::vec3 scene = hdrTexel(renderer, 0, pixel);
        EXPECT_GT(scene.g, 0.1f) << "instance " << i;
        EXPECT_NEAR(scene.g, scene.b, 0.01f) << "the fountain's colour is cyan-white";
        EXPECT_LT(scene.r, scene.g);
        const glm::vec3 glow = hdrTexel(renderer, 1, pixel);
        EXPECT_GT(glow.g, 0.0f) << "a faint glow reaches the bloom";
        EXPECT_LT(glow.g, scene.g);
    }
    EXPECT_EQ(hdrTexel(renderer, 0, spawn + glm::ivec2(150, 0)), glm::vec3(0.0f));
    EXPECT_EQ(hdrTexel(renderer, 0, spawn - glm::ivec2(0, 150)), glm::vec3(0.0f));
}

TEST_F(ParticleRendererTest, EachInstanceHasItsOwnCentreSizeAndColour) {
    const Instance large{glm::vec3(1.5f, 3.0f, 0.5f), 0.2f, 255, 0, 0, 255};
    const Instance small{glm::vec3(3.5f, 3.0f, 0.5f), 0.05f, 0, 0, 255, 255};
    const Instance notCounted{glm::vec3(2.5f, 2.5f, 0.5f), 0.2f, 0, 255, 0, 255};
    stageInstance(particles, 0, large);
    stageInstance(particles, 1, small);
    stageInstance(particles, 2, notCounted);
    uploadParticles(renderer.particleBuffers, particles, 2);
    drawParticles(renderer.particleBuffers, renderer.particleProgram, frameView(), particles, 2);

    const glm::ivec2 largeCentre = projectToWindow(camera, large.centre);
    const glm::ivec2 smallCentre = projectToWindow(camera, small.centre);
    EXPECT_EQ(hdrTexel(renderer, 0, largeCentre), glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(hdrTexel(renderer, 0, smallCentre), glm::vec3(0.0f, 0.0f, 1.0f));
    // About 460 pixels per world unit at two units away: the large one is
    // fully opaque 20 pixels out, the small one ends within 12.
    EXPECT_EQ(hdrTexel(renderer, 0, largeCentre + glm::ivec2(20, 0)), glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(hdrTexel(renderer, 0, largeCentre - glm::ivec2(0, 20)), glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(hdrTexel(renderer, 0, smallCentre + glm::ivec2(20, 0)), glm::vec3(0.0f));
    EXPECT_EQ(hdrTexel(renderer, 0, smallCentre - glm::ivec2(0, 20)), glm::vec3(0.0f));
    EXPECT_EQ(hdrTexel(renderer, 0, projectToWindow(camera, notCounted.centre)), glm::vec3(0.0f));
}
