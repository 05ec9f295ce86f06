#include "platform/gamepad.h"

#include <GLFW/glfw3.h>

static_assert(GLFW_GAMEPAD_BUTTON_LAST + 1 == padButtonCount, "the pad's buttons");
static_assert(GLFW_GAMEPAD_AXIS_LAST + 1 == padAxisCount, "the pad's axes");

GamepadState pollGamepad() {
    GamepadState pad;
    for (int joystick = GLFW_JOYSTICK_1; joystick <= GLFW_JOYSTICK_LAST; ++joystick) {
        GLFWgamepadstate state;
        if (glfwJoystickIsGamepad(joystick) && glfwGetGamepadState(joystick, &state)) {
            for (int axis = 0; axis < padAxisCount; ++axis) {
                pad.axes[std::size_t(axis)] = state.axes[axis];
            }
            for (int button = 0; button < padButtonCount; ++button) {
                pad.buttons[std::size_t(button)] = state.buttons[button] == GLFW_PRESS;
            }
            pad.connected = true;
            const char* name = glfwGetGamepadName(joystick);
            pad.name = name ? name : "gamepad";
            break;
        }
    }
    return pad;
}

bool addGamepadMappings(const std::string& text) {
    return glfwUpdateGamepadMappings(text.c_str()) == GLFW_TRUE;
}
