// The renderer's start-up objects: the eight programs and what they declare,
// the built-in vertex tables and how the vertex arrays read them, the image
// textures and the off-screen targets.
#include "assets/image.h"
#include "render/sceneFixture.h"
#include "render/vertexTables.h"

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cmath>
#include <set>

namespace {

struct CubeVertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
};

CubeVertex cubeVertex(int index) {
    const float* v = &cubeVertices[index * 8];
    return {glm::vec3(v[0], v[1], v[2]), glm::vec3(v[3], v[4], v[5]), glm::vec2(v[6], v[7])};
}

// The whole renderer, made once per test process.
using RenderResources = SceneTest;

GLint uniformInt(const ShaderProgram& program, const char* name) {
    GLint value = -1;
    glGetUniformiv(program.program, glGetUniformLocation(program.program, name), &value);
    return value;
}

// The locations of the program's active vertex inputs.
std::set<GLint> attributeLocations(const ShaderProgram& program) {
    GLint count = 0;
    glGetProgramiv(program.program, GL_ACTIVE_ATTRIBUTES, &count);
    std::set<GLint> locations;
    for (GLint i = 0; i < count; ++i) {
        char name[128];
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(program.program, GLuint(i), sizeof name, nullptr, &size, &type, name);
        locations.insert(glGetAttribLocation(program.program, name));
    }
    return locations;
}

struct AttributeState {
    GLint enabled, size, stride, type, normalized, buffer;
    std::size_t offset;
};

AttributeState attributeState(GLuint vertexArray, GLuint index) {
    AttributeState state{};
    glBindVertexArray(vertexArray);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &state.enabled);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_SIZE, &state.size);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &state.stride);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_TYPE, &state.type);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED, &state.normalized);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &state.buffer);
    void* pointer = nullptr;
    glGetVertexAttribPointerv(index, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
    state.offset = reinterpret_cast<std::size_t>(pointer);
    glBindVertexArray(0);
    return state;
}

void expectFloatAttribute(GLuint vertexArray, GLuint index, GLuint buffer, GLint size, GLint stride,
                          std::size_t offset) {
    const AttributeState state = attributeState(vertexArray, index);
    EXPECT_EQ(state.enabled, GL_TRUE) << "attribute " << index;
    EXPECT_EQ(state.size, size) << "attribute " << index;
    EXPECT_EQ(state.stride, stride) << "attribute " << index;
    EXPECT_EQ(state.type, GL_FLOAT) << "attribute " << index;
    EXPECT_EQ(state.normalized, GL_FALSE) << "attribute " << index;
    EXPECT_EQ(state.buffer, GLint(buffer)) << "attribute " << index;
    EXPECT_EQ(state.offset, offset) << "attribute " << index;
}

std::vector<float> bufferFloats(GLuint buffer) {
    GLint bytes = 0;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    std::vector<float> floats(std::size_t(bytes) / sizeof(float));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, bytes, floats.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return floats;
}

void expectClampedLinearTarget(GLuint texture) {
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_WIDTH), windowWidth);
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_HEIGHT), windowHeight);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
}

GLint attachment(GLenum point, GLenum name) {
    GLint value = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, point, name, &value);
    return value;
}

std::vector<unsigned char> levelZeroRgb(GLuint texture, int width, int height) {
    std::vector<unsigned char> pixels(std::size_t(width) * height * 3);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

} // namespace

