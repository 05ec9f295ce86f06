// The scene's placements, the uniforms it sends and what the lit pass shows.
#include "render/sceneFixture.h"

#include "game/camera.h"
#include "render/scene.h"
#include "render/shadowMap.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>

namespace {

constexpr float tight = 1e-5f;

glm::vec3 transformPoint(const glm::mat4& matrix, glm::vec3 point) {
    return glm::vec3(matrix * glm::vec4(point, 1.0f));
}

glm::vec3 transformDirection(const glm::mat4& matrix, glm::vec3 direction) {
    return glm::vec3(matrix * glm::vec4(direction, 0.0f));
}

// The smallest and largest coordinates of the unit cube's corners.
std::pair<glm::vec3, glm::vec3> cubeBounds(const glm::mat4& matrix) {
    glm::vec3 low(1e9f);
    glm::vec3 high(-1e9f);
    for (int corner = 0; corner < 8; ++corner) {
        const glm::vec3 local((corner & 1) ? 0.5f : -0.5f, (corner & 2) ? 0.5f : -0.5f,
                              (corner & 4) ? 0.5f : -0.5f);
        const glm::vec3 world = transformPoint(matrix, local);
        low = glm::min(low, world);
        high = glm::max(high, world);
    }
    return {low, high};
}

GLint boundTexture(GLenum unit) {
    GLint texture = -1;
    glActiveTexture(unit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    return texture;
}

GLint currentProgram() {
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return program;
}

} // namespace

TEST(BlockPlacement, fillsTheMiddleOfItsCellWithAGapToItsNeighbours) {
    const auto [low, high] = cubeBounds(blockModelMatrix(Cell{0, 0, 0}));
    expectVec3Near(low, glm::vec3(0.11f), tight);
    expectVec3Near(high, glm::vec3(0.89f), tight);

    const auto [farLow, farHigh] = cubeBounds(blockModelMatrix(Cell{9, 3, 7}));
    expectVec3Near(farLow, glm::vec3(9.11f, 3.11f, 7.11f), tight);
    expectVec3Near(farHigh, glm::vec3(9.89f, 3.89f, 7.89f), tight);

    const auto [belowLow, belowHigh] = cubeBounds(blockModelMatrix(Cell{-1, -2, 0}));
    expectVec3Near(belowLow, glm::vec3(-0.89f, -1.89f, 0.11f), tight);
    expectVec3Near(belowHigh, glm::vec3(-0.11f, -1.11f, 0.89f), tight);
}

TEST(ModelPlacement, trophyTurnsFiftyDegreesAndStarsTwoHundredFiftyInOneSecond) {
    const glm::mat4 trophy = trophyModelMatrix(goalPosition(Level()), 1.0f);
    expectVec3Near(transformPoint(trophy, glm::vec3(0.0f)), glm::vec3(2.5f, 2.0f, 0.75f), tight);
    const float fifty = 50.0f * degreesToRadians;
    expectVec3Near(transformDirection(trophy, glm::vec3(1.0f, 0.0f, 0.0f)),
                   glm::vec3(std::cos(fifty), 0.0f, -std::sin(fifty)), tight);

    const glm::mat4 star = starModelMatrix(trophy, glm::vec3(0.5f, 1.0f, 0.0f), 1.0f);
    const float twoFifty = 250.0f * degreesToRadians;
    expectVec3Near(transformDirection(star, glm::vec3(1.0f, 0.0f, 0.0f)),
                   glm::vec3(std::cos(twoFifty), 0.0f, -std::sin(twoFifty)), 1e-4f);
    // The star rides one unit above the trophy, half a unit out on the turned axis.
    expectVec3Near(transformPoint(star, glm::vec3(0.0f)),
                   glm::vec3(2.5f + 0.5f * std::cos(fifty), 3.0f, 0.75f - 0.5f * std::sin(fifty)),
                   tight);
    const glm::mat4 otherStar = starModelMatrix(trophy, glm::vec3(-0.5f, 1.0f, 0.0f), 1.0f);
    expectVec3Near(transformPoint(otherStar, glm::vec3(0.0f)),
                   glm::vec3(2.5f - 0.5f * std::cos(fifty), 3.0f, 0.75f + 0.5f * std::sin(fifty)),
                   tight);

    // At time zero nothing has turned yet.
    expectMatrixNear(trophyModelMatrix(goalPosition(Level()), 0.0f),
                     glm::translate(glm::mat4(1.0f), glm::vec3(2.5f, 2.0f, 0.75f)), tight);
}

TEST_F(SceneTest, lightingUniformsCarryCameraFlashlightAndMaterial) {
    aimCamera(glm::vec3(2.0f, 3.0f, 4.0f), glm::vec3(6.0f, 1.0f, 2.0f));
    camera.fov = 30.0f;
    const GLuint program = renderer.basicProgram.program;
    setLightingUniforms(renderer.basicProgram, frameView());
    EXPECT_EQ(currentProgram(), static_cast<GLint>(program));

    expectVec3Near(uniformVec3(program, "viewPos"), camera.position, 0.0f);
    expectVec3Near(uniformVec3(program, "light.position"), camera.position, 0.0f);
    expectVec3Near(uniformVec3(program, "light.direction"), camera.front, 0.0f);
    expectVec3Near(uniformVec3(program, "light.ambient"), glm::vec3(0.6f), 0.0f);
    expectVec3Near(uniformVec3(program, "light.diffuse"), glm::vec3(0.5f), 0.0f);
    expectVec3Near(uniformVec3(program, "light.specular"), glm::vec3(0.5f), 0.0f);
    EXPECT_EQ(uniformFloat(program, "material.shininess"), 64.0f);
    EXPECT_EQ(uniformFloat(program, "light.constant"), 1.0f);
    EXPECT_EQ(uniformFloat(program, "light.linear"), 0.001f);
    EXPECT_EQ(uniformFloat(program, "light.quadratic"), 0.0001f);
    // The cosines are worked out in double and only then narrowed.
    EXPECT_EQ(uniformFloat(program, "light.cutOff"), 0.9659258f);
    EXPECT_EQ(uniformFloat(program, "light.outerCutOff"), 0.9063078f);
    expectMatrixNear(uniformMat4(program, "view"), viewMatrix(camera), 0.0f);
    expectMatrixNear(uniformMat4(program, "projection"), projectionMatrix(camera), 0.0f);
    expectNoGlError("setLightingUniforms");
}

TEST_F(SceneTest, roomIsTheTenUnitBoxWithWallTextureAndNoSpecularMap) {
    drawRoom(renderer, renderer.basicProgram);
    EXPECT_EQ(currentProgram(), static_cast<GLint>(renderer.basicProgram.program));
    EXPECT_EQ(boundTexture(GL_TEXTURE0), static_cast<GLint>(renderer.scene.wallTexture));
    EXPECT_EQ(boundTexture(GL_TEXTURE1), 0);
    const auto [low, high] = cubeBounds(uniformMat4(renderer.basicProgram.program, "model"));
    expectVec3Near(low, glm::vec3(0.0f), tight);
    expectVec3Near(high, glm::vec3(10.0f), tight);
    expectNoGlError("drawRoom");
}

TEST_F(SceneTest, drawBlockPlacesTheBlockOfItsCell) {
    glUseProgram(renderer.basicProgram.program);
    drawBlock(renderer, Cell{3, 4, 5}, renderer.basicProgram);
    expectMatrixNear(uniformMat4(renderer.basicProgram.program, "model"),
                     blockModelMatrix(Cell{3, 4, 5}), 0.0f);
}

TEST_F(SceneTest, levelEndsOnBlueLightAndTheNextLightingRestoresNeutral) {
    const GLuint program = renderer.basicProgram.program;
    setLightingUniforms(renderer.basicProgram, frameView());
    drawLevel(renderer, renderer.basicProgram, frameView());
    expectVec3Near(uniformVec3(program, "light.ambient"), glm::vec3(0.1f, 0.1f, 0.7f), 0.0f);
    expectVec3Near(uniformVec3(program, "light.diffuse"), glm::vec3(0.4f), 0.0f);
    expectVec3Near(uniformVec3(program, "light.specular"), glm::vec3(0.1f, 0.1f, 1.0f), 0.0f);
    // The blue blocks come last, in their order.
    expectMatrixNear(uniformMat4(program, "model"), blockModelMatrix(blueBlocks.back().cell), 0.0f);
    EXPECT_EQ(boundTexture(GL_TEXTURE0), static_cast<GLint>(renderer.scene.wallTexture));
    EXPECT_EQ(boundTexture(GL_TEXTURE1), 0);

    setLightingUniforms(renderer.basicProgram, frameView());
    expectVec3Near(uniformVec3(program, "light.ambient"), glm::vec3(0.6f), 0.0f);
    expectVec3Near(uniformVec3(program, "light.specular"), glm::vec3(0.5f), 0.0f);
    expectNoGlError("drawLevel");
}

TEST_F(SceneTest, modelsTurnByTheFramesTime) {
    const FrameView view = frameView(3.0);
    setLightingUniforms(renderer.toonProgram, view);
    drawModels(renderer, renderer.toonProgram, view);
    // The last star rides the trophy turned by the frame's time and spins by it.
    const glm::mat4 trophy = trophyModelMatrix(view.trophyPosition, 3.0f);
    expectMatrixNear(uniformMat4(renderer.toonProgram.program, "model"),
                     starModelMatrix(trophy, glm::vec3(-0.5f, 1.0f, 0.0f), 3.0f), 1e-5f);
    expectNoGlError("drawModels");
}

TEST_F(SceneTest, lightMarkerIsASmallCubeAtTheLight) {
    aimCamera(glm::vec3(5.0f, 5.0f, 9.0f), lightPos);
    drawLightMarker(renderer, frameView());
    const GLuint program = renderer.lampProgram.program;
    EXPECT_EQ(currentProgram(), static_cast<GLint>(program));
    const auto [low, high] = cubeBounds(uniformMat4(program, "model"));
    expectVec3Near(low, lightPos - glm::vec3(0.05f), tight);
    expectVec3Near(high, lightPos + glm::vec3(0.05f), tight);
    expectMatrixNear(uniformMat4(program, "view"), viewMatrix(camera), 0.0f);

    // Seen from the camera the lamp glows far above the bloom threshold.
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.hdrTarget);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawLightMarker(renderer, frameView());
    glFinish();
    const glm::vec3 lamp = sceneColourAt(renderer, centreX, centreY);
    EXPECT_GT(std::min({lamp.r, lamp.g, lamp.b}), 1.5f);
    expectNoGlError("drawLightMarker");
}

