// The light's transform, the depth map it fills each frame and the shadows
// the lit pass reads from it.
#include "render/sceneFixture.h"

#include "render/scene.h"
#include "render/shadowMap.h"
#include "render/shadowPass.h"

#include <GL/glew.h>
#include <glm/geometric.hpp>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace {

const glm::vec3 towardsLight = glm::normalize(lightPos);

bool insideUnitBox(glm::vec4 clip) {
    const glm::vec3 ndc = glm::vec3(clip) / clip.w;
    return std::max({std::abs(ndc.x), std::abs(ndc.y), std::abs(ndc.z)}) <= 1.0f;
}

GLint integerState(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

// Runs the real shadow pass over geometry that yields no fragments: every
// vertex array swapped for one without attributes and the models emptied.
glm::mat4 renderEmptyShadowPass(Renderer& renderer, GameState& game) {
    GlVertexArray emptyCube = GlVertexArray::make();
    GlVertexArray emptyPlane = GlVertexArray::make();
    std::swap(emptyCube, renderer.scene.cubeVao);
    std::swap(emptyPlane, renderer.scene.planeVao);
    Model trophy;
    std::array<Model, 2> stars;
    std::swap(trophy, renderer.scene.trophyModel);
    std::swap(stars, renderer.scene.starModels);

    const glm::mat4 lightSpaceMatrix = renderShadowPass(renderer, frameViewOf(game, 1.0));
    glFinish();

    std::swap(trophy, renderer.scene.trophyModel);
    std::swap(stars, renderer.scene.starModels);
    std::swap(emptyCube, renderer.scene.cubeVao);
    std::swap(emptyPlane, renderer.scene.planeVao);
    return lightSpaceMatrix;
}

bool cellIsTaken(const Level& level, Cell cell) {
    return level.grid.count(cell) == 1;
}

// A point on the room's floor and the state of the shadow map above it.
struct FloorPoint {
    glm::vec3 position;
    bool shadowed;
};

// Floor cell centres the camera can see from just above, sorted into those
// something stands over (towards the light) and those open to it.
std::vector<FloorPoint> visibleFloorPoints(const Level& level, const std::vector<float>& depths) {
    std::vector<FloorPoint> points;
    for (int x = 0; x < roomSize; ++x) {
        for (int z = 0; z < roomSize; ++z) {
            if (cellIsTaken(level, Cell{x, 0, z}) || cellIsTaken(level, Cell{x, 1, z})) {
                continue;
            }
            const glm::vec3 floor(x + 0.5f, 0.0f, z + 0.5f);
            const float mapDepth = shadowMapDepthAt(depths, floor);
            const float ownDepth = lightSpaceDepthOf(floor);
            if (mapDepth < ownDepth - 0.01f) {
                points.push_back({floor, true});
            } else if (mapDepth > ownDepth + 0.005f) {
                points.push_back({floor, false});
            }
        }
    }
    return points;
}

std::optional<FloorPoint> firstWith(const std::vector<FloorPoint>& points, bool shadowed) {
    for (const FloorPoint& point : points) {
        if (point.shadowed == shadowed) {
            return point;
        }
    }
    return std::nullopt;
}

float brightness(glm::vec3 colour) {
    return colour.r + colour.g + colour.b;
}

// The floor point on the centre pixel, seen from just above inside its column.
float floorBrightness(Renderer& renderer, GameState& game, glm::vec3 floor, bool withShadows) {
    aimCamera(game.camera, floor + glm::vec3(0.0f, 1.0f, 0.3f), floor);
    const glm::mat4 lightSpaceMatrix = withShadows
                                           ? renderShadowPass(renderer, frameViewOf(game, 1.0))
                                           : renderEmptyShadowPass(renderer, game);
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.hdrTarget);
    glViewport(0, 0, windowWidth, windowHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderLitPass(renderer, frameViewOf(game, 1.0), lightSpaceMatrix);
    glFinish();
    return brightness(sceneColourAt(renderer, centreX, centreY));
}

} // namespace

