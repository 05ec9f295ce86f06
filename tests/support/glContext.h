// A window with a GL 3.3 core context, shared by every GL test of one test
// binary, and helpers to read the picture back.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct GLFWwindow;

// Creates the window and context on first use (1024 x 768, GL 3.3 core, GLEW
// loaded) and makes it current. Null when no context can be had.
GLFWwindow* sharedGlWindow();

// Tests that need a context derive from this fixture; SetUp fails the test
// when there is no context and clears any stale GL error.
class GlTest : public ::testing::Test {
  protected:
    void SetUp() override;
    // Fails the test when GL recorded an error since the last call.
    void expectNoGlError(const char* where);
};

// RGBA bytes of the framebuffer bound for reading, bottom row first.
std::vector<std::uint8_t> readPixelsRgba(int x, int y, int width, int height);
// Saves bottom-row-first RGBA pixels as a PNG (top row first on disk).
bool writePngRgba(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& rgba);
// Loads a PNG as RGBA, bottom row first, to compare with readPixelsRgba.
bool readPngRgba(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgba);
// A parameter of a 2-D texture's mip level, or of the texture itself; leaves
// no texture bound.
GLint levelParameter(GLuint texture, int level, GLenum name);
GLint textureParameter(GLuint texture, GLenum name);
// Absolute path of a file in the source tree.
std::string sourcePath(const std::string& relative);
// The whole file's bytes; empty when it cannot be read.
std::string fileBytes(const std::string& path);
