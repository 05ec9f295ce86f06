#include "app/frame.h"

#include "app/camera.h"
#include "app/clock.h"
#include "app/frameState.h"
#include "app/gameState.h"
#include "app/particles.h"
#include "app/window.h"
#include "render/bloom.h"
#include "render/overlay.h"
#include "render/particleRenderer.h"
#include "render/renderResources.h"
#include "render/scene.h"
#include "render/shadowMap.h"
#include "world/level.h"
#include "world/movement.h"

#include <GL/glew.h>

#include <cstdlib>
#include <iostream>

namespace {

constexpr int wonFramesBeforeExit = 300;

void updateFrameTiming() {
    const float now = static_cast<float>(gameTime());
    deltaTime = now - lastFrame;
    lastFrame = now;
}

void runParticleStep() {
    const int instanceCount = updateParticleSystem(particles, deltaTime, camera.position);
    uploadParticles(instanceCount);
    drawParticles(instanceCount);
}

// A won frame only shows the message; after the last one the process ends.
void runWonFrame(GLFWwindow* window) {
    drawWonMessage();
    playEnabled = false;
    wonFrames += 1;
    if (wonFrames > wonFramesBeforeExit) {
        std::cout << "YOU WON!" << std::endl;
        std::exit(0);
    }
    presentFrame(window);
}

} // namespace

// Both the window and the off-screen target start the lit pass cleared.
void clearTargetsForLitPass() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, hdrTarget);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void drawFramePasses() {
    if (wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
    renderShadowPass();
    clearTargetsForLitPass();
    renderLitPass();
    drawLightMarker();
    if (wireframe) {
        showWireframeScene();
    } else {
        runParticleStep();
        renderBloom();
    }
    drawOverlay();
}

void runFrame(GLFWwindow* window) {
    updateFrameTiming();
    pollWindowEvents();
    processMovement();
    player.setPosition(camera.position);
    stepBlocks(player.direction);
    writeTraceLine(std::cout);
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    if (isWinningCell(player.cell, goalPosition())) {
        runWonFrame(window);
    } else {
        drawFramePasses();
        presentFrame(window);
    }
    closeOnEscape(window);
}