// A hinted move glows in the cell it leads to, seen from the player's cell;
// without a hinted move nothing is drawn.
TEST_F(SceneTest, aHintedMoveMarksTheCellItLeadsTo) {
    game.puzzle.enabled = true;
    const Cell target = neighbourOf(game.level.player.cell, -1);
    aimCamera(cellCentre(game.level.player.cell) + glm::vec3(0.0f, 0.0f, 0.4f), cellCentre(target));
    for (const bool hinted : {true, false}) {
        game.puzzle.hint = hinted ? std::optional<Hint>(Hint{Hint::Kind::move, -1})
                                  : std::optional<Hint>(Hint{Hint::Kind::noWay, 0});
        const FrameView view = frameView();
        glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.hdrTarget);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawHintMarker(renderer, view);
        glFinish();
        const glm::vec3 middle = sceneColourAt(renderer, centreX, centreY);
        if (hinted) {
            ASSERT_TRUE(view.hintedCell.has_value());
            EXPECT_EQ(*view.hintedCell, target);
            EXPECT_GT(std::min({middle.r, middle.g, middle.b}), 1.5f);
        } else {
            EXPECT_FALSE(view.hintedCell.has_value());
            EXPECT_EQ(middle, glm::vec3(0.0f));
        }
    }
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    expectNoGlError("drawHintMarker");
}