TEST(LightSpace, projectionIsTheOffCentreOrthographicBox) {
    const glm::mat4 projection = lightProjectionMatrix();
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            const bool listed = column == row || (column == 3 && row < 3);
            if (!listed) {
                EXPECT_EQ(projection[column][row], 0.0f) << column << "," << row;
            }
        }
    }
    EXPECT_FLOAT_EQ(projection[0][0], 0.04f);
    EXPECT_FLOAT_EQ(projection[1][1], 0.04f);
    EXPECT_FLOAT_EQ(projection[2][2], -0.066889636f);
    EXPECT_FLOAT_EQ(projection[3][0], -0.2f);
    EXPECT_FLOAT_EQ(projection[3][1], -0.2f);
    EXPECT_FLOAT_EQ(projection[3][2], -1.0066889f);
    EXPECT_EQ(projection[3][3], 1.0f);
}

TEST(LightSpace, lightLooksFromItsPlaceAtTheOrigin) {
    const glm::mat4 view = lightViewMatrix();
    expectVec3Near(glm::vec3(view * glm::vec4(lightPos, 1.0f)), glm::vec3(0.0f), 1e-5f);
    expectVec3Near(glm::vec3(view * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f)),
                   glm::vec3(0.0f, 0.0f, -glm::length(lightPos)), 1e-5f);

    const glm::mat4 lightSpace = computeLightSpaceMatrix();
    EXPECT_TRUE(insideUnitBox(lightSpace * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f)));
    // The whole floor of the room lies inside the box, so it can take shadows.
    for (glm::vec3 corner :
         {glm::vec3(0, 0, 0), glm::vec3(10, 0, 0), glm::vec3(0, 0, 10), glm::vec3(10, 0, 10)}) {
        EXPECT_TRUE(insideUnitBox(lightSpace * glm::vec4(corner, 1.0f)));
    }
    // 25 units to the light's left is beyond the box's 20.
    const glm::vec3 left = glm::normalize(glm::cross(-lightPos, glm::vec3(0.0f, 1.0f, 0.0f)));
    EXPECT_FALSE(insideUnitBox(lightSpace * glm::vec4(-25.0f * left, 1.0f)));
}

TEST_F(SceneTest, shadowMapIsADepthTextureOnACompleteFramebuffer) {
    const ShadowMap& shadowMap = renderer.shadowMap;
    ASSERT_NE(shadowMap.depthMap, 0u);
    ASSERT_NE(shadowMap.depthTarget, 0u);
    glBindTexture(GL_TEXTURE_2D, shadowMap.depthMap);
    GLint width = 0, height = 0, format = 0, minFilter = 0, magFilter = 0, wrapS = 0, wrapT = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 1024);
    EXPECT_EQ(format, GL_DEPTH_COMPONENT24);
    EXPECT_EQ(minFilter, GL_NEAREST);
    EXPECT_EQ(magFilter, GL_NEAREST);
    EXPECT_EQ(wrapS, GL_CLAMP_TO_EDGE);
    EXPECT_EQ(wrapT, GL_CLAMP_TO_EDGE);

    glBindFramebuffer(GL_FRAMEBUFFER, shadowMap.depthTarget);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    GLint attached = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &attached);
    EXPECT_EQ(attached, static_cast<GLint>(shadowMap.depthMap));
    EXPECT_EQ(integerState(GL_DRAW_BUFFER), GL_NONE);
    EXPECT_EQ(integerState(GL_READ_BUFFER), GL_NONE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    expectNoGlError("shadow map state");
}

TEST_F(SceneTest, shadowPassDrawsOnlyIntoTheDepthMapAndClearsItEveryFrame) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, renderer.targets.hdrTarget);
    const glm::mat4 lightSpaceMatrix = renderShadowPass(renderer, frameView());
    EXPECT_EQ(integerState(GL_DRAW_FRAMEBUFFER_BINDING),
              static_cast<GLint>(renderer.shadowMap.depthTarget));
    EXPECT_EQ(integerState(GL_READ_FRAMEBUFFER_BINDING),
              static_cast<GLint>(renderer.targets.hdrTarget));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 1024);
    EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), static_cast<GLint>(renderer.shadowProgram.program));
    EXPECT_EQ(integerState(GL_CULL_FACE_MODE), GL_BACK);
    expectMatrixNear(uniformMat4(renderer.shadowProgram.program, "lightSpaceMatrix"),
                     computeLightSpaceMatrix(), 0.0f);
    expectMatrixNear(lightSpaceMatrix, computeLightSpaceMatrix(), 0.0f);

    const std::vector<float> drawn = readShadowMapDepths(renderer);
    EXPECT_LT(*std::min_element(drawn.begin(), drawn.end()), 0.9f);

    renderEmptyShadowPass(renderer, game);
    const std::vector<float> empty = readShadowMapDepths(renderer);
    EXPECT_EQ(*std::min_element(empty.begin(), empty.end()), 1.0f);
    expectNoGlError("shadow pass");
}

