// Making the renderer's GL objects, in start-up order: programs, text, the
// models, built-in geometry, image textures, sampler units, particle buffers,
// off-screen targets, the quad, the shadow map and the hint's cell outline. Only the off-screen
// targets are ever remade (when the picture changes size); the members'
// destructors delete it all.
#include "render/renderer.h"

#include "assets/texture.h"
#include "game/screen.h"
#include "render/vertexTables.h"

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

void setSamplerUnitsOf(const ShaderProgram& program) {
    glUseProgram(program.program);
    glUniform1i(glGetUniformLocation(program.program, "material.diffuse"), 0);
    glUniform1i(glGetUniformLocation(program.program, "material.specular"), 1);
}

// One texture from an image file; a file that cannot be decoded gets a
// placeholder and a console line.
GlTexture loadTexture(const std::string& path) {
    GlTexture texture = GlTexture::make();
    fillTextureFromFile(texture, path);
    return texture;
}

} // namespace

Renderer::Renderer(FatalExit fatalExit, const std::function<void()>& afterStageOne,
                   const AssetRoot& assets, PictureSize picture)
    : basicProgram(assets.path("shaders/basic.vert"), assets.path("shaders/basic.frag"), fatalExit),
      lampProgram(assets.path("shaders/lamp.vert"), assets.path("shaders/lamp.frag"), fatalExit),
      textProgram(assets.path("shaders/text.vert"), assets.path("shaders/text.frag"), fatalExit),
      toonProgram(assets.path("shaders/basic.vert"), assets.path("shaders/simple_tooned.frag"),
                  fatalExit),
      shadowProgram(assets.path("shaders/shadow.vert"), assets.path("shaders/shadow.frag"),
                    fatalExit),
      particleProgram(assets.path("shaders/particle.vert"), assets.path("shaders/particle.frag"),
                      fatalExit),
      blurProgram(assets.path("shaders/passthrough.vert"), assets.path("shaders/blur.frag"),
                  fatalExit),
      bloomCombineProgram(assets.path("shaders/passthrough.vert"),
                          assets.path("shaders/bloomCombine.frag"), fatalExit) {
    overlay.textRenderer.loadFont(assets.path(gameFontFile).c_str());
    targets.size = picture;
    setTextProjection();
    afterStageOne();
    loadGameModels(assets);
    createCubeGeometry();
    createLightMarkerGeometry();
    createPlaneGeometry();
    loadImageTextures(assets);
    setSamplerUnits();
    particleBuffers = createParticleBuffers();
    createPictureTargets(picture);
    createQuadGeometry();
    shadowMap = createShadowMap();
    createCellOutlineGeometry();
}

// GL only flags a program in use for deletion and keeps it, with its shaders,
// until it stops being used; none is in use once the members go, so every
// program really goes with them.
Renderer::~Renderer() {
    glUseProgram(0);
}

// Leaves textProgram current.
void Renderer::setTextProjection() {
    overlay.textProjection = textProjectionFor(targets.size);
    glUseProgram(textProgram.program);
    glUniformMatrix4fv(glGetUniformLocation(textProgram.program, "projection"), 1, GL_FALSE,
                       glm::value_ptr(overlay.textProjection));
}

// The trophy, then each star imported on its own.
void Renderer::loadGameModels(const AssetRoot& assets) {
    const std::string trophy = assets.path("objects/trophy.obj");
    const std::string star = assets.path("objects/star.obj");
    scene.trophyModel = Model(trophy.c_str(), glm::vec3(0.0f));
    scene.starModels[0] = Model(star.c_str(), glm::vec3(0.0f));
    scene.starModels[1] = Model(star.c_str(), glm::vec3(0.0f));
}

void Renderer::createCubeGeometry() {
    scene.cubeVao = GlVertexArray::make();
    scene.cubeVbo = GlBuffer::make();
    glBindBuffer(GL_ARRAY_BUFFER, scene.cubeVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof cubeVertices, cubeVertices, GL_STATIC_DRAW);
    glBindVertexArray(scene.cubeVao);
    litVertexAttributes();
    unbindGeometry();
}

