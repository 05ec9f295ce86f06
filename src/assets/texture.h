// Filling a texture from an image file, with a placeholder for files that
// cannot be decoded, so no undefined size or pixels ever reach GL.
#pragma once

#include <GL/glew.h>

#include <string>

// The placeholder is this many pixels a side, in checks of two pixels.
constexpr int placeholderSize = 8;

// Binds texture to GL_TEXTURE_2D, uploads the decoded image (or, after the
// line "failed to load texture: <path>", a magenta and black checkerboard),
// builds the mipmaps and sets repeat wrapping with trilinear filtering. Leaves
// texture 0 bound. Returns false when the placeholder was used.
bool fillTextureFromFile(GLuint texture, const std::string& path);
