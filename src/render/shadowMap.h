// The shadow map and the fixed light it is drawn from: a depth texture on a
// framebuffer of its own, read by basicProgram on texture unit 2.
#pragma once

#include "world/cell.h"

#include "assets/glObject.h"

#include <GL/glew.h>
#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

constexpr int shadowMapSize = 1024;
constexpr GLint shadowMapUnit = 2;

// Just under the middle of the ceiling: the marker and the shadow light.
constexpr glm::vec3 lightPos(5.0f, 9.5f, 5.0f);
// Where the light hangs in a room of the given cells: in the middle, half a
// cell under the ceiling, as in the game's own room.
glm::vec3 lightPositionFor(Cell roomSize);

struct ShadowMap {
    // In the order they are made, so they are deleted in the reverse.
    GlFramebuffer depthTarget;
    GlTexture depthMap;
};

// Prints the status when the framebuffer is not complete, and then leaves it
// bound.
ShadowMap createShadowMap();

// The light's orthographic box (not centred on its axis) and its look-at
// from lightPos towards the origin; computeLightSpaceMatrix is their product.
glm::mat4 lightProjectionMatrix();
glm::mat4 lightViewMatrix(glm::vec3 light = lightPos);
glm::mat4 computeLightSpaceMatrix(glm::vec3 light = lightPos);
