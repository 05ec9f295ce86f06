// The window system: the game's one window with its GL context, the input
// callbacks that queue the window's events in the game's terms, and the
// clock. The only code of the game that calls GLFW.
#pragma once

#include "game/input.h"
#include "game/screen.h"
#include "platform/windowMode.h"

#include <glm/vec2.hpp>

#include <string>
#include <vector>

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
    // Hints (GL 3.3 core), the window in its mode, its context made current,
    // the disabled cursor and the GL entry points. Every failure is fatal
    // with its message.
    explicit Window(WindowMode mode);
    // The window and its context go; whatever owns GL objects is gone by then.
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Key, mouse button, cursor, wheel and focus events are queued from now
    // on.
    void installInputCallbacks();
    // Dear ImGui's window-system side, after the game's callbacks: it
    // passes every event on to them. Undone when the window goes.
    void enableMenus();
    // ImGui's new frame on this side; Enter activates as Space does, and the
    // pad navigates: D-pad and left stick move, A activates, B cancels.
    void startMenuFrame(const GamepadState& pad);
    // A free cursor to point at the menus, or the captured one of play.
    void setCursorFree(bool free);
    // A switch asked for happens first; then the window system's events are
    // queued.
    void pollEvents();
    // The events queued since the last call, oldest first.
    std::vector<InputEvent> takeEvents();
    void present();
    // The window's close button: the run ends after the frame.
    bool shouldClose() const;
    // The close button's press is taken back: the game asks first.
    void cancelClose();
    // F11: from a window to the desktop's full screen or back, at the next
    // poll of events. The plain game's full screen stays as it is.
    void requestDisplaySwitch();
    // The picture's size in pixels: the game's own 1024 x 768 in its own
    // full screen, otherwise the framebuffer's (in pixels, not in screen
    // coordinates, which differ on a HiDPI screen); 0 x 0 when minimised.
    PictureSize pictureSize() const;
    // The window's size in screen coordinates, where the cursor is measured.
    glm::vec2 cursorArea() const;
    // The system clipboard holds the text from now on.
    void setClipboardText(const std::string& text);

  private:
    // The GLFW callbacks, which find the window through its user pointer.
    friend struct WindowCallbacks;
    void switchDisplay();

    void queue(const InputEvent& event) { events.push_back(event); }

    GLFWwindow* window = nullptr;
    bool menusEnabled = false;
    bool cursorFree = false;
    // Keys pressed since the menus' last frame, and those shown held in it.
    std::vector<int> menuKeyPresses;
    std::vector<int> menuKeysShownHeld;
    WindowMode mode;
    std::vector<InputEvent> events;
    bool displaySwitchRequested = false;
    // Where the window goes back to when it leaves the desktop's full screen.
    WindowPlacement windowedPlacement;
};

// Seconds since the window system started.
double clockSeconds();
