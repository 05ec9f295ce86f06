// Making the renderer's GL objects, in start-up order: programs, text, the
// models, built-in geometry, image textures, sampler units, particle buffers,
// off-screen targets, the quad and the shadow map. Nothing here is ever
// remade; the members' destructors delete it all.
#include "render/renderer.h"

#include "assets/texture.h"
#include "render/vertexTables.h"
#include "game/screen.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <iostream>

namespace {

const void* byteOffset(std::size_t bytes) {
    return reinterpret_cast<const void*>(bytes);
}

void floatAttribute(GLuint index, GLint size, GLsizei stride, std::size_t offset) {
    glEnableVertexAttribArray(index);
    glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, stride, byteOffset(offset));
}

// Position, normal and texture coordinate of the 32-byte records.
void litVertexAttributes() {
    const GLsizei stride = 8 * sizeof(float);
    floatAttribute(0, 3, stride, 0);
    floatAttribute(1, 3, stride, 3 * sizeof(float));
    floatAttribute(2, 2, stride, 6 * sizeof(float));
}

void unbindGeometry() {
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void setClampedLinear(GLenum firstFilter, GLenum secondFilter) {
    glTexParameteri(GL_TEXTURE_2D, firstFilter, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, secondFilter, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void attachHdrColor(GLuint texture, int index) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, windowWidth, windowHeight, 0, GL_RGB, GL_FLOAT,
                 nullptr);
    setClampedLinear(GL_TEXTURE_MAG_FILTER, GL_TEXTURE_MIN_FILTER);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + index, GL_TEXTURE_2D, texture, 0);
}

void attachBlurColor(GLuint target, GLuint texture) {
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, windowWidth, windowHeight, 0, GL_RGB, GL_FLOAT, nullptr);
    setClampedLinear(GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
}

void setSamplerUnitsOf(const ShaderProgram& program) {
    glUseProgram(program.program);
    glUniform1i(glGetUniformLocation(program.program, "material.diffuse"), 0);
    glUniform1i(glGetUniformLocation(program.program, "material.specular"), 1);
}

// One texture from an image file; a file that cannot be decoded gets a
// placeholder and a console line.
GlTexture loadTexture(const char* path) {
    GlTexture texture = GlTexture::make();
    fillTextureFromFile(texture, path);
    return texture;
}

} // namespace

Renderer::Renderer(FatalExit fatalExit, const std::function<void()>& afterStageOne)
    : basicProgram("shaders/basic.vert", "shaders/basic.frag", fatalExit),
      lampProgram("shaders/lamp.vert", "shaders/lamp.frag", fatalExit),
      textProgram("shaders/text.vert", "shaders/text.frag", fatalExit),
      toonProgram("shaders/basic.vert", "shaders/simple_tooned.frag", fatalExit),
      shadowProgram("shaders/shadow.vert", "shaders/shadow.frag", fatalExit),
      particleProgram("shaders/particle.vert", "shaders/particle.frag", fatalExit),
      blurProgram("shaders/passthrough.vert", "shaders/blur.frag", fatalExit),
      bloomCombineProgram("shaders/passthrough.vert", "shaders/bloomCombine.frag", fatalExit) {
    textRenderer.loadFont();
    setTextProjection();
    afterStageOne();
    loadGameModels();
    createCubeGeometry();
    createLightMarkerGeometry();
    createPlaneGeometry();
    loadImageTextures();
    setSamplerUnits();
    particleBuffers = createParticleBuffers();
    createHdrTarget();
    createBlurTargets();
    createQuadGeometry();
    shadowMap = createShadowMap();
}

// GL only flags a program in use for deletion and keeps it, with its shaders,
// until it stops being used; none is in use once the members go, so every
// program really goes with them.
Renderer::~Renderer() {
    glUseProgram(0);
}

// Leaves textProgram current.
void Renderer::setTextProjection() {
    textProjection = glm::ortho(0.0f, float(windowWidth), 0.0f, float(windowHeight), -1.0f, 1.0f);
    glUseProgram(textProgram.program);
    glUniformMatrix4fv(glGetUniformLocation(textProgram.program, "projection"), 1, GL_FALSE,
                       glm::value_ptr(textProjection));
}

// The trophy, then each star imported on its own.
void Renderer::loadGameModels() {
    trophyModel = Model("objects/trophy.obj", glm::vec3(0.0f));
    starModels[0] = Model("objects/star.obj", glm::vec3(0.0f));
    starModels[1] = Model("objects/star.obj", glm::vec3(0.0f));
}

void Renderer::createCubeGeometry() {
    cubeVao = GlVertexArray::make();
    cubeVbo = GlBuffer::make();
    glBindBuffer(GL_ARRAY_BUFFER, cubeVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof cubeVertices, cubeVertices, GL_STATIC_DRAW);
    glBindVertexArray(cubeVao);
    litVertexAttributes();
    unbindGeometry();
}

void Renderer::createLightMarkerGeometry() {
    lightVao = GlVertexArray::make();
    glBindVertexArray(lightVao);
    glBindBuffer(GL_ARRAY_BUFFER, cubeVbo);
    // The marker is unlit and untextured: positions only.
    floatAttribute(0, 3, 8 * sizeof(float), 0);
    unbindGeometry();
}

void Renderer::createPlaneGeometry() {
    planeVao = GlVertexArray::make();
    planeVbo = GlBuffer::make();
    glBindVertexArray(planeVao);
    glBindBuffer(GL_ARRAY_BUFFER, planeVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof planeVertices, planeVertices, GL_STATIC_DRAW);
    litVertexAttributes();
    unbindGeometry();
}

void Renderer::loadImageTextures() {
    diffuseMap = loadTexture("container2.png");
    specularMap = loadTexture("container2_specular.png");
    wallTexture = loadTexture("tilewall.jpg");
}

void Renderer::setSamplerUnits() {
    setSamplerUnitsOf(basicProgram);
    setSamplerUnitsOf(toonProgram);
}

void Renderer::createHdrTarget() {
    hdrTarget = GlFramebuffer::make();
    glBindFramebuffer(GL_FRAMEBUFFER, hdrTarget);
    hdrColor = {GlTexture::make(), GlTexture::make()};
    attachHdrColor(hdrColor[0], 0);
    attachHdrColor(hdrColor[1], 1);
    hdrDepth = GlRenderbuffer::make();
    glBindRenderbuffer(GL_RENDERBUFFER, hdrDepth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, windowWidth, windowHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, hdrDepth);
    const GLenum drawBuffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, drawBuffers);
    // The lit pass draws into it whatever the answer; nothing to report.
    glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void Renderer::createBlurTargets() {
    blurTargets = {GlFramebuffer::make(), GlFramebuffer::make()};
    blurColor = {GlTexture::make(), GlTexture::make()};
    attachBlurColor(blurTargets[0], blurColor[0]);
    attachBlurColor(blurTargets[1], blurColor[1]);
    // Both are built alike, so the one still bound stands for the pair.
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "Framebuffer not complete!" << std::endl;
    }
}

void Renderer::createQuadGeometry() {
    quadVao = GlVertexArray::make();
    quadVbo = GlBuffer::make();
    glBindVertexArray(quadVao);
    glBindBuffer(GL_ARRAY_BUFFER, quadVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof quadVertices, quadVertices, GL_STATIC_DRAW);
    const GLsizei stride = 5 * sizeof(float);
    floatAttribute(0, 3, stride, 0);
    floatAttribute(1, 2, stride, 3 * sizeof(float));
    unbindGeometry();
}
