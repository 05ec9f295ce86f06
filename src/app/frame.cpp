#include "app/frame.h"

#include "app/camera.h"
#include "app/clock.h"
#include "app/frameState.h"
#include "app/gameModels.h"
#include "app/gameState.h"
#include "app/particles.h"
#include "app/window.h"
#include "render/drawFrame.h"
#include "world/level.h"
#include "world/movement.h"

#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <vector>

namespace {

constexpr int wonFramesBeforeExit = 300;

void updateFrameTiming() {
    const float now = static_cast<float>(gameTime());
    deltaTime = now - lastFrame;
    lastFrame = now;
}

// The cells of one of the level's object arrays, in its order.
template <class Object, std::size_t count>
std::vector<Cell> cellsOf(const Object (&objects)[count]) {
    std::vector<Cell> cells;
    for (const Object& object : objects) {
        cells.push_back(object.cell);
    }
    return cells;
}

// A won frame only shows the message; after the last one the process ends.
void runWonFrame(GLFWwindow* window, Renderer& renderer) {
    drawWonFrame(renderer);
    playEnabled = false;
    wonFrames += 1;
    if (wonFrames > wonFramesBeforeExit) {
        std::cout << "YOU WON!" << std::endl;
        std::exit(0);
    }
    presentFrame(window);
}

} // namespace

FrameView gatherFrameView() {
    return FrameView{
        camera,
        cellsOf(obstacles),  // obstacleCells
        cellsOf(redBlocks),  // redCells
        cellsOf(blueBlocks), // blueCells
        trophyPosition,
        gameTime, // gameClock
        deltaTime,
        wireframe,
        particles,
        overlayLines(),
    };
}

void runFrame(GLFWwindow* window, Renderer& renderer) {
    updateFrameTiming();
    pollWindowEvents();
    processMovement();
    player.setPosition(camera.position);
    stepBlocks(player.direction);
    writeTraceLine(std::cout);
    if (isWinningCell(player.cell, goalPosition())) {
        runWonFrame(window, renderer);
    } else {
        FrameView view = gatherFrameView();
        drawFrame(renderer, view);
        presentFrame(window);
    }
    closeOnEscape(window);
}
