// The overview of a puzzle level: the camera leaves the player and looks at
// the whole level from outside, turning round its middle, with layers peeled
// off the top to see inside. Nothing of the level moves meanwhile; the
// first-person camera waits where the player left it.
#pragma once

#include "game/camera.h"
#include "world/cell.h"

#include <vector>

struct Overview {
    bool active = false;
    // Round the level's middle: yaw as the camera's, pitch below the
    // horizon negative, distance from the middle in world units.
    float yaw = -90.0f;
    float pitch = -35.0f;
    float distance = 10.0f;
    // Layers from this one up are peeled off; the room's height when none is.
    int firstHiddenLayer = 0;
    // A drag with the left button held orbits.
    bool dragging = false;
};

// The overview opens behind and above where the player looks, far enough
// out to see the whole room.
Overview openOverview(const Camera& player, Cell roomSize);
// The camera of the overview: at its distance from the room's middle, looking
// at it, with the player's zoom.
Camera overviewCamera(const Overview& overview, Cell roomSize, float fov, float aspect);

// Turns round the middle by degrees; the pitch stays between straight down
// and level with the middle, short of either.
void orbit(Overview& overview, float yawDegrees, float pitchDegrees);
// Nearer (positive steps) or farther, within limits that fit the room.
void zoomOverview(Overview& overview, float steps, Cell roomSize);
// Which layers hold a piece (a crate, a block, the player or the trophy),
// from the floor up.
using LayerPieces = std::vector<bool>;
// PageDown: the highest visible layer that holds a piece goes, with the
// empty layers above it, so every press changes the picture; the floor layer
// always stays. PageUp: that layer comes back, with the empty layers above
// it up to the next that holds a piece.
void peelLayer(Overview& overview, const LayerPieces& pieces);
void restoreLayer(Overview& overview, const LayerPieces& pieces);
