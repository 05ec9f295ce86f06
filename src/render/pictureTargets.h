// The off-screen targets sized to the picture: the lit scene (scene colour
// and bright colour, depth) and the two ping-pong blur targets. A window
// that changes size gets a new set made beside the old one; only a complete
// set replaces it, so a frame never draws into an incomplete framebuffer.
#pragma once

#include "assets/glObject.h"
#include "game/screen.h"

#include <array>

struct PictureTargets {
    // In the order they are made, so they are deleted in the reverse.
    GlFramebuffer hdrTarget;
    std::array<GlTexture, 2> hdrColor;
    GlRenderbuffer hdrDepth;
    std::array<GlFramebuffer, 2> blurTargets;
    std::array<GlTexture, 2> blurColor;
    PictureSize size{0, 0}; // of every attachment; 0 x 0 before they are made
};

// Makes the lit-scene target and then the blur targets at the size, leaving
// the last blur target bound (as start-up always has).
PictureTargets makePictureTargets(PictureSize size);
// Whether the blur target still bound is complete: start-up tells only this,
// on standard output, as it always has.
bool boundTargetComplete();
// Whether all three framebuffers are complete. Leaves framebuffer 0 bound.
bool pictureTargetsComplete(const PictureTargets& targets);
