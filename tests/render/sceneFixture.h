// The whole renderer, made once per test process, and the camera, clock and
// GL state that the scene reads, put back to known values around each test.
#pragma once

#include "app/frame.h"
#include "render/renderer.h"
#include "render/windowSize.h"
#include "support/glContext.h"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <vector>

// The game's renderer as the start-up makes it (with the global GL state),
// made in the shared context the first time a test asks for it; throws when
// there is no context to make it in.
Renderer& sharedRenderer();
// Deletes it while the shared context is current; the next test to ask
// makes it again.
void releaseSharedRenderer();

class SceneTest : public GlTest {
  protected:
    SceneTest() : renderer(sharedRenderer()) {}
    void SetUp() override;
    void TearDown() override;
    static void TearDownTestSuite() { releaseSharedRenderer(); }

    Renderer& renderer;
};

// The frame's shadow pass, then the lit pass into a cleared hdrTarget;
// returns the shadow pass's light-space matrix.
glm::mat4 renderShadowAndLitPasses(const Renderer& renderer);
// The scene colour that the lit pass left in hdrTarget at a window pixel.
glm::vec3 sceneColourAt(const Renderer& renderer, int x, int y);
// Every texel of the shadow map, bottom row first.
std::vector<float> readShadowMapDepths(const Renderer& renderer);
// The shadow map's depth at a world point and the point's own depth there.
float shadowMapDepthAt(const std::vector<float>& depths, glm::vec3 world);
float lightSpaceDepthOf(glm::vec3 world);

// The camera at position looking at target (target lands on the centre pixel).
void aimCamera(glm::vec3 position, glm::vec3 target);
constexpr int centreX = windowWidth / 2;
constexpr int centreY = windowHeight / 2;

// Current values of a program's uniforms.
float uniformFloat(unsigned program, const char* name);
glm::vec3 uniformVec3(unsigned program, const char* name);
glm::mat4 uniformMat4(unsigned program, const char* name);
int uniformInt(unsigned program, const char* name);

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected, float tolerance);
void expectVec3Near(glm::vec3 actual, glm::vec3 expected, float tolerance);

// Fixed clocks for the scene's time reads.
double oneSecond();