TEST_F(RenderResources, EveryProgramLinksAndDeclaresWhatTheFrameSendsIt) {
    const std::vector<std::pair<const ShaderProgram*, std::vector<const char*>>> contracts = {
        {&renderer.basicProgram,
         {"model", "view", "projection", "lightSpaceMatrix", "shadowMap", "viewPos",
          "material.diffuse", "material.specular", "material.shininess", "light.position",
          "light.direction", "light.cutOff", "light.outerCutOff", "light.ambient", "light.diffuse",
          "light.specular", "light.constant", "light.linear", "light.quadratic"}},
        {&renderer.lampProgram, {"model", "view", "projection"}},
        {&renderer.textProgram, {"projection", "textColor"}},
        {&renderer.toonProgram,
         {"model", "view", "projection", "material.diffuse", "light.position", "light.direction",
          "light.cutOff", "light.outerCutOff"}},
        {&renderer.shadowProgram, {"model", "lightSpaceMatrix"}},
        {&renderer.particleProgram,
         {"view", "projection", "CameraRight_worldspace", "CameraUp_worldspace"}},
        {&renderer.blurProgram, {"image", "horizontal"}},
        {&renderer.bloomCombineProgram, {"scene", "bloomBlur"}},
    };
    std::set<GLuint> names;
    for (const auto& [program, uniforms] : contracts) {
        ASSERT_NE(program, nullptr);
        GLint linked = 0;
        glGetProgramiv(program->program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << program->program;
        names.insert(program->program);
        for (const char* uniform : uniforms) {
            EXPECT_NE(glGetUniformLocation(program->program, uniform), -1)
                << uniform << " in program " << program->program;
        }
    }
    EXPECT_EQ(names.size(), 8u);
    // Shared source files still give each program shader objects of its own.
    EXPECT_NE(renderer.toonProgram.vertexShader, renderer.basicProgram.vertexShader);
    EXPECT_NE(renderer.blurProgram.vertexShader, renderer.bloomCombineProgram.vertexShader);
}

TEST_F(RenderResources, VertexShadersReadTheAttributeLocationsOfTheirVertexArrays) {
    EXPECT_EQ(attributeLocations(renderer.basicProgram), (std::set<GLint>{0, 1, 2}));
    EXPECT_EQ(attributeLocations(renderer.toonProgram), (std::set<GLint>{0, 1, 2}));
    EXPECT_EQ(attributeLocations(renderer.lampProgram), (std::set<GLint>{0}));
    EXPECT_EQ(attributeLocations(renderer.shadowProgram), (std::set<GLint>{0}));
    EXPECT_EQ(attributeLocations(renderer.blurProgram), (std::set<GLint>{0, 1}));
    EXPECT_EQ(attributeLocations(renderer.textProgram), (std::set<GLint>{0}));
}

TEST_F(RenderResources, SamplerUnitsAndTheTextProjectionAreSet) {
    EXPECT_EQ(uniformInt(renderer.basicProgram, "material.diffuse"), 0);
    EXPECT_EQ(uniformInt(renderer.basicProgram, "material.specular"), 1);
    EXPECT_EQ(uniformInt(renderer.toonProgram, "material.diffuse"), 0);
    if (glGetUniformLocation(renderer.toonProgram.program, "material.specular") != -1) {
        EXPECT_EQ(uniformInt(renderer.toonProgram, "material.specular"), 1);
    }

    const float expected[16] = {2.0f / 1024, 0, 0,  0, 0,  2.0f / 768, 0, 0,
                                0,           0, -1, 0, -1, -1,         0, 1};
    const float* projection = glm::value_ptr(renderer.overlay.textProjection);
    const GLuint textProgram = renderer.textProgram.program;
    GLfloat sent[16] = {};
    glGetUniformfv(textProgram, glGetUniformLocation(textProgram, "projection"), sent);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(projection[i], expected[i]) << "element " << i;
        EXPECT_FLOAT_EQ(sent[i], expected[i]) << "element " << i;
    }
}

TEST(VertexTables, CubeFacesAreFlatOutwardAndTexturedAsTabled) {
    const glm::vec3 normals[6] = {{0, 0, -1}, {0, 0, 1},  {-1, 0, 0},
                                  {1, 0, 0},  {0, -1, 0}, {0, 1, 0}};
    for (int face = 0; face < 6; ++face) {
        for (int corner = 0; corner < 6; ++corner) {
            const CubeVertex v = cubeVertex(face * 6 + corner);
            SCOPED_TRACE("face " + std::to_string(face + 1) + " corner " + std::to_string(corner));
            EXPECT_EQ(v.normal, normals[face]);
            EXPECT_FLOAT_EQ(glm::dot(v.position, v.normal), 0.5f); // on the face, outward
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_EQ(std::fabs(v.position[axis]), 0.5f);
            }
            glm::vec2 expectedUv;
            if (face < 2) {
                expectedUv = {v.position.x + 0.5f, v.position.y + 0.5f};
            } else if (face < 4) {
                // A quarter turn: u follows y, v runs towards -z.
                expectedUv = {v.position.y + 0.5f, 0.5f - v.position.z};
            } else {
                expectedUv = {v.position.x + 0.5f, 0.5f - v.position.z};
            }
            EXPECT_EQ(v.uv, expectedUv);
        }
        // Two triangles sharing the diagonal from corner 0 to corner 2.
        const int first = face * 6;
        EXPECT_EQ(cubeVertex(first + 2).position, cubeVertex(first + 3).position);
        EXPECT_EQ(cubeVertex(first).position, cubeVertex(first + 5).position);
        EXPECT_NE(cubeVertex(first + 1).position, cubeVertex(first + 4).position);
    }
}

