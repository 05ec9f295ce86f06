// A gamepad as the window system last saw it, in the layout of the standard
// mapping (an Xbox pad's names), and what its sticks, triggers and buttons
// ask of play. Platform fills the state once a frame; all the meaning is
// here, so a state made up by hand plays as a real pad does.
#pragma once

#include "game/bindings.h"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <array>
#include <optional>
#include <string>
#include <vector>

// In the window system's order of the standard mapping's buttons and axes.
enum class PadButton {
    a,
    b,
    x,
    y,
    leftBumper,
    rightBumper,
    back,
    start,
    guide,
    leftThumb,
    rightThumb,
    dpadUp,
    dpadRight,
    dpadDown,
    dpadLeft
};
constexpr int padButtonCount = 15;
enum class PadAxis { leftX, leftY, rightX, rightY, leftTrigger, rightTrigger };
constexpr int padAxisCount = 6;

struct GamepadState {
    // Each -1 to 1. A stick's y is -1 pushed away from the player; a
    // trigger is -1 released and 1 pulled all the way.
    std::array<float, padAxisCount> axes{};
    std::array<bool, padButtonCount> buttons{};
    bool connected = false;
    std::string name;

    float axis(PadAxis which) const { return axes[static_cast<std::size_t>(which)]; }
    bool held(PadButton which) const { return buttons[static_cast<std::size_t>(which)]; }
};

// No stick rests exactly at its middle: within this much of it, nothing.
constexpr float stickDeadZone = 0.2f;
// A trigger counts from this much of its travel.
constexpr float triggerDeadZone = 0.1f;
// Degrees a second the look turns at a stick's full tilt, at the settings'
// sensitivity 1.
constexpr float stickLookRate = 150.0f;

// A stick past the dead zone: 0 at its edge rising to 1 at full tilt, in the
// stick's own direction, never longer than 1.
glm::vec2 pastDeadZone(glm::vec2 stick);
// How the pad asks to fly, each part -1 to 1: x to the right, y up (a right
// shoulder or trigger) and down (a left one), z forward (the left stick).
glm::vec3 padFlight(const GamepadState& pad);
// How the right stick asks to look, each part -1 to 1: x turns right, y up.
glm::vec2 padLook(const GamepadState& pad);
// The buttons down now that were up in the last frame, in button order: each
// press acts once, however long the button is held.
std::vector<PadButton> padPresses(const GamepadState& before, const GamepadState& now);
// A hint, B undo, X overview, Y restart, Back help, Start pause; nothing for
// the other buttons.
std::optional<Action> padAction(PadButton button);
// "Gamepad disconnected: NAME" and "Gamepad connected: NAME" for the
// frame's change of pad, in that order; none when it stays.
std::vector<std::string> padConnectionLines(const GamepadState& before, const GamepadState& now);
// The help's lines for the pad.
std::vector<std::string> padHelpLines();

// The first line of a text of gamepad mappings (as in gamecontrollerdb.txt)
// that is not one, as "line N: what is wrong"; empty when every line is a
// mapping, a comment or blank. A mapping: 32 hex digits of GUID, a name,
// then "key:value," pairs.
std::string mappingsProblem(const std::string& text);
