// The renderer's program-wide GL objects and the start-up code that makes
// them: programs, text projection, built-in geometry, image textures, sampler
// units and the off-screen targets. Nothing here is ever recreated.
#include "render/renderResources.h"

#include "assets/texture.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <iostream>

std::unique_ptr<ShaderProgram> basicProgram;
std::unique_ptr<ShaderProgram> lampProgram;
ShaderProgram* textProgram = nullptr;
ShaderProgram* toonProgram = nullptr;
ShaderProgram* shadowProgram = nullptr;
ShaderProgram* particleProgram = nullptr;
ShaderProgram* blurProgram = nullptr;
ShaderProgram* bloomCombineProgram = nullptr;

TextRenderer textRenderer;
glm::mat4 textProjection(1.0f);

GLuint cubeVao = 0, cubeVbo = 0;
GLuint lightVao = 0;
GLuint planeVao = 0, planeVbo = 0;
GLuint quadVao = 0, quadVbo = 0;

GLuint diffuseMap = 0, specularMap = 0, wallTexture = 0;

GLuint hdrTarget = 0;
GLuint hdrColor[2] = {0, 0};
GLuint hdrDepth = 0;
GLuint blurTargets[2] = {0, 0};
GLuint blurColor[2] = {0, 0};

// Unit cube: per face a normal and two triangles. Faces 3 and 4 (the x faces)
// carry their texture a quarter turn round: u follows y, v follows -z.
const float cubeVertices[36 * 8] = {
    // position             normal                texture
    -0.5f, -0.5f, -0.5f, 0.0f,  0.0f,  -1.0f, 0.0f, 0.0f, //
    0.5f,  -0.5f, -0.5f, 0.0f,  0.0f,  -1.0f, 1.0f, 0.0f, //
    0.5f,  0.5f,  -0.5f, 0.0f,  0.0f,  -1.0f, 1.0f, 1.0f, //
    0.5f,  0.5f,  -0.5f, 0.0f,  0.0f,  -1.0f, 1.0f, 1.0f, //
    -0.5f, 0.5f,  -0.5f, 0.0f,  0.0f,  -1.0f, 0.0f, 1.0f, //
    -0.5f, -0.5f, -0.5f, 0.0f,  0.0f,  -1.0f, 0.0f, 0.0f, //

    -0.5f, -0.5f, 0.5f,  0.0f,  0.0f,  1.0f,  0.0f, 0.0f, //
    0.5f,  -0.5f, 0.5f,  0.0f,  0.0f,  1.0f,  1.0f, 0.0f, //
    0.5f,  0.5f,  0.5f,  0.0f,  0.0f,  1.0f,  1.0f, 1.0f, //
    0.5f,  0.5f,  0.5f,  0.0f,  0.0f,  1.0f,  1.0f, 1.0f, //
    -0.5f, 0.5f,  0.5f,  0.0f,  0.0f,  1.0f,  0.0f, 1.0f, //
    -0.5f, -0.5f, 0.5f,  0.0f,  0.0f,  1.0f,  0.0f, 0.0f, //

    -0.5f, 0.5f,  0.5f,  -1.0f, 0.0f,  0.0f,  1.0f, 0.0f, //
    -0.5f, 0.5f,  -0.5f, -1.0f, 0.0f,  0.0f,  1.0f, 1.0f, //
    -0.5f, -0.5f, -0.5f, -1.0f, 0.0f,  0.0f,  0.0f, 1.0f, //
    -0.5f, -0.5f, -0.5f, -1.0f, 0.0f,  0.0f,  0.0f, 1.0f, //
    -0.5f, -0.5f, 0.5f,  -1.0f, 0.0f,  0.0f,  0.0f, 0.0f, //
    -0.5f, 0.5f,  0.5f,  -1.0f, 0.0f,  0.0f,  1.0f, 0.0f, //

    0.5f,  0.5f,  0.5f,  1.0f,  0.0f,  0.0f,  1.0f, 0.0f, //
    0.5f,  0.5f,  -0.5f, 1.0f,  0.0f,  0.0f,  1.0f, 1.0f, //
    0.5f,  -0.5f, -0.5f, 1.0f,  0.0f,  0.0f,  0.0f, 1.0f, //
    0.5f,  -0.5f, -0.5f, 1.0f,  0.0f,  0.0f,  0.0f, 1.0f, //
    0.5f,  -0.5f, 0.5f,  1.0f,  0.0f,  0.0f,  0.0f, 0.0f, //
    0.5f,  0.5f,  0.5f,  1.0f,  0.0f,  0.0f,  1.0f, 0.0f, //

    -0.5f, -0.5f, -0.5f, 0.0f,  -1.0f, 0.0f,  0.0f, 1.0f, //
    0.5f,  -0.5f, -0.5f, 0.0f,  -1.0f, 0.0f,  1.0f, 1.0f, //
    0.5f,  -0.5f, 0.5f,  0.0f,  -1.0f, 0.0f,  1.0f, 0.0f, //
    0.5f,  -0.5f, 0.5f,  0.0f,  -1.0f, 0.0f,  1.0f, 0.0f, //
    -0.5f, -0.5f, 0.5f,  0.0f,  -1.0f, 0.0f,  0.0f, 0.0f, //
    -0.5f, -0.5f, -0.5f, 0.0f,  -1.0f, 0.0f,  0.0f, 1.0f, //

    -0.5f, 0.5f,  -0.5f, 0.0f,  1.0f,  0.0f,  0.0f, 1.0f, //
    0.5f,  0.5f,  -0.5f, 0.0f,  1.0f,  0.0f,  1.0f, 1.0f, //
    0.5f,  0.5f,  0.5f,  0.0f,  1.0f,  0.0f,  1.0f, 0.0f, //
    0.5f,  0.5f,  0.5f,  0.0f,  1.0f,  0.0f,  1.0f, 0.0f, //
    -0.5f, 0.5f,  0.5f,  0.0f,  1.0f,  0.0f,  0.0f, 0.0f, //
    -0.5f, 0.5f,  -0.5f, 0.0f,  1.0f,  0.0f,  0.0f, 1.0f, //
};

