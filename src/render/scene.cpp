// Draws the room, the floor, the level's blocks, the trophy with its stars and
// the light marker. Reads the camera, the cells, the trophy's position and the
// game clock from the frame view; leaves the last program used current and
// textures bound on units 0 and 1.
#include "render/scene.h"

#include "render/renderer.h"
#include "render/shadowMap.h"
#include "render/vertexTables.h"
#include "world/levelGrid.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cmath>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr float blockEdge = 0.78f;
constexpr float hintOutlineEdge = 0.9f;
constexpr float hintCoreEdge = 0.12f;
constexpr float playerMarkerEdge = 0.25f;
constexpr float cursorOutlineEdges[] = {1.0f, 1.04f};
constexpr float idleOutlineEdge = 0.84f;
constexpr float idleCoreEdge = 0.2f;
constexpr float arrowLength = 0.6f;
constexpr glm::vec3 yAxis(0.0f, 1.0f, 0.0f);
constexpr glm::vec3 firstStarOffset(0.5f, 1.0f, 0.0f);
constexpr glm::vec3 secondStarOffset(-0.5f, 1.0f, 0.0f);

struct LightColours {
    glm::vec3 ambient;
    glm::vec3 diffuse;
    glm::vec3 specular;
};

constexpr LightColours neutralLight{glm::vec3(0.6f), glm::vec3(0.5f), glm::vec3(0.5f)};
// The red and blue blocks share one texture: their colour comes from the light.
constexpr LightColours redLight{glm::vec3(0.7f, 0.1f, 0.1f), glm::vec3(0.4f),
                                glm::vec3(1.0f, 0.1f, 0.1f)};
constexpr LightColours blueLight{glm::vec3(0.1f, 0.1f, 0.7f), glm::vec3(0.4f),
                                 glm::vec3(0.1f, 0.1f, 1.0f)};

GLint uniformLocation(const ShaderProgram& program, const char* name) {
    return glGetUniformLocation(program.program, name);
}

void sendMatrix(const ShaderProgram& program, const char* name, const glm::mat4& matrix) {
    glUniformMatrix4fv(uniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(matrix));
}

void sendVec3(const ShaderProgram& program, const char* name, glm::vec3 value) {
    glUniform3f(uniformLocation(program, name), value.x, value.y, value.z);
}

void sendFloat(const ShaderProgram& program, const char* name, float value) {
    glUniform1f(uniformLocation(program, name), value);
}

void sendLightColours(const ShaderProgram& program, const LightColours& colours) {
    sendVec3(program, "light.ambient", colours.ambient);
    sendVec3(program, "light.diffuse", colours.diffuse);
    sendVec3(program, "light.specular", colours.specular);
}

void bindSurfaceTextures(GLuint diffuse, GLuint specular) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, diffuse);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, specular);
}

void drawTriangles(GLuint vertexArray, int vertexCount) {
    glBindVertexArray(vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
    glBindVertexArray(0);
}

void sendCamera(const ShaderProgram& program, const FrameView& view) {
    sendMatrix(program, "view", view.cameraView);
    sendMatrix(program, "projection", view.cameraProjection);
}

float cosineOfDegrees(double degrees) {
    return static_cast<float>(std::cos(degrees * pi / 180.0));
}

float secondsNow(const FrameView& view) {
    return view.seconds;
}

void drawFloorPlane(const Renderer& renderer, const ShaderProgram& program) {
    sendMatrix(program, "model", glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -1.0f, 0.0f)));
    drawTriangles(renderer.scene.planeVao, planeVertexCount);
}

void drawBlocks(const Renderer& renderer, const std::vector<Cell>& cells,
                const ShaderProgram& program) {
    for (const Cell cell : cells) {
        drawBlock(renderer, cell, program);
    }
}

constexpr int noMark = 0;
constexpr int plusMark = 1;
constexpr int ringMark = 2;
constexpr float crateSeeThrough = 0.75f;

// The plain room sends no mark at all, so its program stays as it was.
void drawMarkedBlocks(const Renderer& renderer, const std::vector<Cell>& cells,
                      const ShaderProgram& program, int mark) {
    if (mark == noMark) {
        drawBlocks(renderer, cells, program);
        return;
    }
    glUniform1i(uniformLocation(program, "blockMark"), mark);
    drawBlocks(renderer, cells, program);
    glUniform1i(uniformLocation(program, "blockMark"), noMark);
}

// Faint crates after everything solid, writing no depth, so what stands
// behind them shows through.
void drawSeeThroughCrates(const Renderer& renderer, const std::vector<Cell>& cells,
                          const ShaderProgram& program) {
    bindSurfaceTextures(renderer.scene.diffuseMap, renderer.scene.specularMap);
    sendLightColours(program, neutralLight);
    sendFloat(program, "seeThrough", crateSeeThrough);
    glDepthMask(GL_FALSE);
    drawBlocks(renderer, cells, program);
    glDepthMask(GL_TRUE);
    sendFloat(program, "seeThrough", 0.0f);
}

