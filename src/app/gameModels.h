// The trophy and its two stars. The trophy's position is the goal.
#pragma once

#include "assets/model.h"

#include <glm/vec3.hpp>

constexpr glm::vec3 trophyPosition(2.0f, 2.0f, 0.0f);

extern Model trophyModel;
extern Model starModels[2];

// Start-up step 9: the trophy, then each star built as a temporary and copied.
void loadGameModels();
