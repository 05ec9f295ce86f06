// The console trace, the win test and the text of the overlay lines.
#pragma once

#include "world/cell.h"

#include <glm/vec3.hpp>

#include <ostream>
#include <string>
#include <vector>

// "<player xyz>\t\tredblock: <xyz>\t\tBlueblock: <xyz>" without the line end.
std::string traceLine();
// The trace line, a line end and a flush.
void writeTraceLine(std::ostream& out);

// The goal of the win test: the trophy's position.
glm::vec3 goalPosition();
// True when each of the cell's indices, as float, equals the goal's.
bool isWinningCell(Cell playerCell, glm::vec3 goal);

// 1 / deltaTime in fixed point with six decimals, in single precision.
std::string formatFramerate(float deltaTime);

struct OverlayLine {
    std::string text;
    float x;
    float y;
    float scale;
    glm::vec3 colour;
    // The wireframe line leaves texture units 0 and 1 with no texture bound.
    bool clearsTextureUnits;
};
// The lines of a normal frame, in drawing order; advances the frame-rate
// counter and refreshes its text as the frame-rate line is shown.
std::vector<OverlayLine> overlayLines();
