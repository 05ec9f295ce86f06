#include "app/window.h"

#include "app/console.h"
#include "app/input.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <iostream>

namespace {

constexpr int width = 1024;
constexpr int height = 768;

void keyCallback(GLFWwindow* window, int key, int /*scancode*/, int action, int /*mods*/) {
    if (handleKey(key, action)) {
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    }
}

void cursorPosCallback(GLFWwindow* /*window*/, double x, double y) { handleCursorPos(x, y); }

void scrollCallback(GLFWwindow* /*window*/, double /*xOffset*/, double yOffset) {
    handleScroll(yOffset);
}

[[noreturn]] void failGlew() {
    // This one failure goes to standard output.
    std::cout << "Failed to initialize GLEW" << std::endl;
    glfwTerminate();
    consolePause();
    std::exit(1);
}

} // namespace

GLFWwindow* openGameWindow(bool windowed) {
    if (!glfwInit()) {
        fatalError({"glfw init failed"});
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);

    // Without a primary monitor this is an ordinary window.
    GLFWmonitor* monitor = windowed ? nullptr : glfwGetPrimaryMonitor();
    GLFWwindow* window = glfwCreateWindow(width, height, "Game", monitor, nullptr);
    if (!window) {
        std::cerr << "open window failed" << std::endl;
        glfwTerminate();
        consolePause();
        std::exit(1);
    }

    glfwMakeContextCurrent(window);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    // Unaccelerated motion is what mouse look should follow, where offered.
    if (glfwRawMouseMotionSupported()) {
        glfwSetInputMode(window, GLFW_RAW_MOUSE_MOTION, GLFW_TRUE);
    }

    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        failGlew();
    }
    return window;
}

void installInputCallbacks(GLFWwindow* window) {
    glfwSetKeyCallback(window, keyCallback);
    glfwSetCursorPosCallback(window, cursorPosCallback);
    glfwSetScrollCallback(window, scrollCallback);
}

void pollWindowEvents() { glfwPollEvents(); }

void presentFrame(GLFWwindow* window) { glfwSwapBuffers(window); }

void closeOnEscape(GLFWwindow* window) {
    if (glfwGetKey(window, GLFW_KEY_ESCAPE) == GLFW_PRESS) {
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    }
}

bool windowShouldClose(GLFWwindow* window) { return glfwWindowShouldClose(window); }

void shutDownWindowSystem() { glfwTerminate(); }
