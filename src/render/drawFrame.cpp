// The frame's passes in their order. The shadow pass hands its light-space
// matrix to the lit pass; everything else the passes read is the renderer's
// or the frame view's.
#include "render/drawFrame.h"

#include "game/screen.h"
#include "render/bloom.h"
#include "render/overlay.h"
#include "render/particleRenderer.h"
#include "render/renderer.h"
#include "render/scene.h"
#include "render/shadowPass.h"

#include <GL/glew.h>

namespace {

// What the clears fill the window and hdrTarget with.
void setBackgroundColour() {
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
}

} // namespace

void setGlobalGlState() {
    glViewport(0, 0, windowWidth, windowHeight);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void clearTargetsForLitPass(const Renderer& renderer) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, renderer.targets.size.width, renderer.targets.size.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.hdrTarget);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void drawFrame(Renderer& renderer, const FrameView& view) {
    setBackgroundColour();
    glPolygonMode(GL_FRONT_AND_BACK, view.wireframe ? GL_LINE : GL_FILL);
    const glm::mat4 lightSpaceMatrix = renderShadowPass(renderer, view);
    clearTargetsForLitPass(renderer);
    renderLitPass(renderer, view, lightSpaceMatrix);
    drawLightMarker(renderer, view);
    drawHintMarker(renderer, view);
    drawEditorMarks(renderer, view);
    drawPlayerMarker(renderer, view);
    if (view.wireframe) {
        showWireframeScene(renderer);
    } else {
        drawParticlePass(renderer.particleBuffers, renderer.particleProgram, view);
        renderBloom(renderer);
    }
    drawOverlay(renderer, view.overlay, view.wireframe);
}

void drawWonFrame(Renderer& renderer) {
    setBackgroundColour();
    glViewport(0, 0, renderer.targets.size.width, renderer.targets.size.height);
    drawWonMessage(renderer);
}
