#include "platform/window.h"

#include "core/console.h"
#include "game/gameState.h"
#include "game/screen.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <iostream>

namespace {

GameState& gameOf(GLFWwindow* window) {
    return *static_cast<GameState*>(glfwGetWindowUserPointer(window));
}

void keyCallback(GLFWwindow* window, int key, int /*scancode*/, int action, int /*mods*/) {
    if (handleKey(gameOf(window).input, key, action)) {
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    }
}

void cursorPosCallback(GLFWwindow* window, double x, double y) {
    GameState& game = gameOf(window);
    handleCursorPos(game.input, game.camera, game.modes.playEnabled, x, y);
}

void scrollCallback(GLFWwindow* window, double /*xOffset*/, double yOffset) {
    handleScroll(gameOf(window).camera, yOffset);
}

[[noreturn]] void failWith(std::ostream& stream, const char* message) {
    stream << message << std::endl;
    glfwTerminate();
    consolePause();
    std::exit(1);
}

} // namespace

WindowSystem::WindowSystem() {
    if (!glfwInit()) {
        fatalError({"glfw init failed"});
    }
}

WindowSystem::~WindowSystem() {
    glfwTerminate();
}

Window::Window(bool windowed) {
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);

    // Without a primary monitor this is an ordinary window.
    GLFWmonitor* monitor = windowed ? nullptr : glfwGetPrimaryMonitor();
    window = glfwCreateWindow(windowWidth, windowHeight, "Game", monitor, nullptr);
    if (!window) {
        failWith(std::cerr, "open window failed");
    }

    glfwMakeContextCurrent(window);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    // Unaccelerated motion is what mouse look should follow, where offered.
    if (glfwRawMouseMotionSupported()) {
        glfwSetInputMode(window, GLFW_RAW_MOUSE_MOTION, GLFW_TRUE);
    }

    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        // This one failure goes to standard output.
        failWith(std::cout, "Failed to initialize GLEW");
    }
}

Window::~Window() {
    glfwDestroyWindow(window);
}

void Window::installInputCallbacks(GameState& game) {
    glfwSetWindowUserPointer(window, &game);
    glfwSetKeyCallback(window, keyCallback);
    glfwSetCursorPosCallback(window, cursorPosCallback);
    glfwSetScrollCallback(window, scrollCallback);
}

void Window::pollEvents() {
    glfwPollEvents();
}

void Window::present() {
    glfwSwapBuffers(window);
}

void Window::closeOnEscape() {
    if (glfwGetKey(window, GLFW_KEY_ESCAPE) == GLFW_PRESS) {
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    }
}

bool Window::shouldClose() const {
    return glfwWindowShouldClose(window);
}

double clockSeconds() {
    return glfwGetTime();
}
