#include "platform/window.h"

#include "core/console.h"
#include "game/gameState.h"
#include "platform/displayModes.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <iostream>

struct WindowCallbacks {
    static Window& ownerOf(GLFWwindow* window) {
        return *static_cast<Window*>(glfwGetWindowUserPointer(window));
    }
    static GameState& gameOf(GLFWwindow* window) { return *ownerOf(window).game; }
};

namespace {

Window& ownerOf(GLFWwindow* window) {
    return WindowCallbacks::ownerOf(window);
}

GameState& gameOf(GLFWwindow* window) {
    return WindowCallbacks::gameOf(window);
}

void keyCallback(GLFWwindow* window, int key, int /*scancode*/, int action, int /*mods*/) {
    if (key == GLFW_KEY_F11 && action == GLFW_PRESS) {
        ownerOf(window).requestDisplaySwitch();
    }
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

Window::Window(WindowMode mode) : mode(mode) {
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);

    window = createGameWindow(mode);
    if (!window) {
        failWith(std::cerr, "open window failed");
    }
    if (mode == WindowMode::fullScreenDesktop) {
        windowedPlacement = centredPlacement();
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
    this->game = &game;
    glfwSetWindowUserPointer(window, this);
    glfwSetKeyCallback(window, keyCallback);
    glfwSetCursorPosCallback(window, cursorPosCallback);
    glfwSetScrollCallback(window, scrollCallback);
}

void Window::pollEvents() {
    glfwPollEvents();
    if (displaySwitchRequested) {
        displaySwitchRequested = false;
        switchDisplay();
    }
}

void Window::requestDisplaySwitch() {
    displaySwitchRequested = mode != WindowMode::fullScreen;
}

// A window remembers where it stood; one started in full screen comes back
// as a 1024 x 768 window in the middle of the monitor.
void Window::switchDisplay() {
    if (mode == WindowMode::windowed) {
        const WindowPlacement placement = placementOf(window);
        if (enterDesktopFullScreen(window)) {
            windowedPlacement = placement;
            mode = WindowMode::fullScreenDesktop;
        }
    } else if (mode == WindowMode::fullScreenDesktop) {
        enterWindow(window, windowedPlacement);
        mode = WindowMode::windowed;
    }
}

PictureSize Window::pictureSize() const {
    if (mode == WindowMode::fullScreen) {
        return PictureSize();
    }
    PictureSize size;
    glfwGetFramebufferSize(window, &size.width, &size.height);
    return size;
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