TEST_F(SceneTest, blocksStandBetweenTheLightAndTheFloorPlaneInTheDepthMap) {
    renderShadowPass(renderer, frameView());
    glFinish();
    const std::vector<float> depths = readShadowMapDepths(renderer);
    int checked = 0;
    for (const Cell& cell : {redBlocks[0].cell, redBlocks[1].cell, redBlocks[2].cell,
                             blueBlocks[0].cell, blueBlocks[1].cell, blueBlocks[2].cell,
                             blueBlocks[3].cell, blueBlocks[4].cell, obstacles[0].cell}) {
        const glm::vec3 top(cell.x + 0.5f, cell.y + 0.89f, cell.z + 0.5f);
        const float topDepth = lightSpaceDepthOf(top);
        if (topDepth <= 0.0f || topDepth >= 1.0f) {
            continue; // behind the light's near plane: not in the map
        }
        const glm::vec3 floorBelow = top - towardsLight * ((top.y + 1.0f) / towardsLight.y);
        const float mapDepth = shadowMapDepthAt(depths, top);
        EXPECT_LE(mapDepth, topDepth + 0.003f) << cell.x << " " << cell.y << " " << cell.z;
        EXPECT_LT(mapDepth, lightSpaceDepthOf(floorBelow) - 0.1f);
        ++checked;
    }
    EXPECT_GE(checked, 5);

    // Outside the room nothing stands over the floor plane.
    const glm::vec3 openPlane(-5.0f, -1.0f, -5.0f);
    EXPECT_NEAR(shadowMapDepthAt(depths, openPlane), lightSpaceDepthOf(openPlane), 0.003f);
}

TEST_F(SceneTest, litPassDarkensTheFloorOnlyWhereTheDepthMapHasSomethingInFront) {
    renderShadowPass(renderer, frameView());
    glFinish();
    const std::vector<FloorPoint> points =
        visibleFloorPoints(game.level, readShadowMapDepths(renderer));
    const std::optional<FloorPoint> shadowed = firstWith(points, true);
    const std::optional<FloorPoint> open = firstWith(points, false);
    ASSERT_TRUE(shadowed.has_value());
    ASSERT_TRUE(open.has_value());

    EXPECT_LT(floorBrightness(renderer, game, shadowed->position, true),
              0.85f * floorBrightness(renderer, game, shadowed->position, false));
    EXPECT_NEAR(floorBrightness(renderer, game, open->position, true),
                floorBrightness(renderer, game, open->position, false), 1e-3f);
}

TEST_F(SceneTest, litPassBindsTheDepthMapOnUnitTwo) {
    const glm::mat4 lightSpaceMatrix = renderShadowPass(renderer, frameView());
    setLightingUniforms(renderer.basicProgram, frameView());
    glUseProgram(renderer.lampProgram.program);
    bindShadowMapForLitPass(renderer, lightSpaceMatrix);
    glActiveTexture(GL_TEXTURE2);
    EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), static_cast<GLint>(renderer.shadowMap.depthMap));
    EXPECT_EQ(uniformInt(renderer.basicProgram.program, "shadowMap"), 2);
    expectMatrixNear(uniformMat4(renderer.basicProgram.program, "lightSpaceMatrix"),
                     lightSpaceMatrix, 0.0f);
}

TEST_F(SceneTest, shadowMapDeletesItsNamesWhenItGoes) {
    GLuint depthTarget = 0;
    GLuint depthMap = 0;
    {
        const ShadowMap made = createShadowMap();
        depthTarget = made.depthTarget;
        depthMap = made.depthMap;
        EXPECT_TRUE(glIsFramebuffer(depthTarget));
        EXPECT_TRUE(glIsTexture(depthMap));
        EXPECT_NE(depthMap, renderer.shadowMap.depthMap);
    }
    EXPECT_FALSE(glIsFramebuffer(depthTarget));
    EXPECT_FALSE(glIsTexture(depthMap));
    expectNoGlError("shadow map release");
}
