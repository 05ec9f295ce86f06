// The window system's key codes in the game's own key names.
#pragma once

#include "game/keys.h"

// Key::unknown for a code the game has no name for.
Key keyOfCode(int glfwKeyCode);
