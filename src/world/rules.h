// The rules of play: where the player may be, and what a change of the
// player's cell does to the blocks. The game, the solver, the tools and the
// play driver all move the player through movePlayer.
#pragma once

#include "world/cell.h"
#include "world/level.h"

#include <glm/vec3.hpp>

// World units per second of the camera, and so of the player.
constexpr float movementSpeed = 5.0f;
// The camera keeps this far from the room's walls.
constexpr double wallMargin = 0.15;

// True when the position lies in a cell that another object occupies; the
// player's own entry never blocks the player.
bool isCellBlocked(const Level& level, glm::vec3 position);
// Where a move from `from` to `moved` ends: each axis that leaves the room
// goes back on its own (the camera slides along the walls; an axis that
// starts inside a wall margin may always move towards the room's inside); a
// move that would cross a second cell boundary stops just before it, so the
// cell changes at most once, by one cell on one axis, even in a long frame;
// and an occupied destination undoes the whole move (no sliding along
// blocks, and no slipping between two blocks that touch at an edge).
glm::vec3 allowedPosition(const Level& level, glm::vec3 from, glm::vec3 moved);
// Red blocks step with the direction, then blue blocks against it, each in
// level order; later blocks see the cells that earlier ones left or took.
// Nothing happens for direction 0.
void stepBlocks(Level& level, Direction direction);
// The player takes the position; when that changes its cell, the blocks
// step. Returns the direction code of the change (0 when the cell stayed).
Direction movePlayer(Level& level, glm::vec3 position);
// One single-cell move to the middle of the neighbouring cell, with its block
// steps. False, and nothing changes, when that cell is outside the level or
// occupied.
bool movePlayerOneCell(Level& level, Direction direction);
