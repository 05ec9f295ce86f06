// The window system: the game's one window with its GL context, the input
// callbacks that fill the game's input state, and the clock. The only code
// of the game that calls GLFW.
#pragma once

struct GameState;
struct GLFWwindow;

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
    // Hints (GL 3.3 core), the window (full screen on the primary monitor
    // unless windowed), its context made current, the disabled cursor and the
    // GL entry points. Every failure is fatal with its message.
    explicit Window(bool windowed);
    // The window and its context go; whatever owns GL objects is gone by then.
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Key, cursor-position and scroll events go to the game's input state
    // and camera from now on; the game must outlive the window's events.
    void installInputCallbacks(GameState& game);
    void pollEvents();
    void present();
    // Escape held: ask the window to close.
    void closeOnEscape();
    bool shouldClose() const;

  private:
    GLFWwindow* window = nullptr;
};

// Seconds since the window system started.
double clockSeconds();
