// The overview of a puzzle level: the camera leaves the player and looks at
// the whole level from outside, turning round its middle, with layers peeled
// off the top to see inside. Nothing of the level moves meanwhile; the
// first-person camera waits where the player left it.
#pragma once

#include "game/camera.h"
#include "world/cell.h"

struct Overview {
    bool active = false;
    // Round the level's middle: yaw as the camera's, pitch below the
    // horizon negative, distance from the middle in world units.
    float yaw = -90.0f;
    float pitch = -35.0f;
    float distance = 10.0f;
    // Layers taken off the top; the rest stay visible.
    int peeledLayers = 0;
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
// One layer more off the top (PageDown), never the last one; one layer back
// (PageUp).
void peelLayer(Overview& overview, Cell roomSize);
void restoreLayer(Overview& overview);
// Cells from this layer up are peeled off.
int firstPeeledLayer(const Overview& overview, Cell roomSize);
