// One frame of the game, in the order of its steps.
#pragma once

struct GLFWwindow;

void runFrame(GLFWwindow* window);
// The window and the off-screen target, both cleared before the lit pass.
void clearTargetsForLitPass();
// Steps 9 to 17 of a normal frame: every pass from the shadow map to the
// overlay, drawn into framebuffer 0. Tests render single frames with it.
void drawFramePasses();
