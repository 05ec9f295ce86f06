// The text overlay over the finished picture, and the won frame's message.
#pragma once

#include "game/gameState.h"

#include <glm/vec3.hpp>

#include <string>
#include <vector>

class Renderer;

// Where and how one line of the overlay is drawn, in the text projection's
// pixels.
struct OverlayLine {
    std::string text;
    float x;
    float y;
    float scale;
    glm::vec3 colour;
    // The wireframe line leaves texture units 0 and 1 with no texture bound.
    bool clearsTextureUnits;
    // y counts up from the picture's bottom edge instead of down the
    // 768-pixel frame from its top, so the line keeps to the bottom of a
    // resized window.
    bool fromBottom;
};

// The mode lines at the top left, the moves and hint lines at the bottom
// left, the help lines one under another below the mode lines.
std::vector<OverlayLine> overlayLayout(const std::vector<OverlayText>& texts);

// The lines over the picture; a wireframe frame gets its line polygon mode
// back afterwards.
void drawOverlay(Renderer& renderer, const std::vector<OverlayText>& texts, bool wireframe);
void drawWonMessage(Renderer& renderer);