// Red and blue blocks share one texture; only their light colours differ. The
// camera sits on the boundary of the block's cell, facing its near side, so the
// block fills the view.
glm::vec3 blockFaceColour(const Renderer& renderer, GameState& game, Cell cell) {
    const glm::vec3 centre(cell.x + 0.5f, cell.y + 0.5f, cell.z + 0.5f);
    aimCamera(game.camera, centre + glm::vec3(0.0f, 0.0f, 0.5f), centre);
    renderShadowAndLitPasses(renderer, game);
    return sceneColourAt(renderer, centreX, centreY);
}

TEST_F(SceneTest, redAndBlueBlocksTakeTheirColourFromTheLight) {
    const glm::vec3 red = blockFaceColour(renderer, game, redBlocks[0].cell);
    const glm::vec3 blue = blockFaceColour(renderer, game, blueBlocks[0].cell);
    ASSERT_GT(red.b, 0.0f);
    ASSERT_GT(blue.b, 0.0f);
    // The texture's own tint cancels in the ratio of the two ratios.
    EXPECT_GT((red.r / red.b) / (blue.r / blue.b), 3.0f);
    EXPECT_GT(red.r, red.g * 1.5f);
    EXPECT_GT(blue.b, blue.g * 1.5f);
}

TEST_F(SceneTest, obstaclesAreLitByTheNeutralLightWithTheirOwnMaps) {
    const glm::vec3 inFrame = blockFaceColour(renderer, game, obstacles[8].cell);

    // The same view drawn by hand: neutral light, container maps, one block.
    setLightingUniforms(renderer.basicProgram, frameView());
    bindShadowMapForLitPass(renderer, computeLightSpaceMatrix());
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.hdrTarget);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, renderer.scene.diffuseMap);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, renderer.scene.specularMap);
    drawBlock(renderer, obstacles[8].cell, renderer.basicProgram);
    glFinish();
    expectVec3Near(sceneColourAt(renderer, centreX, centreY), inFrame, 1e-3f);
}