void drawModel(const Model& model, const glm::mat4& transform, const ShaderProgram& program) {
    sendMatrix(program, "model", transform);
    model.draw(program.program);
}

} // namespace

glm::mat4 rotateDegrees(const glm::mat4& transform, float degrees, glm::vec3 axis) {
    return glm::rotate(transform, degrees * degreesToRadians, glm::normalize(axis));
}

glm::mat4 blockModelMatrix(Cell cell) {
    glm::mat4 matrix = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f));
    matrix =
        glm::translate(matrix, glm::vec3(static_cast<float>(cell.x), static_cast<float>(cell.y),
                                         static_cast<float>(cell.z)));
    return glm::scale(matrix, glm::vec3(blockEdge));
}

glm::mat4 trophyModelMatrix(glm::vec3 trophyPosition, float seconds) {
    glm::mat4 matrix = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f, 0.0f, 0.75f));
    matrix = glm::translate(matrix, trophyPosition);
    return rotateDegrees(matrix, trophyTurnRate * seconds, yAxis);
}

glm::mat4 starModelMatrix(const glm::mat4& trophy, glm::vec3 offset, float seconds) {
    return rotateDegrees(glm::translate(trophy, offset), starTurnRate * seconds, yAxis);
}

void setLightingUniforms(const ShaderProgram& program, const FrameView& view) {
    const Camera& camera = view.camera;
    glUseProgram(program.program);
    sendVec3(program, "viewPos", camera.position);
    sendLightColours(program, neutralLight);
    sendFloat(program, "material.shininess", 64.0f);
    sendCamera(program, view);
    sendFloat(program, "light.constant", 1.0f);
    sendFloat(program, "light.linear", 0.001f);
    sendFloat(program, "light.quadratic", 0.0001f);
    sendVec3(program, "light.position", camera.position);
    sendVec3(program, "light.direction", camera.front);
    sendFloat(program, "light.cutOff", cosineOfDegrees(15.0));
    sendFloat(program, "light.outerCutOff", cosineOfDegrees(25.0));
}

void drawRoom(const Renderer& renderer, const ShaderProgram& program, Cell roomCells) {
    glUseProgram(program.program);
    bindSurfaceTextures(renderer.scene.wallTexture, 0);
    const glm::vec3 sides = cellCorner(roomCells);
    const glm::mat4 room = glm::translate(glm::mat4(1.0f), sides / 2.0f);
    sendMatrix(program, "model", glm::scale(room, sides));
    drawTriangles(renderer.scene.cubeVao, cubeVertexCount);
}

void drawBlock(const Renderer& renderer, Cell cell, const ShaderProgram& program) {
    sendMatrix(program, "model", blockModelMatrix(cell));
    drawTriangles(renderer.scene.cubeVao, cubeVertexCount);
}

void drawLevel(const Renderer& renderer, const ShaderProgram& program, const FrameView& view,
               CrateLook crates) {
    // The floor takes whatever textures the previous draw left bound.
    drawFloorPlane(renderer, program);
    if (crates == CrateLook::solid) {
        bindSurfaceTextures(renderer.scene.diffuseMap, renderer.scene.specularMap);
        drawBlocks(renderer, view.obstacleCells, program);
    }
    bindSurfaceTextures(renderer.scene.wallTexture, 0);
    sendLightColours(program, redLight);
    drawMarkedBlocks(renderer, view.redCells, program, view.blockMarks ? plusMark : noMark);
    sendLightColours(program, blueLight);
    drawMarkedBlocks(renderer, view.blueCells, program, view.blockMarks ? ringMark : noMark);
    if (crates == CrateLook::seeThrough) {
        drawSeeThroughCrates(renderer, view.obstacleCells, program);
    }
}

void drawModels(const Renderer& renderer, const ShaderProgram& program, const FrameView& view) {
    bindSurfaceTextures(renderer.scene.diffuseMap, renderer.scene.specularMap);
    // Each model reads the clock itself, as the stars' spin is its own.
    const glm::mat4 trophy = trophyModelMatrix(view.trophyPosition, secondsNow(view));
    drawModel(renderer.scene.trophyModel, trophy, program);
    drawModel(renderer.scene.starModels[0],
              starModelMatrix(trophy, firstStarOffset, secondsNow(view)), program);
    drawModel(renderer.scene.starModels[1],
              starModelMatrix(trophy, secondStarOffset, secondsNow(view)), program);
}

void bindShadowMapForLitPass(const Renderer& renderer, const glm::mat4& lightSpaceMatrix) {
    const ShaderProgram& program = renderer.basicProgram;
    glActiveTexture(GL_TEXTURE0 + shadowMapUnit);
    glBindTexture(GL_TEXTURE_2D, renderer.shadowMap.depthMap);
    // glUniform sets the current program: make sure that is basicProgram.
    glUseProgram(program.program);
    glUniform1i(uniformLocation(program, "shadowMap"), shadowMapUnit);
    sendMatrix(program, "lightSpaceMatrix", lightSpaceMatrix);
}

