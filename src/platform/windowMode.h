// How the game's window opens and where an ordinary window stands.
#pragma once

#include "game/screen.h"

// Full screen at the game's own 1024 x 768 (the plain game), an ordinary
// resizable window, or full screen at the desktop's current video mode. F11
// switches the last two into each other.
enum class WindowMode { fullScreen, windowed, fullScreenDesktop };

// Where an ordinary window stands on the screen, in screen coordinates.
struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = windowWidth;
    int height = windowHeight;
};
