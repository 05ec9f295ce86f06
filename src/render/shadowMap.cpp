// Renders the level and the models into a depth texture from the fixed
// overhead light, for basicProgram's shadow test. Leaves depthTarget bound for
// drawing, the 1024 x 1024 viewport and shadowProgram current.
#include "render/shadowMap.h"

#include "render/renderResources.h"
#include "render/scene.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <iostream>

ShadowMap shadowMap;
glm::mat4 lightSpaceMatrix(1.0f);

namespace {

constexpr GLint shadowMapUnit = 2;

void sendMatrix(GLuint program, const char* name, const glm::mat4& matrix) {
    glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(matrix));
}

void allocateDepthTexture(GLuint texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, shadowMapSize, shadowMapSize, 0,
                 GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

} // namespace

ShadowMap::~ShadowMap() {
    // At process exit the window system may already be gone with its context.
    if (!glContextIsCurrent()) {
        return;
    }
    if (depthTarget != 0) {
        glDeleteFramebuffers(1, &depthTarget);
    }
    if (depthMap != 0) {
        glDeleteTextures(1, &depthMap);
    }
}

bool createShadowMap() {
    glGenFramebuffers(1, &shadowMap.depthTarget);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowMap.depthTarget);
    glGenTextures(1, &shadowMap.depthMap);
    allocateDepthTexture(shadowMap.depthMap);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, shadowMap.depthMap, 0);
    // Depth only: there is no colour buffer to draw into or read from.
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "Framebuffer creation failed! \nStatus: " << static_cast<unsigned>(status)
                  << std::endl;
        return false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return true;
}

glm::mat4 lightProjectionMatrix() {
    return glm::ortho(-20.0f, 30.0f, -20.0f, 30.0f, 0.1f, 30.0f);
}

glm::mat4 lightViewMatrix() {
    return glm::lookAt(lightPos, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::mat4 computeLightSpaceMatrix() {
    return lightProjectionMatrix() * lightViewMatrix();
}

void renderShadowPass() {
    glViewport(0, 0, shadowMapSize, shadowMapSize);
    // Only the draw binding moves, so whatever is bound for reading stays.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, shadowMap.depthTarget);
    glClear(GL_DEPTH_BUFFER_BIT);
    lightSpaceMatrix = computeLightSpaceMatrix();
    glUseProgram(shadowProgram->program);
    sendMatrix(shadowProgram->program, "lightSpaceMatrix", lightSpaceMatrix);
    glCullFace(GL_FRONT);
    drawLevel(*shadowProgram);
    drawModels(*shadowProgram);
    glCullFace(GL_BACK);
}

void bindShadowMapForLitPass() {
    glActiveTexture(GL_TEXTURE0 + shadowMapUnit);
    glBindTexture(GL_TEXTURE_2D, shadowMap.depthMap);
    // glUniform sets the current program: make sure that is basicProgram.
    glUseProgram(basicProgram->program);
    glUniform1i(glGetUniformLocation(basicProgram->program, "shadowMap"), shadowMapUnit);
    sendMatrix(basicProgram->program, "lightSpaceMatrix", lightSpaceMatrix);
}
