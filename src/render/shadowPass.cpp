// Renders the level and the models into the shadow map's depth texture from
// the fixed overhead light, for basicProgram's shadow test in the lit pass.
#include "render/shadowPass.h"

#include "render/renderer.h"
#include "render/scene.h"

#include <glm/gtc/type_ptr.hpp>

glm::mat4 renderShadowPass(const Renderer& renderer, const FrameView& view) {
    glViewport(0, 0, shadowMapSize, shadowMapSize);
    // Only the draw binding moves, so whatever is bound for reading stays.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, renderer.shadowMap.depthTarget);
    glClear(GL_DEPTH_BUFFER_BIT);
    const glm::mat4& lightSpaceMatrix = view.lightSpaceMatrix;
    const ShaderProgram& program = renderer.shadowProgram;
    glUseProgram(program.program);
    glUniformMatrix4fv(glGetUniformLocation(program.program, "lightSpaceMatrix"), 1, GL_FALSE,
                       glm::value_ptr(lightSpaceMatrix));
    glCullFace(GL_FRONT);
    drawLevel(renderer, program, view);
    drawModels(renderer, program, view);
    glCullFace(GL_BACK);
    return lightSpaceMatrix;
}
