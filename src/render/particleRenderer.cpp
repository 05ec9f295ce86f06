// The particle fountain on the GPU: one static corner buffer, two stream
// buffers re-filled every frame and one instanced draw into whatever target is
// bound (hdrTarget in the frame). Leaves particleProgram current and no
// vertex array bound.
#include "render/particleRenderer.h"

#include <glm/geometric.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>

namespace {

constexpr GLfloat billboardCorners[] = {
    -0.5f, -0.5f, 0.0f, 0.5f, -0.5f, 0.0f, -0.5f, 0.5f, 0.0f, 0.5f, 0.5f, 0.0f,
};
constexpr GLsizeiptr positionBufferBytes = GLsizeiptr(maxParticles) * 4 * sizeof(GLfloat);
constexpr GLsizeiptr colorBufferBytes = GLsizeiptr(maxParticles) * 4 * sizeof(GLubyte);

GlBuffer createBuffer(GLsizeiptr bytes, const void* data, GLenum usage) {
    GlBuffer buffer = GlBuffer::make();
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, bytes, data, usage);
    return buffer;
}

// Fresh storage first, so the driver need not wait for last frame's draw.
void refillStreamBuffer(GLuint buffer, GLsizeiptr capacity, GLsizeiptr used, const void* data) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, capacity, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, used, data);
}

void setCameraUniforms(GLuint program, const FrameView& view) {
    const Camera& camera = view.camera;
    const glm::vec3 right = glm::cross(camera.front, camera.up);
    glUniform3fv(glGetUniformLocation(program, "CameraRight_worldspace"), 1, glm::value_ptr(right));
    glUniform3fv(glGetUniformLocation(program, "CameraUp_worldspace"), 1,
                 glm::value_ptr(camera.up));
    glUniformMatrix4fv(glGetUniformLocation(program, "view"), 1, GL_FALSE,
                       glm::value_ptr(view.cameraView));
    glUniformMatrix4fv(glGetUniformLocation(program, "projection"), 1, GL_FALSE,
                       glm::value_ptr(view.cameraProjection));
}

void bindInstanceAttributes(const ParticleBuffers& buffers) {
    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, buffers.billboardVbo);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(1);
    glBindBuffer(GL_ARRAY_BUFFER, buffers.particlePositionVbo);
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(2);
    glBindBuffer(GL_ARRAY_BUFFER, buffers.particleColorVbo);
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, 0, nullptr);
    glVertexAttribDivisor(0, 0);
    glVertexAttribDivisor(1, 1);
    glVertexAttribDivisor(2, 1);
}

// Never more instances than the staging arrays hold.
int clampedInstanceCount(const ParticleSystem& particles, int count) {
    return std::clamp(count, 0, int(particles.positionData.size() / 4));
}

} // namespace

ParticleBuffers createParticleBuffers() {
    ParticleBuffers buffers;
    buffers.billboardVbo = createBuffer(sizeof(billboardCorners), billboardCorners, GL_STATIC_DRAW);
    buffers.particlePositionVbo = createBuffer(positionBufferBytes, nullptr, GL_STREAM_DRAW);
    buffers.particleColorVbo = createBuffer(colorBufferBytes, nullptr, GL_STREAM_DRAW);
    buffers.particleVao = GlVertexArray::make();
    return buffers;
}

void uploadParticles(const ParticleBuffers& buffers, const ParticleSystem& particles, int count) {
    const GLsizeiptr instances = clampedInstanceCount(particles, count);
    refillStreamBuffer(buffers.particlePositionVbo, positionBufferBytes,
                       instances * 4 * sizeof(GLfloat), particles.positionData.data());
    refillStreamBuffer(buffers.particleColorVbo, colorBufferBytes, instances * 4 * sizeof(GLubyte),
                       particles.colorData.data());
}

void drawParticles(const ParticleBuffers& buffers, const ShaderProgram& particleProgram,
                   const FrameView& view, const ParticleSystem& particles, int count) {
    const GLuint program = particleProgram.program;
    glUseProgram(program);
    setCameraUniforms(program, view);
    glBindVertexArray(buffers.particleVao);
    bindInstanceAttributes(buffers);
    glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, clampedInstanceCount(particles, count));
    glBindVertexArray(0);
}

void drawParticlePass(const ParticleBuffers& buffers, const ShaderProgram& particleProgram,
                      const FrameView& view) {
    uploadParticles(buffers, view.particles, view.particleCount);
    drawParticles(buffers, particleProgram, view, view.particles, view.particleCount);
}
