// The one level: a 10 x 10 x 10 room with the player, five red and five blue
// blocks and eleven obstacles, all built before main in this order.
#pragma once

#include "world/cell.h"
#include "world/gameObject.h"
#include "world/levelGrid.h"

#include <glm/vec3.hpp>

constexpr int levelSize = 10;
constexpr int redBlockCount = 5;
constexpr int blueBlockCount = 5;
constexpr int obstacleCount = 11;

extern Player player;
extern RedBlock redBlocks[redBlockCount];
extern BlueBlock blueBlocks[blueBlockCount];
extern GameObject obstacles[obstacleCount];

// The cell a world position belongs to (per-axis floor).
Cell cellOf(glm::vec3 position);
// True when the position lies in a cell that another object occupies.
bool isCellBlocked(glm::vec3 position);
