#include "platform/displayModes.h"

#include <GLFW/glfw3.h>

namespace {

// The primary monitor and its current video mode; both null without one.
struct PrimaryMonitor {
    GLFWmonitor* monitor = nullptr;
    const GLFWvidmode* mode = nullptr;
};

PrimaryMonitor primaryMonitor() {
    PrimaryMonitor primary;
    primary.monitor = glfwGetPrimaryMonitor();
    primary.mode = primary.monitor ? glfwGetVideoMode(primary.monitor) : nullptr;
    return primary;
}

// The monitor's own mode asked for exactly: GLFW then switches no mode.
void hintVideoMode(const GLFWvidmode& mode) {
    glfwWindowHint(GLFW_RED_BITS, mode.redBits);
    glfwWindowHint(GLFW_GREEN_BITS, mode.greenBits);
    glfwWindowHint(GLFW_BLUE_BITS, mode.blueBits);
    glfwWindowHint(GLFW_REFRESH_RATE, mode.refreshRate);
}

// The two modes F11 switches between: a resizable window that does not
// iconify when, switched to full screen, it loses the focus.
void hintSwitchableWindow() {
    glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
    glfwWindowHint(GLFW_AUTO_ICONIFY, GLFW_FALSE);
}

GLFWwindow* createDesktopFullScreen() {
    const PrimaryMonitor primary = primaryMonitor();
    if (!primary.mode) {
        return nullptr;
    }
    hintVideoMode(*primary.mode);
    return glfwCreateWindow(primary.mode->width, primary.mode->height, "Game", primary.monitor,
                            nullptr);
}

} // namespace

GLFWwindow* createGameWindow(WindowMode mode) {
    switch (mode) {
    case WindowMode::fullScreen:
        return glfwCreateWindow(windowWidth, windowHeight, "Game", glfwGetPrimaryMonitor(),
                                nullptr);
    case WindowMode::windowed:
        hintSwitchableWindow();
        return glfwCreateWindow(windowWidth, windowHeight, "Game", nullptr, nullptr);
    case WindowMode::fullScreenDesktop:
        hintSwitchableWindow();
        return createDesktopFullScreen();
    }
    return nullptr;
}

WindowPlacement centredPlacement() {
    WindowPlacement placement;
    if (const GLFWvidmode* mode = primaryMonitor().mode) {
        placement.x = (mode->width - placement.width) / 2;
        placement.y = (mode->height - placement.height) / 2;
    }
    return placement;
}

WindowPlacement placementOf(GLFWwindow* window) {
    WindowPlacement placement;
    glfwGetWindowPos(window, &placement.x, &placement.y);
    glfwGetWindowSize(window, &placement.width, &placement.height);
    return placement;
}

bool enterDesktopFullScreen(GLFWwindow* window) {
    const PrimaryMonitor primary = primaryMonitor();
    if (!primary.mode) {
        return false;
    }
    glfwSetWindowMonitor(window, primary.monitor, 0, 0, primary.mode->width, primary.mode->height,
                         primary.mode->refreshRate);
    return true;
}

void enterWindow(GLFWwindow* window, const WindowPlacement& placement) {
    glfwSetWindowMonitor(window, nullptr, placement.x, placement.y, placement.width,
                         placement.height, GLFW_DONT_CARE);
}