void Renderer::createLightMarkerGeometry() {
    scene.lightVao = GlVertexArray::make();
    glBindVertexArray(scene.lightVao);
    glBindBuffer(GL_ARRAY_BUFFER, scene.cubeVbo);
    // The marker is unlit and untextured: positions only.
    floatAttribute(0, 3, 8 * sizeof(float), 0);
    unbindGeometry();
}

void Renderer::createPlaneGeometry() {
    scene.planeVao = GlVertexArray::make();
    scene.planeVbo = GlBuffer::make();
    glBindVertexArray(scene.planeVao);
    glBindBuffer(GL_ARRAY_BUFFER, scene.planeVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof planeVertices, planeVertices, GL_STATIC_DRAW);
    litVertexAttributes();
    unbindGeometry();
}

void Renderer::loadImageTextures(const AssetRoot& assets) {
    scene.diffuseMap = loadTexture(assets.path("container2.png"));
    scene.specularMap = loadTexture(assets.path("container2_specular.png"));
    scene.wallTexture = loadTexture(assets.path("tilewall.jpg"));
}

void Renderer::setSamplerUnits() {
    setSamplerUnitsOf(basicProgram);
    setSamplerUnitsOf(toonProgram);
}

// The lit pass draws into the scene target whatever its state; only the
// blur pair is reported, and both are built alike, so the one still bound
// stands for the pair.
void Renderer::createPictureTargets(PictureSize picture) {
    targets = makePictureTargets(picture);
    if (!boundTargetComplete()) {
        std::cout << "Framebuffer not complete!" << std::endl;
    }
}

void Renderer::createQuadGeometry() {
    bloom.quadVao = GlVertexArray::make();
    bloom.quadVbo = GlBuffer::make();
    glBindVertexArray(bloom.quadVao);
    glBindBuffer(GL_ARRAY_BUFFER, bloom.quadVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof quadVertices, quadVertices, GL_STATIC_DRAW);
    const GLsizei stride = 5 * sizeof(float);
    floatAttribute(0, 3, stride, 0);
    floatAttribute(1, 2, stride, 3 * sizeof(float));
    unbindGeometry();
}

void Renderer::createCellOutlineGeometry() {
    hintMarker.cellOutlineVao = GlVertexArray::make();
    hintMarker.cellOutlineVbo = GlBuffer::make();
    glBindVertexArray(hintMarker.cellOutlineVao);
    glBindBuffer(GL_ARRAY_BUFFER, hintMarker.cellOutlineVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof cellOutlineVertices, cellOutlineVertices, GL_STATIC_DRAW);
    floatAttribute(0, 3, 3 * sizeof(float), 0);
    unbindGeometry();
}

void Renderer::fitPicture(PictureSize framebuffer) {
    if (framebuffer.empty() || framebuffer == targets.size || framebuffer == refusedSize) {
        return;
    }
    PictureTargets resized = makePictureTargets(framebuffer);
    if (!pictureTargetsComplete(resized)) {
        // Whatever the failed making left in GL's error flags is ours.
        while (glGetError() != GL_NO_ERROR) {
        }
        std::cerr << "cannot make the picture's targets at " << framebuffer.width << " x "
                  << framebuffer.height << " pixels; the picture stays " << targets.size.width
                  << " x " << targets.size.height << std::endl;
        refusedSize = framebuffer;
        return;
    }
    targets = std::move(resized);
    refusedSize = PictureSize{0, 0};
    setTextProjection();
}

float textBottomFor(PictureSize picture) {
    return float(windowHeight) - float(picture.height);
}

glm::mat4 textProjectionFor(PictureSize picture) {
    return glm::ortho(0.0f, float(picture.width), textBottomFor(picture), float(windowHeight),
                      -1.0f, 1.0f);
}
