// The shadow map: depth from the fixed light, drawn first in every frame and
// read by basicProgram on texture unit 2.
#pragma once

#include <GL/glew.h>
#include <glm/mat4x4.hpp>

constexpr int shadowMapSize = 1024;

struct ShadowMap {
    GLuint depthTarget = 0;
    GLuint depthMap = 0;
    // Releases both names at process exit, while a context is current.
    ~ShadowMap();
};

extern ShadowMap shadowMap;
extern glm::mat4 lightSpaceMatrix;

// True when the framebuffer is complete; prints the status otherwise.
bool createShadowMap();
// The light's orthographic box (not centred on its axis) and its look-at
// from lightPos towards the origin; computeLightSpaceMatrix is their product.
glm::mat4 lightProjectionMatrix();
glm::mat4 lightViewMatrix();
glm::mat4 computeLightSpaceMatrix();
void renderShadowPass();
// Unit 2 <- depthMap, "shadowMap" = 2 and "lightSpaceMatrix" on basicProgram.
void bindShadowMapForLitPass();
