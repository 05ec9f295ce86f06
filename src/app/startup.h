// The entry point's work: start-up, the frame loop and shutdown.
#pragma once

#include <memory>

struct GLFWwindow;
class Renderer;

// Returns the process exit status.
int runGame(bool windowed);
// Start-up steps 6 to 17, once the window and GL exist: the renderer with
// every GL object and model in start-up order. The global GL state is set
// and the input callbacks are installed on callbackWindow, when it is given,
// between the renderer's programs and its models; tests that only need the
// renderer pass none. It must be destroyed while its context is current.
std::unique_ptr<Renderer> setUpRenderer(GLFWwindow* callbackWindow = nullptr);
