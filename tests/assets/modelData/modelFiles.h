// Scratch model files for the mesh, model and import-guard tests: each test
// writes what it needs into a fresh folder that is removed afterwards.
#pragma once

#include "assets/model.h"
#include "core/scratchFolder.h"

#include <GL/glew.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Three corners of a triangle standing at x, as OBJ vertex lines.
inline std::string objTriangleVertices(float x) {
    const std::string at = std::to_string(x);
    return "v " + at + " 0 0\nv " + at + " 1 0\nv " + at + " 0 1\n";
}

// One textured triangle using material "a" of library "m.mtl".
inline std::string objTexturedTriangle() {
    return "mtllib m.mtl\n" + objTriangleVertices(0.0f) +
           "vt 0 0\nvt 1 0\nvt 0 1\nvn 1 0 0\nusemtl a\nf 1/1/1 2/2/1 3/3/1\n";
}

struct CapturedImport {
    Model model;
    std::string output;
};

// path must outlive the model's use of sourcePath, as for the game's models.
inline CapturedImport importCapturingOutput(const std::string& path,
                                            glm::vec3 position = glm::vec3(0.0f)) {
    testing::internal::CaptureStdout();
    Model model(path.c_str(), position);
    std::string output = testing::internal::GetCapturedStdout();
    return {std::move(model), std::move(output)};
}

inline int countOccurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// Level 0 of a 2-D texture as RGB bytes, first row first.
inline std::vector<unsigned char> textureRgb(GLuint texture, int& width, int& height) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return rgb;
}

// True when the texture holds the magenta and black checks that stand in for
// an image that could not be decoded.
inline bool holdsPlaceholder(GLuint texture) {
    int width = 0;
    int height = 0;
    const std::vector<unsigned char> rgb = textureRgb(texture, width, height);
    bool magenta = false;
    bool black = false;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        const bool isMagenta = rgb[i] == 255 && rgb[i + 1] == 0 && rgb[i + 2] == 255;
        const bool isBlack = rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 0;
        if (!isMagenta && !isBlack) {
            return false;
        }
        magenta = magenta || isMagenta;
        black = black || isBlack;
    }
    return magenta && black;
}

// Links a program from two sources; 0 (with the log in the test output) when
// either does not build.
inline GLuint buildProgram(const char* vertexSource, const char* fragmentSource) {
    const GLuint program = glCreateProgram();
    for (const auto& [type, source] :
         {std::pair<GLenum, const char*>{GL_VERTEX_SHADER, vertexSource},
          {GL_FRAGMENT_SHADER, fragmentSource}}) {
        const GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        GLint compiled = 0;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
        if (!compiled) {
            char log[1024] = {};
            glGetShaderInfoLog(shader, sizeof log, nullptr, log);
            ADD_FAILURE() << log;
            return 0;
        }
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked ? program : 0;
}

// Draws attribute 0 as clip-space position and shows one input, chosen by
// "shown": 0 texture_diffuse1, 1 texture_diffuse2, 2 texture_specular1, 3 the
// normal mapped to colour, 4 the texture coordinates as red and green.
inline GLuint buildProbeProgram() {
    const char* vertexSource = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;
out vec3 passNormal;
out vec2 passUv;
void main() {
    passNormal = normal;
    passUv = uv;
    gl_Position = vec4(position, 1.0);
}
)";
    const char* fragmentSource = R"(#version 330 core
in vec3 passNormal;
in vec2 passUv;
uniform sampler2D texture_diffuse1;
uniform sampler2D texture_diffuse2;
uniform sampler2D texture_specular1;
uniform int shown;
out vec4 colour;
void main() {
    if (shown == 0) colour = texture(texture_diffuse1, passUv);
    else if (shown == 1) colour = texture(texture_diffuse2, passUv);
    else if (shown == 2) colour = texture(texture_specular1, passUv);
    else if (shown == 3) colour = vec4(passNormal * 0.5 + 0.5, 1.0);
    else colour = vec4(passUv, 0.0, 1.0);
}
)";
    return buildProgram(vertexSource, fragmentSource);
}

// A small RGBA8 render target, bound with its viewport while it lives; the
// state it changes is put back afterwards.
class OffscreenTarget {
  public:
    static constexpr int size = 16;

    OffscreenTarget() {
        glGetIntegerv(GL_VIEWPORT, savedViewport);
        glGetFloatv(GL_COLOR_CLEAR_VALUE, savedClearColour);
        savedDepthTest = glIsEnabled(GL_DEPTH_TEST);
        savedBlend = glIsEnabled(GL_BLEND);
        glGenTextures(1, &colour);
        glBindTexture(GL_TEXTURE_2D, colour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
        glViewport(0, 0, size, size);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    ~OffscreenTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &colour);
        glViewport(savedViewport[0], savedViewport[1], savedViewport[2], savedViewport[3]);
        glClearColor(savedClearColour[0], savedClearColour[1], savedClearColour[2],
                     savedClearColour[3]);
        savedDepthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
        savedBlend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    }
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    // RGBA of one pixel, x and y from the bottom left.
    std::vector<unsigned char> pixel(int x, int y) const {
        std::vector<unsigned char> rgba(4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

  private:
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLint savedViewport[4] = {};
    GLfloat savedClearColour[4] = {};
    GLboolean savedDepthTest = GL_FALSE;
    GLboolean savedBlend = GL_FALSE;
};

// A texture of one colour per pixel in a row, uploaded directly.
inline GLuint makeRowTexture(const std::vector<std::vector<unsigned char>>& rgbRow) {
    std::vector<unsigned char> bytes;
    for (const std::vector<unsigned char>& rgb : rgbRow) {
        bytes.insert(bytes.end(), rgb.begin(), rgb.end());
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, static_cast<GLsizei>(rgbRow.size()), 1, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, bytes.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}
