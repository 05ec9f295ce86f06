// One linked GL program built from a vertex and a fragment shader file.
// Building is all-or-nothing: every failure is fatal (message, pause, exit 1).
#pragma once

#include "assets/glObject.h"

#include <GL/glew.h>

#include <initializer_list>
#include <string>

// How a failure ends the run: the app hands in its fatal exit, which writes
// the lines to standard error, pauses and exits with status 1. It never
// returns.
using FatalExit = void (*)(std::initializer_list<std::string> lines);

struct ShaderProgram {
    // In the order they are made, so they are deleted in the reverse.
    GlProgram program;
    GlShader vertexShader;
    GlShader fragmentShader;

    ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath,
                  FatalExit fatalExit);

    // Reads, echoes and compiles one source file into shader.
    void loadShader(const std::string& path, GLenum type, GlShader& shader);
    // Attaches both shaders and links.
    void link();

  private:
    FatalExit fatalExit;
};
