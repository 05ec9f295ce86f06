// The trophy's place: the goal of the win test, and where the renderer draws
// the trophy and its two stars (their models belong to the renderer).
#pragma once

#include <glm/vec3.hpp>

constexpr glm::vec3 trophyPosition(2.0f, 2.0f, 0.0f);

// The win test reads its goal as trophyModel.position; only the position is
// the game's, so that is all this holds.
struct TrophyPlacement {
    glm::vec3 position;
};
constexpr TrophyPlacement trophyModel{trophyPosition};
