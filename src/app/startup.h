// The entry point's work: start-up, the frame loop and shutdown.
#pragma once

struct GLFWwindow;

// Returns the process exit status.
int runGame(bool windowed);
// Start-up steps 6 to 17, once the window and GL exist: every render resource
// and model in start-up order. The input callbacks are installed on
// callbackWindow at their place in that order when it is given; tests that
// only need the renderer pass none.
void setUpRenderer(GLFWwindow* callbackWindow = nullptr);
