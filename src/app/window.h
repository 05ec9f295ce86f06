// The window-system layer: the only file that talks to GLFW besides the
// timer and the frame's poll and swap.
#pragma once

struct GLFWwindow;

// Start-up steps 1 to 5: window system, hints, window, context, cursor, GL
// entry points. Every failure is fatal with its message.
GLFWwindow* openGameWindow(bool windowed);
// The key, cursor-position and scroll callbacks.
void installInputCallbacks(GLFWwindow* window);
void pollWindowEvents();
void presentFrame(GLFWwindow* window);
// Escape held: ask the window to close.
void closeOnEscape(GLFWwindow* window);
bool windowShouldClose(GLFWwindow* window);
void shutDownWindowSystem();