// The room's far wall on the centre pixel, lit with the flashlight turned
// away from the view by the given angle about the vertical. No shadow pass
// runs: the identity as light-space matrix puts the wall's middle outside the
// light's box, so nothing shades it.
glm::vec3 wallColourWithLightTurnedBy(const Renderer& renderer, GameState& game, float degrees) {
    Camera& camera = game.camera;
    aimCamera(camera, glm::vec3(5.5f, 5.5f, 9.5f), glm::vec3(5.5f, 5.5f, 0.0f));
    setLightingUniforms(renderer.basicProgram, frameViewOf(game, 1.0));
    bindShadowMapForLitPass(renderer, glm::mat4(1.0f));
    const glm::vec3 turned =
        glm::vec3(rotateDegrees(glm::mat4(1.0f), degrees, glm::vec3(0.0f, 1.0f, 0.0f)) *
                  glm::vec4(camera.front, 0.0f));
    glUniform3f(glGetUniformLocation(renderer.basicProgram.program, "light.direction"), turned.x,
                turned.y, turned.z);
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.hdrTarget);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawRoom(renderer, renderer.basicProgram);
    glFinish();
    return sceneColourAt(renderer, centreX, centreY);
}

float sum(glm::vec3 colour) {
    return colour.r + colour.g + colour.b;
}

TEST_F(SceneTest, flashlightFadesBetweenItsInnerAndOuterCone) {
    const glm::vec3 full = wallColourWithLightTurnedBy(renderer, game, 0.0f);
    const glm::vec3 inner = wallColourWithLightTurnedBy(renderer, game, 12.0f);
    const glm::vec3 fading = wallColourWithLightTurnedBy(renderer, game, 20.0f);
    const glm::vec3 outside = wallColourWithLightTurnedBy(renderer, game, 30.0f);
    const glm::vec3 farOutside = wallColourWithLightTurnedBy(renderer, game, 90.0f);
    // Inside the inner cone only the small change of angle to the wall counts.
    EXPECT_NEAR(sum(inner), sum(full), 0.05f * sum(full));
    EXPECT_GT(sum(fading), sum(outside) * 1.02f);
    EXPECT_LT(sum(fading), sum(inner) * 0.98f);
    // Outside the cone only the ambient term is left: 0.6 of the 0.6 + 0.5 at full.
    expectVec3Near(outside, farOutside, 1e-4f);
    EXPECT_NEAR(sum(outside) / sum(full), 0.6f / 1.1f, 0.05f);
}
