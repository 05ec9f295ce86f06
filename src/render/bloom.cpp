// Bloom: blurs hdrColor[1] by ping-ponging between the two blur targets, then
// draws scene plus blur into the window (framebuffer 0), which stays bound
// for the overlay. Unit 5 holds the last blur input, units 0 and 1 the
// combine inputs; no vertex array is left bound.
#include "render/bloom.h"

#include "render/renderer.h"
#include "render/vertexTables.h"

#include <GL/glew.h>

static_assert(blurPassCount % 2 == 0, "the combine reads the last vertical pass");

namespace {

void drawFullScreenQuad(const Renderer& renderer) {
    glBindVertexArray(renderer.bloom.quadVao);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, quadVertexCount);
    glBindVertexArray(0);
}

// A horizontal pass writes blur target 1, a vertical one target 0; each pass
// after the first reads what the one before it wrote.
void runBlurPass(const Renderer& renderer, bool horizontal, bool firstPass) {
    const GLuint program = renderer.blurProgram.program;
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.blurTargets[horizontal ? 1 : 0]);
    glUniform1i(glGetUniformLocation(program, "horizontal"), horizontal ? 1 : 0);
    glBindTexture(GL_TEXTURE_2D, firstPass ? renderer.targets.hdrColor[1]
                                           : renderer.targets.blurColor[horizontal ? 0 : 1]);
    glUniform1i(glGetUniformLocation(program, "image"), 5);
    drawFullScreenQuad(renderer);
}

} // namespace

void blurBrightColor(const Renderer& renderer) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    bool horizontal = true;
    glUseProgram(renderer.blurProgram.program);
    glActiveTexture(GL_TEXTURE5);
    for (int pass = 0; pass < blurPassCount; ++pass) {
        runBlurPass(renderer, horizontal, pass == 0);
        horizontal = !horizontal;
    }
}

// After an even number of passes the last one was vertical and wrote
// blurColor[0].
void combineBloom(const Renderer& renderer) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const GLuint program = renderer.bloomCombineProgram.program;
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, renderer.targets.hdrColor[0]);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, renderer.targets.blurColor[0]);
    glUniform1i(glGetUniformLocation(program, "scene"), 0);
    glUniform1i(glGetUniformLocation(program, "bloomBlur"), 1);
    drawFullScreenQuad(renderer);
}

void renderBloom(const Renderer& renderer) {
    blurBrightColor(renderer);
    combineBloom(renderer);
}

// Wireframe frames skip the blur and the combine; the lines drawn into
// hdrTarget still reach the window by a plain copy of the scene colour, which
// polygon mode does not affect.
void showWireframeScene(const Renderer& renderer) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, renderer.targets.hdrTarget);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    const PictureSize size = renderer.targets.size;
    glBlitFramebuffer(0, 0, size.width, size.height, 0, 0, size.width, size.height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
