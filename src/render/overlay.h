// The text overlay over the finished picture, and the won frame's message.
#pragma once

#include "game/gameState.h"

#include <vector>

class Renderer;

// The lines at the top left; a wireframe frame gets its line polygon mode
// back afterwards.
void drawOverlay(Renderer& renderer, const std::vector<OverlayLine>& lines, bool wireframe);
void drawWonMessage(Renderer& renderer);
