#include "platform/window.h"

#include "core/console.h"
#include "platform/displayModes.h"
#include "platform/keyCodes.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <backends/imgui_impl_glfw.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

// The GLFW callbacks only queue events on the window found through its user
// pointer; the game takes them at its next update.
struct WindowCallbacks {
    static Window& ownerOf(GLFWwindow* window) {
        return *static_cast<Window*>(glfwGetWindowUserPointer(window));
    }

    static void key(GLFWwindow* window, int code, int /*scancode*/, int action, int /*mods*/) {
        // A held key's repeats carry nothing the game uses.
        if (action == GLFW_PRESS) {
            ownerOf(window).queue(InputEvent::press(keyOfCode(code)));
            ownerOf(window).menuKeyPresses.push_back(code);
        } else if (action == GLFW_RELEASE) {
            ownerOf(window).queue(InputEvent::release(keyOfCode(code)));
        }
    }
    static void mouseButton(GLFWwindow* window, int button, int action, int /*mods*/) {
        const int index = button - GLFW_MOUSE_BUTTON_1;
        ownerOf(window).queue(action == GLFW_PRESS ? InputEvent::buttonDown(index)
                                                   : InputEvent::buttonUp(index));
    }
    static void cursorPos(GLFWwindow* window, double x, double y) {
        ownerOf(window).queue(InputEvent::cursorAt(x, y));
    }
    static void scroll(GLFWwindow* window, double /*xOffset*/, double yOffset) {
        ownerOf(window).queue(InputEvent::wheel(yOffset));
    }
    static void focus(GLFWwindow* window, int focused) {
        ownerOf(window).queue(InputEvent::focus(focused == GLFW_TRUE));
    }
};

namespace {

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
    if (menusEnabled) {
        ImGui_ImplGlfw_Shutdown();
    }
    glfwDestroyWindow(window);
}

void Window::enableMenus() {
    ImGui_ImplGlfw_InitForOpenGL(window, true);
    menusEnabled = true;
}

namespace {

// ImGui's GLFW side would read the first joystick's raw buttons, whatever
// pad it is: the pad's navigation comes from its mapped state instead.
void feedPadNavigation(const GamepadState& pad) {
    ImGuiIO& io = ImGui::GetIO();
    io.ConfigFlags |= ImGuiConfigFlags_NavEnableGamepad;
    io.BackendFlags |= ImGuiBackendFlags_HasGamepad;
    if (!pad.connected) {
        return;
    }
    const auto button = [&](ImGuiNavInput_ input, PadButton which) {
        io.NavInputs[input] = std::max(io.NavInputs[input], pad.held(which) ? 1.0f : 0.0f);
    };
    button(ImGuiNavInput_Activate, PadButton::a);
    button(ImGuiNavInput_Cancel, PadButton::b);
    button(ImGuiNavInput_DpadUp, PadButton::dpadUp);
    button(ImGuiNavInput_DpadDown, PadButton::dpadDown);
    button(ImGuiNavInput_DpadLeft, PadButton::dpadLeft);
    button(ImGuiNavInput_DpadRight, PadButton::dpadRight);
    const glm::vec2 stick =
        pastDeadZone(glm::vec2(pad.axis(PadAxis::leftX), pad.axis(PadAxis::leftY)));
    io.NavInputs[ImGuiNavInput_LStickLeft] = std::max(-stick.x, 0.0f);
    io.NavInputs[ImGuiNavInput_LStickRight] = std::max(stick.x, 0.0f);
    io.NavInputs[ImGuiNavInput_LStickUp] = std::max(-stick.y, 0.0f);
    io.NavInputs[ImGuiNavInput_LStickDown] = std::max(stick.y, 0.0f);
}

} // namespace

// ImGui 1.86 reads the keys as they are held when its frame starts, so a
// press released before then would be lost: each press since the last frame
// shows as held for one frame. And it activates the focused item with Space
// only: Enter does too.
void Window::startMenuFrame(const GamepadState& pad) {
    ImGui::GetIO().ConfigFlags &= ~ImGuiConfigFlags_NavEnableGamepad;
    ImGui_ImplGlfw_NewFrame();
    feedPadNavigation(pad);
    ImGuiIO& io = ImGui::GetIO();
    const auto inKeyTable = [&io](int code) {
        return code >= 0 && code < int(sizeof io.KeysDown / sizeof io.KeysDown[0]);
    };
    for (int code : menuKeysShownHeld) {
        if (inKeyTable(code)) {
            io.KeysDown[code] = glfwGetKey(window, code) == GLFW_PRESS;
        }
    }
    menuKeysShownHeld.swap(menuKeyPresses);
    menuKeyPresses.clear();
    bool enter = false;
    for (int code : menuKeysShownHeld) {
        if (inKeyTable(code)) {
            io.KeysDown[code] = true;
        }
        enter = enter || code == GLFW_KEY_ENTER || code == GLFW_KEY_KP_ENTER;
    }
    // The backend reads Control only as a key event comes: a shortcut
    // tapped between two frames keeps it too.
    io.KeyCtrl = io.KeysDown[GLFW_KEY_LEFT_CONTROL] || io.KeysDown[GLFW_KEY_RIGHT_CONTROL];
    if (enter || glfwGetKey(window, GLFW_KEY_ENTER) == GLFW_PRESS ||
        glfwGetKey(window, GLFW_KEY_KP_ENTER) == GLFW_PRESS) {
        io.NavInputs[ImGuiNavInput_Activate] = 1.0f;
        // A screen just opened has its first item focused but not shown
        // while the mouse was last used; a key acts on it all the same.
        ImGui::GetCurrentContext()->NavDisableHighlight = false;
    }
}

void Window::setCursorFree(bool free) {
    if (free != cursorFree) {
        glfwSetInputMode(window, GLFW_CURSOR, free ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_DISABLED);
        cursorFree = free;
    }
}

void Window::installInputCallbacks() {
    glfwSetWindowUserPointer(window, this);
    glfwSetKeyCallback(window, WindowCallbacks::key);
    glfwSetMouseButtonCallback(window, WindowCallbacks::mouseButton);
    glfwSetCursorPosCallback(window, WindowCallbacks::cursorPos);
    glfwSetScrollCallback(window, WindowCallbacks::scroll);
    glfwSetWindowFocusCallback(window, WindowCallbacks::focus);
}

void Window::pollEvents() {
    if (displaySwitchRequested) {
        displaySwitchRequested = false;
        switchDisplay();
    }
    glfwPollEvents();
}

std::vector<InputEvent> Window::takeEvents() {
    std::vector<InputEvent> taken;
    taken.swap(events);
    return taken;
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

bool Window::shouldClose() const {
    return glfwWindowShouldClose(window);
}

void Window::cancelClose() {
    glfwSetWindowShouldClose(window, GLFW_FALSE);
}

double clockSeconds() {
    return glfwGetTime();
}

glm::vec2 Window::cursorArea() const {
    int width = 0;
    int height = 0;
    glfwGetWindowSize(window, &width, &height);
    return glm::vec2(float(std::max(width, 1)), float(std::max(height, 1)));
}

void Window::setClipboardText(const std::string& text) {
    glfwSetClipboardString(window, text.c_str());
}
