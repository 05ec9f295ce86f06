// The window system: the game's one window with its GL context, the input
// callbacks that fill the game's input state, and the clock. The only code
// of the game that calls GLFW.
#pragma once

#include "game/screen.h"

struct GameState;
struct GLFWwindow;

// How the window opens: full screen at the game's own 1024 x 768 (the plain
// game), an ordinary resizable window, or full screen at the desktop's
// current video mode. F11 switches the last two into each other.
enum class WindowMode { fullScreen, windowed, fullScreenDesktop };

// Where an ordinary window stands on the screen, in screen coordinates.
struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = windowWidth;
    int height = windowHeight;
};

// The window system itself, from its start to its shutdown.
class WindowSystem {
  public:
    // A window system that cannot start is fatal ("glfw init failed").
    WindowSystem();
    ~WindowSystem();
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;
};

class Window {
  public:
    // Hints (GL 3.3 core), the window in its mode, its context made current,
    // the disabled cursor and the GL entry points. Every failure is fatal
    // with its message.
    explicit Window(WindowMode mode);
    // The window and its context go; whatever owns GL objects is gone by then.
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Key, cursor-position and scroll events go to the game's input state
    // and camera from now on; the game must outlive the window's events.
    void installInputCallbacks(GameState& game);
    // Events go to the callbacks; a switch F11 asked for happens after them.
    void pollEvents();
    void present();
    // Escape held: ask the window to close.
    void closeOnEscape();
    bool shouldClose() const;
    // F11: from a window to the desktop's full screen or back, at the next
    // poll of events. The plain game's full screen stays as it is.
    void requestDisplaySwitch();
    // The picture's size in pixels: the game's own 1024 x 768 in its own
    // full screen, otherwise the framebuffer's (in pixels, not in screen
    // coordinates, which differ on a HiDPI screen); 0 x 0 when minimised.
    PictureSize pictureSize() const;

  private:
    // The GLFW callbacks, which find the window through its user pointer.
    friend struct WindowCallbacks;
    void switchDisplay();

    GLFWwindow* window = nullptr;
    WindowMode mode;
    GameState* game = nullptr;
    bool displaySwitchRequested = false;
    // Where the window goes back to when it leaves the desktop's full screen.
    WindowPlacement windowedPlacement;
};

// Seconds since the window system started.
double clockSeconds();
