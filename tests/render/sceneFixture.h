// The whole renderer, made once per test process, and the camera, clock and
// GL state that the scene reads, put back to known values around each test.
#pragma once

#include "game/gameState.h"
#include "game/screen.h"
#include "render/frameView.h"
#include "render/renderer.h"
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

// The frame's shadow pass, then the lit pass into a cleared hdrTarget, with
// the game's clock at one second; returns the shadow pass's light-space
// matrix.
glm::mat4 renderShadowAndLitPasses(const Renderer& renderer, GameState& game);
// The camera at position looking at target (target lands on the centre pixel).
void aimCamera(Camera& camera, glm::vec3 position, glm::vec3 target);

// Each test draws a fresh game at its start (its level, camera and
// particles) with the game clock standing at one second.
class SceneTest : public GlTest {
  protected:
    SceneTest() : renderer(sharedRenderer()) {}
    void SetUp() override;
    void TearDown() override;
    static void TearDownTestSuite() { releaseSharedRenderer(); }

    // What the passes read of this test's game, at the time given.
    FrameView frameView(double seconds = 1.0) { return frameViewOf(game, seconds); }
    glm::mat4 renderShadowAndLitPasses(const Renderer& renderer) {
        return ::renderShadowAndLitPasses(renderer, game);
    }
    void aimCamera(glm::vec3 position, glm::vec3 target) { ::aimCamera(camera, position, target); }

    Renderer& renderer;
    GameState game;
    Camera& camera = game.camera;
    float& deltaTime = game.deltaTime;
    bool& wireframe = game.modes.wireframe;
    bool& showFramerate = game.modes.showFramerate;
    bool& frustumCulling = game.modes.frustumCulling;
    ParticleSystem& particles = game.particles;
    std::vector<RedBlock>& redBlocks = game.level.redBlocks;
    std::vector<BlueBlock>& blueBlocks = game.level.blueBlocks;
    std::vector<GameObject>& obstacles = game.level.obstacles;
};

// The scene colour that the lit pass left in hdrTarget at a window pixel.
glm::vec3 sceneColourAt(const Renderer& renderer, int x, int y);
// Every texel of the shadow map, bottom row first.
std::vector<float> readShadowMapDepths(const Renderer& renderer);
// The shadow map's depth at a world point and the point's own depth there.
float shadowMapDepthAt(const std::vector<float>& depths, glm::vec3 world);
float lightSpaceDepthOf(glm::vec3 world);

constexpr int centreX = windowWidth / 2;
constexpr int centreY = windowHeight / 2;

// Current values of a program's uniforms.
float uniformFloat(unsigned program, const char* name);
glm::vec3 uniformVec3(unsigned program, const char* name);
glm::mat4 uniformMat4(unsigned program, const char* name);
int uniformInt(unsigned program, const char* name);

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected, float tolerance);
void expectVec3Near(glm::vec3 actual, glm::vec3 expected, float tolerance);
