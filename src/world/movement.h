// Moving the world once per frame: the camera from the held keys, then the
// blocks after the player changes cell.
#pragma once

#include "world/gameObject.h"

constexpr float movementSpeed = 5.0f;
constexpr double lowerPositionBound = 0.15;
constexpr double upperPositionBound = 9.85;
constexpr int lowestBlockIndex = 0;
constexpr int highestBlockIndex = 9;

// Moves the camera from the held keys and flips the F2/F3/F8 toggles; undoes
// what leaves the bounds (per axis) or ends in an occupied cell (whole move).
void processMovement();
// Red blocks step with the direction, then blue blocks against it, each in
// level order. Nothing happens for direction 0.
void stepBlocks(Direction direction);