TEST(VertexTables, FloorTilesTenTimesAndTheQuadCoversClipSpace) {
    float area = 0.0f;
    for (int corner = 0; corner < 6; ++corner) {
        const float* v = &planeVertices[corner * 8];
        EXPECT_EQ(v[1], 0.0f);
        EXPECT_EQ(glm::vec3(v[3], v[4], v[5]), glm::vec3(0, 1, 0));
        EXPECT_EQ(std::fabs(v[0]), 10.0f);
        EXPECT_EQ(std::fabs(v[2]), 10.0f);
        EXPECT_EQ(v[6], (v[0] + 10.0f) / 2.0f);
        EXPECT_EQ(v[7], (10.0f - v[2]) / 2.0f);
    }
    for (int triangle = 0; triangle < 2; ++triangle) {
        const float* a = &planeVertices[triangle * 24];
        const float* b = a + 8;
        const float* c = a + 16;
        area += std::fabs((b[0] - a[0]) * (c[2] - a[2]) - (c[0] - a[0]) * (b[2] - a[2])) / 2.0f;
    }
    EXPECT_EQ(area, 400.0f);

    std::set<std::pair<float, float>> corners;
    for (int corner = 0; corner < 4; ++corner) {
        const float* v = &quadVertices[corner * 5];
        EXPECT_EQ(v[2], 0.0f);
        EXPECT_EQ(v[3], (v[0] + 1.0f) / 2.0f);
        EXPECT_EQ(v[4], (v[1] + 1.0f) / 2.0f);
        corners.insert({v[0], v[1]});
    }
    EXPECT_EQ(corners.size(), 4u);
    // As a strip the middle two are the diagonal: opposite corners.
    EXPECT_EQ(quadVertices[5] + quadVertices[10], 0.0f);
    EXPECT_EQ(quadVertices[6] + quadVertices[11], 0.0f);
}

TEST_F(RenderResources, VertexArraysReadTheTablesWithTheTabledLayouts) {
    EXPECT_EQ(bufferFloats(renderer.scene.cubeVbo),
              std::vector<float>(cubeVertices, cubeVertices + 36 * 8));
    EXPECT_EQ(bufferFloats(renderer.scene.planeVbo),
              std::vector<float>(planeVertices, planeVertices + 6 * 8));
    EXPECT_EQ(bufferFloats(renderer.bloom.quadVbo),
              std::vector<float>(quadVertices, quadVertices + 4 * 5));

    for (GLuint vertexArray : {GLuint(renderer.scene.cubeVao), GLuint(renderer.scene.planeVao)}) {
        const GLuint buffer =
            vertexArray == renderer.scene.cubeVao ? renderer.scene.cubeVbo : renderer.scene.planeVbo;
        expectFloatAttribute(vertexArray, 0, buffer, 3, 32, 0);
        expectFloatAttribute(vertexArray, 1, buffer, 3, 32, 12);
        expectFloatAttribute(vertexArray, 2, buffer, 2, 32, 24);
    }
    expectFloatAttribute(renderer.scene.lightVao, 0, renderer.scene.cubeVbo, 3, 32, 0);
    EXPECT_EQ(attributeState(renderer.scene.lightVao, 1).enabled, GL_FALSE);
    EXPECT_EQ(attributeState(renderer.scene.lightVao, 2).enabled, GL_FALSE);
    expectFloatAttribute(renderer.bloom.quadVao, 0, renderer.bloom.quadVbo, 3, 20, 0);
    expectFloatAttribute(renderer.bloom.quadVao, 1, renderer.bloom.quadVbo, 2, 20, 12);
    EXPECT_EQ(attributeState(renderer.bloom.quadVao, 2).enabled, GL_FALSE);
    expectNoGlError("vertex array queries");
}