void renderLitPass(const Renderer& renderer, const FrameView& view,
                   const glm::mat4& lightSpaceMatrix) {
    setLightingUniforms(renderer.basicProgram, view);
    bindShadowMapForLitPass(renderer, lightSpaceMatrix);
    // The overview sees the level from outside: the walls are cut away and
    // the crates let the blocks behind them show.
    if (view.overview) {
        // The floor takes the walls' texture, as after drawRoom.
        bindSurfaceTextures(renderer.scene.wallTexture, 0);
    } else {
        drawRoom(renderer, renderer.basicProgram, view.roomSize);
    }
    drawLevel(renderer, renderer.basicProgram, view,
              view.overview ? CrateLook::seeThrough : CrateLook::solid);
    // The models are toon shaded and take no shadows.
    setLightingUniforms(renderer.toonProgram, view);
    drawModels(renderer, renderer.toonProgram, view);
}

void drawLightMarker(const Renderer& renderer, const FrameView& view) {
    const ShaderProgram& program = renderer.lampProgram;
    glUseProgram(program.program);
    sendCamera(program, view);
    const glm::mat4 marker = glm::translate(glm::mat4(1.0f), view.lightPosition);
    sendMatrix(program, "model", glm::scale(marker, glm::vec3(0.1f)));
    drawTriangles(renderer.scene.lightVao, cubeVertexCount);
}

void drawHintMarker(const Renderer& renderer, const FrameView& view) {
    if (!view.hintedCell) {
        return;
    }
    const ShaderProgram& program = renderer.lampProgram;
    glUseProgram(program.program);
    sendCamera(program, view);
    const glm::vec3 centre = cellCentre(*view.hintedCell);
    const glm::mat4 atCell = glm::translate(glm::mat4(1.0f), centre);
    sendMatrix(program, "model", glm::scale(atCell, glm::vec3(hintOutlineEdge)));
    glBindVertexArray(renderer.hintMarker.cellOutlineVao);
    glDrawArrays(GL_LINES, 0, cellOutlineVertexCount);
    // A small glowing cube in the middle, visible where the lines are thin.
    sendMatrix(program, "model", glm::scale(atCell, glm::vec3(hintCoreEdge)));
    drawTriangles(renderer.scene.lightVao, cubeVertexCount);
}

void drawPlayerMarker(const Renderer& renderer, const FrameView& view) {
    if (!view.playerMarker) {
        return;
    }
    const PlayerMarker& marker = *view.playerMarker;
    const ShaderProgram& program = renderer.lampProgram;
    glUseProgram(program.program);
    sendCamera(program, view);
    const glm::mat4 atPlayer = glm::translate(glm::mat4(1.0f), marker.position);
    sendMatrix(program, "model", glm::scale(atPlayer, glm::vec3(playerMarkerEdge)));
    drawTriangles(renderer.scene.lightVao, cubeVertexCount);
    // The arrow: a shaft along the facing from the marker, and its head.
    const float turn = std::atan2(-marker.facing.z, marker.facing.x);
    glm::mat4 shaft = glm::translate(atPlayer, marker.facing * (0.5f * arrowLength));
    shaft = glm::rotate(shaft, turn, yAxis);
    sendMatrix(program, "model", glm::scale(shaft, glm::vec3(arrowLength, 0.07f, 0.07f)));
    drawTriangles(renderer.scene.lightVao, cubeVertexCount);
    const glm::mat4 head = glm::translate(atPlayer, marker.facing * arrowLength);
    sendMatrix(program, "model", glm::scale(head, glm::vec3(0.16f)));
    drawTriangles(renderer.scene.lightVao, cubeVertexCount);
}

namespace {

void drawCellOutline(const Renderer& renderer, const ShaderProgram& program, Cell cell,
                     float edge) {
    const glm::mat4 atCell = glm::translate(glm::mat4(1.0f), cellCentre(cell));
    sendMatrix(program, "model", glm::scale(atCell, glm::vec3(edge)));
    glBindVertexArray(renderer.hintMarker.cellOutlineVao);
    glDrawArrays(GL_LINES, 0, cellOutlineVertexCount);
}

} // namespace

void drawEditorMarks(const Renderer& renderer, const FrameView& view) {
    if (!view.editorCursor && view.idleCells.empty()) {
        return;
    }
    const ShaderProgram& program = renderer.lampProgram;
    glUseProgram(program.program);
    sendCamera(program, view);
    for (const Cell cell : view.idleCells) {
        drawCellOutline(renderer, program, cell, idleOutlineEdge);
        const glm::mat4 atCell = glm::translate(glm::mat4(1.0f), cellCentre(cell));
        sendMatrix(program, "model", glm::scale(atCell, glm::vec3(idleCoreEdge)));
        drawTriangles(renderer.scene.lightVao, cubeVertexCount);
    }
    if (view.editorCursor) {
        for (const float edge : cursorOutlineEdges) {
            drawCellOutline(renderer, program, *view.editorCursor, edge);
        }
    }
    glBindVertexArray(0);
}
