// What the passes read of the game in one frame, gathered by the app just
// before it draws. The renderer keeps none of it between frames.
#pragma once

#include "game/camera.h"
#include "game/gameState.h"
#include "game/particles.h"
#include "world/cell.h"

#include <glm/vec3.hpp>

#include <vector>

struct FrameView {
    const Camera& camera;
    std::vector<Cell> obstacleCells;
    std::vector<Cell> redCells;
    std::vector<Cell> blueCells;
    glm::vec3 trophyPosition;
    // The room's cells along each axis: the walls, the floor and the light
    // follow it.
    Cell roomSize;
    // The game clock in seconds. Each model reads it as it is drawn, in the
    // shadow pass and in the lit pass alike: the stars' spin is their own.
    double (*gameClock)();
    float deltaTime;
    bool wireframe;
    // A normal frame steps the fountain before it draws it.
    ParticleSystem& particles;
    std::vector<OverlayLine> overlayLines;
};

// The view of the game as it stands, with the overlay lines of this frame
// (which advances the frame-rate line's counter).
FrameView frameViewOf(GameState& game, double (*gameClock)());
