// What the passes read of the game in one frame, built by the app from the
// game as the frame's update left it, with the frame's time as a value. The
// matrices that several passes share are computed here, once a frame. The
// renderer keeps none of it between frames.
#pragma once

#include "game/camera.h"
#include "game/gameState.h"
#include "game/particles.h"
#include "world/cell.h"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <optional>
#include <vector>

// Where the player stands and which way it looks, marked in the overview.
struct PlayerMarker {
    glm::vec3 position;
    // Along the floor, of unit length.
    glm::vec3 facing;
};

struct FrameView {
    // The player's camera, or in the overview the camera round the level.
    Camera camera;
    glm::mat4 cameraView;
    glm::mat4 cameraProjection;
    // The light hangs in the room; the shadow map is drawn from it.
    glm::vec3 lightPosition;
    glm::mat4 lightSpaceMatrix;
    std::vector<Cell> obstacleCells;
    std::vector<Cell> redCells;
    std::vector<Cell> blueCells;
    glm::vec3 trophyPosition;
    // The room's cells along each axis: the walls, the floor and the light
    // follow it.
    Cell roomSize;
    // The game clock in seconds: the trophy and the stars spin by it.
    float seconds;
    bool wireframe;
    // The fountain as this frame's update left it.
    const ParticleSystem& particles;
    int particleCount;
    std::vector<OverlayText> overlay;
    // The cell a hint points to, marked in the scene until the player's
    // cell changes.
    std::optional<Cell> hintedCell;
    // Red blocks carry a plus, blue blocks a ring (puzzle play).
    bool blockMarks;
    // The overview: no walls, see-through crates, the player marked, and
    // the cell lists above without the peeled layers.
    bool overview;
    std::optional<PlayerMarker> playerMarker;
    // The level editor: its cursor cell, outlined brightly, and the pieces
    // its proof found that do not matter, marked.
    std::optional<Cell> editorCursor;
    std::vector<Cell> idleCells;
};

FrameView frameViewOf(const GameState& game, double seconds);