// Floor: 20 x 20 units at y = 0; the repeating texture tiles ten times a side.
const float planeVertices[6 * 8] = {
    10.0f,  0.0f, 10.0f,  0.0f, 1.0f, 0.0f, 10.0f, 0.0f,  //
    -10.0f, 0.0f, -10.0f, 0.0f, 1.0f, 0.0f, 0.0f,  10.0f, //
    -10.0f, 0.0f, 10.0f,  0.0f, 1.0f, 0.0f, 0.0f,  0.0f,  //
    10.0f,  0.0f, 10.0f,  0.0f, 1.0f, 0.0f, 10.0f, 0.0f,  //
    10.0f,  0.0f, -10.0f, 0.0f, 1.0f, 0.0f, 10.0f, 10.0f, //
    -10.0f, 0.0f, -10.0f, 0.0f, 1.0f, 0.0f, 0.0f,  10.0f, //
};

// Full-screen quad as a triangle strip: position, texture coordinate.
const float quadVertices[4 * 5] = {
    -1.0f, 1.0f,  0.0f, 0.0f, 1.0f, //
    -1.0f, -1.0f, 0.0f, 0.0f, 0.0f, //
    1.0f,  1.0f,  0.0f, 1.0f, 1.0f, //
    1.0f,  -1.0f, 0.0f, 1.0f, 0.0f, //
};

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

void attachHdrColor(int index) {
    glBindTexture(GL_TEXTURE_2D, hdrColor[index]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, windowWidth, windowHeight, 0, GL_RGB, GL_FLOAT,
                 nullptr);
    setClampedLinear(GL_TEXTURE_MAG_FILTER, GL_TEXTURE_MIN_FILTER);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + index, GL_TEXTURE_2D,
                           hdrColor[index], 0);
}

void attachBlurColor(int index) {
    glBindFramebuffer(GL_FRAMEBUFFER, blurTargets[index]);
    glBindTexture(GL_TEXTURE_2D, blurColor[index]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, windowWidth, windowHeight, 0, GL_RGB, GL_FLOAT, nullptr);
    setClampedLinear(GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, blurColor[index],
                           0);
}

void setSamplerUnitsOf(const ShaderProgram& program) {
    glUseProgram(program.program);
    glUniform1i(glGetUniformLocation(program.program, "material.diffuse"), 0);
    glUniform1i(glGetUniformLocation(program.program, "material.specular"), 1);
}

} // namespace

