// Image files to GL textures. Every upload goes through here, the built-in
// textures and the models' textures alike.
#include "assets/texture.h"

#include "assets/image.h"

#include <iostream>

namespace {

// Magenta and black, loud enough that a missing file is seen at once.
RgbImage placeholderImage() {
    RgbImage image;
    image.width = placeholderSize;
    image.height = placeholderSize;
    image.pixels.resize(std::size_t(placeholderSize) * placeholderSize * 3);
    for (int y = 0; y < placeholderSize; ++y) {
        for (int x = 0; x < placeholderSize; ++x) {
            const bool magenta = ((x / 2) + (y / 2)) % 2 == 0;
            unsigned char* pixel = &image.pixels[(std::size_t(y) * placeholderSize + x) * 3];
            pixel[0] = magenta ? 255 : 0;
            pixel[1] = 0;
            pixel[2] = magenta ? 255 : 0;
        }
    }
    return image;
}

void uploadWithMipmaps(GLuint texture, const RgbImage& image) {
    glBindTexture(GL_TEXTURE_2D, texture);
    // Decoded rows are tightly packed, whatever their length in bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    glGenerateMipmap(GL_TEXTURE_2D);
}

void setRepeatTrilinear() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

} // namespace

bool fillTextureFromFile(GLuint texture, const std::string& path) {
    RgbImage image;
    std::string reason;
    const bool decoded = decodeRgbImage(path, image, reason);
    if (!decoded) {
        std::cout << "failed to load texture: " << path << std::endl;
        image = placeholderImage();
    }
    uploadWithMipmaps(texture, image);
    setRepeatTrilinear();
    glBindTexture(GL_TEXTURE_2D, 0);
    return decoded;
}
