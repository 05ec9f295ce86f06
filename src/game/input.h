// The input of a frame, free of the window system: the events the window
// queued since the last frame, the time and the picture's aspect; and what
// the game keeps of them between frames (the held keys, the cursor).
#pragma once

#include "game/camera.h"
#include "game/gamepad.h"
#include "game/keys.h"
#include "game/menu.h"
#include "game/screen.h"
#include "game/settings.h"

#include <glm/vec2.hpp>

#include <array>
#include <cstddef>
#include <vector>

// Degrees of turn a pixel of mouse motion, at the settings' sensitivity 1.
constexpr float mouseSensitivity = 0.05f;

struct InputEvent {
    enum class Kind { keyPress, keyRelease, buttonPress, buttonRelease, cursorMoved, wheel, focus };
    Kind kind = Kind::keyPress;
    Key key = Key::unknown;
    // The mouse button: 0 the left one.
    int button = 0;
    // The cursor's position, or the wheel's offsets.
    double x = 0.0;
    double y = 0.0;
    bool focused = true;

    static InputEvent press(Key key) { return {Kind::keyPress, key, 0, 0.0, 0.0, true}; }
    static InputEvent release(Key key) { return {Kind::keyRelease, key, 0, 0.0, 0.0, true}; }
    static InputEvent buttonDown(int button) {
        return {Kind::buttonPress, Key::unknown, button, 0.0, 0.0, true};
    }
    static InputEvent buttonUp(int button) {
        return {Kind::buttonRelease, Key::unknown, button, 0.0, 0.0, true};
    }
    static InputEvent cursorAt(double x, double y) {
        return {Kind::cursorMoved, Key::unknown, 0, x, y, true};
    }
    static InputEvent wheel(double yOffset) {
        return {Kind::wheel, Key::unknown, 0, 0.0, yOffset, true};
    }
    static InputEvent focus(bool focused) {
        return {Kind::focus, Key::unknown, 0, 0.0, 0.0, focused};
    }
};

// Everything a frame's update reads from outside the game.
struct FrameInput {
    FrameInput(double time = 0.0, std::vector<InputEvent> events = {},
               float pictureAspect = cameraAspect)
        : time(time), events(std::move(events)), pictureAspect(pictureAspect) {}

    // Seconds on the game's clock, read once at the frame's start.
    double time = 0.0;
    // Since the last frame, oldest first; a held key's repeats are not here.
    std::vector<InputEvent> events;
    // Width over height of the picture the frame draws.
    float pictureAspect = cameraAspect;
    // What the menus asked for, in order; empty in runs without them.
    std::vector<MenuAction> menuActions;
    // The pad as the frame starts; none connected in the plain room's runs.
    GamepadState gamepad;
    // The window's size in the cursor's coordinates, which a click is
    // measured against.
    glm::vec2 cursorArea{float(windowWidth), float(windowHeight)};
    // The window's close button was pressed (reported in editor runs only:
    // other runs end at once).
    bool closeRequested = false;
};

struct MouseState {
    bool firstMouse = true;
    float lastX = 512.0f;
    float lastY = 384.0f;
};

struct InputState {
    // True from a key's press to its release.
    std::array<bool, keyCount> keys{};
    MouseState mouse;
    bool focused = true;
    // The pad as the last frame saw it: a button acts when it goes down.
    GamepadState pad;

    bool held(Key key) const { return keys[keyIndex(key)]; }
};

// Presses beyond this many in one frame act as held keys only.
constexpr std::size_t pressesPerFrameMax = 64;

// A press or release updates the held keys; unknown keys are ignored.
void applyKeyEvent(InputState& input, const InputEvent& event);
// Turns the camera (yaw and pitch) by the cursor's motion while play is on,
// as the settings' sensitivity and inverted look say. The position is kept
// either way, so the first look after a pause turns only by the motion since.
void handleCursorPos(InputState& input, Camera& camera, const Settings& settings, bool playEnabled,
                     double x, double y);
// Turns the camera by the right stick's tilt for a frame of deltaTime
// seconds, as the settings' sensitivity and inverted look say.
void turnByStick(Camera& camera, const Settings& settings, glm::vec2 look, float deltaTime);
// Zooms the camera (field of view 1..45) by the wheel.
void handleScroll(Camera& camera, double yOffset);
