#include "platform/keyCodes.h"

#include <GLFW/glfw3.h>

Key keyOfCode(int glfwKeyCode) {
    switch (glfwKeyCode) {
#define CELLQUEST_KEY_CASE(enumerator, name)                                                       \
    case GLFW_KEY_##name:                                                                          \
        return Key::enumerator;
        CELLQUEST_KEYS(CELLQUEST_KEY_CASE)
#undef CELLQUEST_KEY_CASE
    default:
        return Key::unknown;
    }
}