TEST_F(RenderResources, TheSceneTargetHasTwoFloatColoursAndDepth) {
    glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.hdrTarget);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(attachment(GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME),
              GLint(renderer.targets.hdrColor[0]));
    EXPECT_EQ(attachment(GL_COLOR_ATTACHMENT1, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME),
              GLint(renderer.targets.hdrColor[1]));
    EXPECT_EQ(attachment(GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE),
              GL_RENDERBUFFER);
    EXPECT_EQ(attachment(GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME),
              GLint(renderer.targets.hdrDepth));
    EXPECT_GT(attachment(GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE), 0);
    GLint drawBuffers[2] = {0, 0};
    glGetIntegerv(GL_DRAW_BUFFER0, &drawBuffers[0]);
    glGetIntegerv(GL_DRAW_BUFFER1, &drawBuffers[1]);
    EXPECT_EQ(drawBuffers[0], GL_COLOR_ATTACHMENT0);
    EXPECT_EQ(drawBuffers[1], GL_COLOR_ATTACHMENT1);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    for (GLuint colour : renderer.targets.hdrColor) {
        EXPECT_EQ(levelParameter(colour, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB16F);
        expectClampedLinearTarget(colour);
    }
    GLint width = 0;
    GLint height = 0;
    glBindRenderbuffer(GL_RENDERBUFFER, renderer.targets.hdrDepth);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &width);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    EXPECT_EQ(width, windowWidth);
    EXPECT_EQ(height, windowHeight);
}

TEST_F(RenderResources, TheBlurTargetsHaveOneEightBitColourAndNoDepth) {
    ASSERT_NE(renderer.targets.blurTargets[0], renderer.targets.blurTargets[1]);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("blur target " + std::to_string(i));
        glBindFramebuffer(GL_FRAMEBUFFER, renderer.targets.blurTargets[i]);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
        EXPECT_EQ(attachment(GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME),
                  GLint(renderer.targets.blurColor[i]));
        EXPECT_EQ(attachment(GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE), GL_NONE);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);

        EXPECT_EQ(levelParameter(renderer.targets.blurColor[i], 0, GL_TEXTURE_RED_SIZE), 8);
        EXPECT_EQ(levelParameter(renderer.targets.blurColor[i], 0, GL_TEXTURE_RED_TYPE),
                  GL_UNSIGNED_NORMALIZED);
        EXPECT_EQ(levelParameter(renderer.targets.blurColor[i], 0, GL_TEXTURE_ALPHA_SIZE), 0);
        expectClampedLinearTarget(renderer.targets.blurColor[i]);
    }
}

TEST_F(RenderResources, ImageTexturesAreRepeatingMipmappedCopiesOfTheFiles) {
    const std::vector<std::pair<GLuint, const char*>> textures = {
        {renderer.scene.diffuseMap, "container2.png"},
        {renderer.scene.specularMap, "container2_specular.png"},
        {renderer.scene.wallTexture, "tilewall.jpg"}};
    for (const auto& [texture, path] : textures) {
        SCOPED_TRACE(path);
        RgbImage image;
        std::string reason;
        ASSERT_TRUE(decodeRgbImage(path, image, reason)) << reason;
        ASSERT_EQ(levelParameter(texture, 0, GL_TEXTURE_WIDTH), image.width);
        ASSERT_EQ(levelParameter(texture, 0, GL_TEXTURE_HEIGHT), image.height);
        // The crate is 510 wide: 1530-byte rows, read back without skew.
        EXPECT_EQ(levelZeroRgb(texture, image.width, image.height), image.pixels);
        const int topLevel = int(std::floor(std::log2(std::max(image.width, image.height))));
        EXPECT_EQ(levelParameter(texture, topLevel, GL_TEXTURE_WIDTH), 1);
        EXPECT_EQ(levelParameter(texture, topLevel, GL_TEXTURE_HEIGHT), 1);
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_T), GL_REPEAT);
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    }
    EXPECT_EQ(
        textures.size(),
        std::set<GLuint>({renderer.scene.diffuseMap, renderer.scene.specularMap, renderer.scene.wallTexture}).size());
}
