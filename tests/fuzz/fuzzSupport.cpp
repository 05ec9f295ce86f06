#include "fuzzSupport.h"

#include "core/scratchFolder.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

GLFWwindow* createHiddenWindow() {
    if (!glfwInit()) {
        invariantBroken("glfwInit failed (is DISPLAY set? run under xvfb-run)");
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(64, 64, "cellquest fuzz", nullptr, nullptr);
    if (!window) {
        invariantBroken("no OpenGL 3.3 core context");
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        invariantBroken("glewInit failed");
    }
    glGetError(); // GLEW's probing leaves an error behind in core profile
    return window;
}

} // namespace

void ensureHiddenGlContext() {
    static GLFWwindow* const window = createHiddenWindow();
    glfwMakeContextCurrent(window);
}

const std::string& scratchFolder() {
    // Removed with what it holds when the harness exits.
    static const ScratchFolder folder("cellquestFuzz");
    if (!folder.valid()) {
        invariantBroken("cannot create a scratch folder");
    }
    return folder.folder();
}

std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = scratchFolder() + "/" + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    if (!file) {
        invariantBroken("cannot write " + path);
    }
    return path;
}

void invariantBroken(const std::string& what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what.c_str());
    std::abort();
}
