#include "app/startup.h"

#include "app/frame.h"
#include "app/gameModels.h"
#include "app/frameState.h"
#include "app/window.h"
#include "render/particleRenderer.h"
#include "render/renderResources.h"
#include "render/shadowMap.h"

#include <GL/glew.h>

namespace {

void setGlobalGlState() {
    glViewport(0, 0, windowWidth, windowHeight);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void fillPolygons() { glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); }

void releaseAtShutdown() {
    glDeleteVertexArrays(1, &cubeVao);
    glDeleteBuffers(1, &cubeVbo);
    basicProgram.reset();
}

} // namespace

void setUpRenderer(GLFWwindow* callbackWindow) {
    setupRenderResources();
    setGlobalGlState();
    if (callbackWindow) {
        installInputCallbacks(callbackWindow);
    }
    loadGameModels();
    createCubeGeometry();
    createLightMarkerGeometry();
    createPlaneGeometry();
    loadImageTextures();
    setSamplerUnits();
    setupParticleResources();
    createHdrTarget();
    createBlurTargets();
    createQuadGeometry();
    createShadowMap();
    setFilledPolygonMode = fillPolygons;
}

int runGame(bool windowed) {
    GLFWwindow* window = openGameWindow(windowed);
    setUpRenderer(window);
    while (!windowShouldClose(window)) {
        runFrame(window);
    }
    releaseAtShutdown();
    shutDownWindowSystem();
    return 0;
}
