// The first pass of every frame: the level and the models drawn into the
// shadow map from the fixed light.
#pragma once

#include "render/frameView.h"

#include <glm/mat4x4.hpp>

class Renderer;

// Leaves the shadow map's framebuffer bound for drawing (the read binding is
// untouched), the shadow map's viewport and shadowProgram current. Returns
// the light-space matrix it drew with, which the lit pass hands to
// basicProgram.
glm::mat4 renderShadowPass(const Renderer& renderer, const FrameView& view);
