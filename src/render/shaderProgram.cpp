// Building a program from two source files. Any failure ends the process
// through the fatal exit the app handed in: the game cannot draw anything
// without all of its programs.
#include "render/shaderProgram.h"

#include <fstream>
#include <iostream>
#include <vector>

namespace {

// Reads the file line by line so that a last line without a newline ends up
// exactly like one with it.
bool readSource(const std::string& path, std::string& source) {
    std::ifstream file(path);
    if (!file.good()) {
        return false;
    }
    std::string line;
    while (std::getline(file, line)) {
        source += line;
        source += "\n";
    }
    return true;
}

// The driver's log up to its terminating zero (the reported length counts it).
std::string logText(const std::vector<char>& log) {
    std::size_t length = 0;
    while (length < log.size() && log[length] != '\0') {
        ++length;
    }
    return std::string(log.data(), length);
}

std::string shaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(length > 0 ? std::size_t(length) : 0, '\0');
    glGetShaderInfoLog(shader, GLsizei(log.size()), nullptr, log.data());
    return logText(log);
}

std::string programLog(GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(length > 0 ? std::size_t(length) : 0, '\0');
    glGetProgramInfoLog(program, GLsizei(log.size()), nullptr, log.data());
    return logText(log);
}

} // namespace

ShaderProgram::ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath,
                             FatalExit fatalExit)
    : fatalExit(fatalExit) {
    // The program object exists before either file is read.
    program = GlProgram(glCreateProgram());
    if (program == 0) {
        fatalExit({"failed to create shader program"});
    }
    loadShader(vertexPath, GL_VERTEX_SHADER, vertexShader);
    loadShader(fragmentPath, GL_FRAGMENT_SHADER, fragmentShader);
    link();
}

void ShaderProgram::loadShader(const std::string& path, GLenum type, GlShader& shader) {
    std::string source;
    if (!readSource(path, source)) {
        fatalExit({"failed to open shader file: " + path});
    }
    shader = GlShader(glCreateShader(type));
    if (shader == 0) {
        fatalExit({"failed to create shader"});
    }
    std::cout << source << std::endl;

    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != 0 && glIsShader(shader)) {
        return;
    }
    fatalExit({"failed to compile shader", shaderLog(shader)});
}

void ShaderProgram::link() {
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != 0) {
        return;
    }
    fatalExit({"failed to link shader program", programLog(program)});
}
