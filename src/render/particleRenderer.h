// The GL side of the particle fountain: the billboard and stream buffers and
// the one instanced draw.
#pragma once

#include <GL/glew.h>

extern GLuint billboardVbo;
extern GLuint particlePositionVbo;
extern GLuint particleColorVbo;
extern GLuint particleVao;

// Start-up step 13: buffers, vertex array and the staging arrays.
void setupParticleResources();
// Orphans both stream buffers and writes the first count instances.
void uploadParticles(int count);
void drawParticles(int count);
