// The text overlay over the finished picture, and the won frame's message.
#pragma once

void drawOverlay();
void drawWonMessage();
