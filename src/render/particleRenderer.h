// The GL side of the particle fountain: the billboard and stream buffers and
// the one instanced draw.
#pragma once

#include "assets/glObject.h"
#include "render/frameView.h"
#include "render/shaderProgram.h"

struct ParticleBuffers {
    // In the order they are made, so they are deleted in the reverse.
    GlBuffer billboardVbo;
    GlBuffer particlePositionVbo;
    GlBuffer particleColorVbo;
    GlVertexArray particleVao;
};

// Start-up step 13: the buffers and the vertex array.
ParticleBuffers createParticleBuffers();
// Orphans both stream buffers and writes the first count staged instances.
void uploadParticles(const ParticleBuffers& buffers, const ParticleSystem& particles, int count);
void drawParticles(const ParticleBuffers& buffers, const ShaderProgram& particleProgram,
                   const FrameView& view, const ParticleSystem& particles, int count);
// The particle pass of a normal frame: the fountain's live instances, as the
// frame's update left them, uploaded and drawn into whatever target is bound.
void drawParticlePass(const ParticleBuffers& buffers, const ShaderProgram& particleProgram,
                      const FrameView& view);
