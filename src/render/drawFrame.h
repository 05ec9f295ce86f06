// A whole frame's drawing, pass by pass, into the window's back buffer.
#pragma once

#include "render/frameView.h"

class Renderer;

// The GL state the whole game keeps from start-up on: the window's viewport,
// the depth test and alpha blending.
void setGlobalGlState();

// A normal frame: the polygon mode of its wireframe switch, then shadow,
// clear, lit, light marker, the particles and bloom (or, in wireframe mode,
// the plain copy of the scene), then the overlay.
void drawFrame(Renderer& renderer, const FrameView& view);
// A won frame: only the message, over what the back buffer holds, in the
// picture's viewport.
void drawWonFrame(Renderer& renderer);

// Both the window and hdrTarget start the lit pass cleared, with the
// picture's viewport (the size of the off-screen targets).
void clearTargetsForLitPass(const Renderer& renderer);
