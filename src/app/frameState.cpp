#include "app/frameState.h"

float deltaTime = 0.0f;
float lastFrame = 0.0f;
bool wireframe = false;
bool showFramerate = false;
bool frustumCulling = false;
bool playEnabled = true;
int wonFrames = 0;
int framerateCounter = 300;
std::string framerateText;

void (*setFilledPolygonMode)() = nullptr;

void resetFrameState() {
    deltaTime = 0.0f;
    lastFrame = 0.0f;
    wireframe = false;
    showFramerate = false;
    frustumCulling = false;
    playEnabled = true;
    wonFrames = 0;
    framerateCounter = 300;
    framerateText.clear();
}
