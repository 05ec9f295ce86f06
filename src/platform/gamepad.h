// The gamepads of the window system: its own mappings and the player's, and
// the first pad's state once a frame in the game's terms.
#pragma once

#include "game/gamepad.h"

#include <string>

// The first joystick that the window system's mappings make a gamepad, as
// it stands now; not connected when there is none. Joysticks come and go
// with the window system's events, so a pad plugged in plays at once.
GamepadState pollGamepad();

// Adds mappings (checked by mappingsProblem first) to the window system's
// own; false when it refused them.
bool addGamepadMappings(const std::string& text);
