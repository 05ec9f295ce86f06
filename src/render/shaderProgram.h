// One linked GL program built from a vertex and a fragment shader file.
// Building is all-or-nothing: every failure is fatal (message, pause, exit 1).
#pragma once

#include <GL/glew.h>

#include <string>

struct ShaderProgram {
    GLuint program = 0;
    GLuint vertexShader = 0;
    GLuint fragmentShader = 0;

    ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath);
    ~ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    // Reads, echoes and compiles one source file into shader.
    void loadShader(const std::string& path, GLenum type, GLuint& shader);
    // Attaches both shaders and links.
    void link();
};
