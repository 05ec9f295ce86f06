// The camera's movement from the held keys, once a frame, within the rules of
// the level, and the mode toggles that held keys flip.
#pragma once

#include "game/camera.h"
#include "game/input.h"
#include "game/modes.h"
#include "world/level.h"

// What moves the player besides the held keys' table: the keys bound to
// the moves, and the pad's flight (see padFlight).
struct MoveControls {
    KeyBindings bindings = KeyBindings::defaults();
    glm::vec3 padFlight{0.0f};
};

// True while any of the action's keys is held.
bool heldAction(const InputState& input, const KeyBindings& bindings, Action action);

// While play is on: moves the camera by deltaTime x movementSpeed along the
// held keys' directions and the pad's flight, flips the F2/F3/F8 toggles, and
// keeps what the rules allow (see allowedPosition): a stick moves the player
// by the same rules as the keys. True when the rules held the move back: the
// camera stayed in its cell, short of the place the keys asked for by more
// than a quarter of the move (a wall, a crate, a block ahead).
bool processMovement(Camera& camera, Modes& modes, const InputState& input,
                     const MoveControls& controls, const Level& level, float deltaTime);

// F2, F3 and F8 flip their switches once in every frame they are held.
void flipHeldToggles(Modes& modes, const InputState& input);
