// One frame of the game, in the order of its steps.
#pragma once

#include "render/frameView.h"

struct GLFWwindow;
class Renderer;

void runFrame(GLFWwindow* window, Renderer& renderer);
// What the passes read of the game this frame. Making it takes the overlay
// lines, which advances the frame-rate counter: once per drawn frame.
FrameView gatherFrameView();
