// The shadow map's depth texture and framebuffer, and the light's transform.
#include "render/shadowMap.h"

#include <glm/gtc/matrix_transform.hpp>

#include <iostream>

namespace {

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

ShadowMap createShadowMap() {
    ShadowMap shadowMap;
    shadowMap.depthTarget = GlFramebuffer::make();
    glBindFramebuffer(GL_FRAMEBUFFER, shadowMap.depthTarget);
    shadowMap.depthMap = GlTexture::make();
    allocateDepthTexture(shadowMap.depthMap);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, shadowMap.depthMap, 0);
    // Depth only: there is no colour buffer to draw into or read from.
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "Framebuffer creation failed! \nStatus: " << static_cast<unsigned>(status)
                  << std::endl;
        return shadowMap;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return shadowMap;
}

glm::mat4 lightProjectionMatrix() {
    return glm::ortho(-20.0f, 30.0f, -20.0f, 30.0f, 0.1f, 30.0f);
}

glm::vec3 lightPositionFor(Cell roomSize) {
    return glm::vec3(roomSize.x / 2.0f, roomSize.y - 0.5f, roomSize.z / 2.0f);
}

glm::mat4 lightViewMatrix(glm::vec3 light) {
    return glm::lookAt(light, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::mat4 computeLightSpaceMatrix(glm::vec3 light) {
    return lightProjectionMatrix() * lightViewMatrix(light);
}
