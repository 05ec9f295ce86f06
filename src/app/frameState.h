// Program-wide state of the frame loop and the game: timing, mode switches,
// the won state and the frame-rate line.
#pragma once

#include <string>

extern float deltaTime;
extern float lastFrame;
extern bool wireframe;
extern bool showFramerate;
extern bool frustumCulling;
extern bool playEnabled;
extern int wonFrames;
extern int framerateCounter;
extern std::string framerateText;

// The one seam from the game logic to the renderer: turning wireframe off
// sets the polygon mode back to filled at once. Set by the start-up code;
// tests may set a spy. Null means nothing to do.
extern void (*setFilledPolygonMode)();

// Puts every value above back to its start value (for tests and tools).
void resetFrameState();
