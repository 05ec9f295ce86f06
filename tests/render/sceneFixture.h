// The whole renderer, set up once per test binary, and the camera, clock and
// GL state that the scene reads, put back to known values around each test.
#pragma once

#include "support/glContext.h"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <vector>

class SceneTest : public GlTest {
  protected:
    void SetUp() override;
    void TearDown() override;
};

// The frame's shadow pass, then the lit pass into a cleared hdrTarget.
void renderShadowAndLitPasses();
// The scene colour that the lit pass left in hdrTarget at a window pixel.
glm::vec3 sceneColourAt(int x, int y);
// Every texel of the shadow map, bottom row first.
std::vector<float> readShadowMapDepths();
// The shadow map's depth at a world point and the point's own depth there.
float shadowMapDepthAt(const std::vector<float>& depths, glm::vec3 world);
float lightSpaceDepthOf(glm::vec3 world);

// The camera at position looking at target (target lands on the centre pixel).
void aimCamera(glm::vec3 position, glm::vec3 target);
constexpr int centreX = 512;
constexpr int centreY = 384;

// Current values of a program's uniforms.
float uniformFloat(unsigned program, const char* name);
glm::vec3 uniformVec3(unsigned program, const char* name);
glm::mat4 uniformMat4(unsigned program, const char* name);
int uniformInt(unsigned program, const char* name);

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected, float tolerance);
void expectVec3Near(glm::vec3 actual, glm::vec3 expected, float tolerance);

// Fixed clocks for the scene's time reads.
double oneSecond();
