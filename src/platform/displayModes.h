// Opening the game's window in each of its modes and switching between a
// window and the desktop's full screen. Part of the window; GLFW only.
#pragma once

#include "platform/windowMode.h"

struct GLFWwindow;

// The window with the mode's hints, or null when it cannot be made.
GLFWwindow* createGameWindow(WindowMode mode);

// A 1024 x 768 window in the middle of the primary monitor: where a game
// started in the desktop's full screen goes when it leaves it.
WindowPlacement centredPlacement();
WindowPlacement placementOf(GLFWwindow* window);

// Full screen on the primary monitor at its current video mode, so the
// monitor keeps its mode; false when there is no monitor to use.
bool enterDesktopFullScreen(GLFWwindow* window);
void enterWindow(GLFWwindow* window, const WindowPlacement& placement);
