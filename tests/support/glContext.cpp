#include "support/glContext.h"

#include "assets/imageWriter.h"

#include <GLFW/glfw3.h>

#define STBI_ONLY_PNG
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

GLFWwindow* createWindow() {
    if (!glfwInit()) {
        return nullptr;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    GLFWwindow* window = glfwCreateWindow(1024, 768, "cellquest tests", nullptr, nullptr);
    if (!window) {
        return nullptr;
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        return nullptr;
    }
    glGetError(); // GLEW's probing may leave an error behind in core profile
    return window;
}

void flipRows(int width, int height, std::vector<std::uint8_t>& rgba) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> row(rowBytes);
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* a = rgba.data() + top * rowBytes;
        std::uint8_t* b = rgba.data() + bottom * rowBytes;
        std::memcpy(row.data(), a, rowBytes);
        std::memcpy(a, b, rowBytes);
        std::memcpy(b, row.data(), rowBytes);
    }
}

} // namespace

namespace {

// Made on first use only: a test binary without GL tests never opens one.
struct SharedWindow {
    bool made = false;
    GLFWwindow* window = nullptr;
};

SharedWindow& sharedWindow() {
    static SharedWindow shared;
    return shared;
}

// After the last test the window and its context go, as they do when the
// game ends: Mesa frees what its context still holds of deleted objects only
// then, so a context left to the process exit would read as leaking them.
// The window system itself stays up, which keeps the driver loaded for the
// leak check.
class SharedWindowRelease : public ::testing::Environment {
  public:
    void TearDown() override {
        SharedWindow& shared = sharedWindow();
        if (shared.window) {
            glfwDestroyWindow(shared.window);
            shared.window = nullptr;
        }
    }
};

::testing::Environment* const sharedWindowRelease =
    ::testing::AddGlobalTestEnvironment(new SharedWindowRelease);

} // namespace

GLFWwindow* sharedGlWindow() {
    SharedWindow& shared = sharedWindow();
    if (!shared.made) {
        shared.window = createWindow();
        shared.made = true;
    }
    if (shared.window) {
        glfwMakeContextCurrent(shared.window);
    }
    return shared.window;
}

void GlTest::SetUp() {
    ASSERT_NE(sharedGlWindow(), nullptr) << "no OpenGL 3.3 core context (is DISPLAY set?)";
    while (glGetError() != GL_NO_ERROR) {
    }
}

void GlTest::expectNoGlError(const char* where) {
    const GLenum error = glGetError();
    EXPECT_EQ(error, static_cast<GLenum>(GL_NO_ERROR))
        << "GL error 0x" << std::hex << error << " at " << where;
}

std::vector<std::uint8_t> readPixelsRgba(int x, int y, int width, int height) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

bool writePngRgba(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> topFirst = rgba;
    flipRows(width, height, topFirst);
    return writePng(path, width, height, 4, topFirst.data());
}

bool readPngRgba(const std::string& path, int& width, int& height,
                 std::vector<std::uint8_t>& rgba) {
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &width, &height, &channels, 4);
    if (!data) {
        return false;
    }
    rgba.assign(data, data + static_cast<std::size_t>(width) * height * 4);
    stbi_image_free(data);
    flipRows(width, height, rgba);
    return true;
}

std::string sourcePath(const std::string& relative) {
    return std::string(CELLQUEST_SOURCE_DIR) + "/" + relative;
}

std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

GLint levelParameter(GLuint texture, int level, GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLint textureParameter(GLuint texture, GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}