void setupRenderResources() {
    std::unique_ptr<ShaderProgram> basic =
        std::make_unique<ShaderProgram>("shaders/basic.vert", "shaders/basic.frag");
    basicProgram = std::move(basic);
    std::unique_ptr<ShaderProgram> lamp =
        std::make_unique<ShaderProgram>("shaders/lamp.vert", "shaders/lamp.frag");
    lampProgram = std::move(lamp);
    textProgram = new ShaderProgram("shaders/text.vert", "shaders/text.frag");
    toonProgram = new ShaderProgram("shaders/basic.vert", "shaders/simple_tooned.frag");
    shadowProgram = new ShaderProgram("shaders/shadow.vert", "shaders/shadow.frag");
    particleProgram = new ShaderProgram("shaders/particle.vert", "shaders/particle.frag");
    blurProgram = new ShaderProgram("shaders/passthrough.vert", "shaders/blur.frag");
    bloomCombineProgram =
        new ShaderProgram("shaders/passthrough.vert", "shaders/bloomCombine.frag");

    textRenderer.loadFont();

    textProjection = glm::ortho(0.0f, float(windowWidth), 0.0f, float(windowHeight), -1.0f, 1.0f);
    glUseProgram(textProgram->program);
    glUniformMatrix4fv(glGetUniformLocation(textProgram->program, "projection"), 1, GL_FALSE,
                       glm::value_ptr(textProjection));
}

void createCubeGeometry() {
    glGenVertexArrays(1, &cubeVao);
    glGenBuffers(1, &cubeVbo);
    glBindBuffer(GL_ARRAY_BUFFER, cubeVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof cubeVertices, cubeVertices, GL_STATIC_DRAW);
    glBindVertexArray(cubeVao);
    litVertexAttributes();
    unbindGeometry();
}

void createLightMarkerGeometry() {
    glGenVertexArrays(1, &lightVao);
    glBindVertexArray(lightVao);
    glBindBuffer(GL_ARRAY_BUFFER, cubeVbo);
    // The marker is unlit and untextured: positions only.
    floatAttribute(0, 3, 8 * sizeof(float), 0);
    unbindGeometry();
}

void createPlaneGeometry() {
    glGenVertexArrays(1, &planeVao);
    glGenBuffers(1, &planeVbo);
    glBindVertexArray(planeVao);
    glBindBuffer(GL_ARRAY_BUFFER, planeVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof planeVertices, planeVertices, GL_STATIC_DRAW);
    litVertexAttributes();
    unbindGeometry();
}

void loadImageTextures() {
    loadTexture(diffuseMap, "container2.png");
    loadTexture(specularMap, "container2_specular.png");
    loadTexture(wallTexture, "tilewall.jpg");
}

void setSamplerUnits() {
    setSamplerUnitsOf(*basicProgram);
    setSamplerUnitsOf(*toonProgram);
}

void createHdrTarget() {
    glGenFramebuffers(1, &hdrTarget);
    glBindFramebuffer(GL_FRAMEBUFFER, hdrTarget);
    glGenTextures(2, hdrColor);
    attachHdrColor(0);
    attachHdrColor(1);
    glGenRenderbuffers(1, &hdrDepth);
    glBindRenderbuffer(GL_RENDERBUFFER, hdrDepth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, windowWidth, windowHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, hdrDepth);
    const GLenum drawBuffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, drawBuffers);
    // The lit pass draws into it whatever the answer; nothing to report.
    glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void createBlurTargets() {
    glGenFramebuffers(2, blurTargets);
    glGenTextures(2, blurColor);
    attachBlurColor(0);
    attachBlurColor(1);
    // Both are built alike, so the one still bound stands for the pair.
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "Framebuffer not complete!" << std::endl;
    }
}

void createQuadGeometry() {
    glGenVertexArrays(1, &quadVao);
    glGenBuffers(1, &quadVbo);
    glBindVertexArray(quadVao);
    glBindBuffer(GL_ARRAY_BUFFER, quadVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof quadVertices, quadVertices, GL_STATIC_DRAW);
    const GLsizei stride = 5 * sizeof(float);
    floatAttribute(0, 3, stride, 0);
    floatAttribute(1, 2, stride, 3 * sizeof(float));
    unbindGeometry();
}

void loadTexture(GLuint& texture, const char* path) {
    glGenTextures(1, &texture);
    fillTextureFromFile(texture, path);
}

bool glContextIsCurrent() {
    return glfwGetCurrentContext() != nullptr;
}
