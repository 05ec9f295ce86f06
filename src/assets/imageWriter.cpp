#include "assets/imageWriter.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

void appendBytes(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
}

} // namespace

bool writePng(const std::string& path, int width, int height, int channels,
              const unsigned char* pixels) {
    return stbi_write_png(path.c_str(), width, height, channels, pixels, width * channels) != 0;
}

bool writeJpg(const std::string& path, int width, int height, const unsigned char* rgb,
              int quality) {
    return stbi_write_jpg(path.c_str(), width, height, 3, rgb, quality) != 0;
}

std::string encodePng(int width, int height, int channels, const unsigned char* pixels) {
    std::string file;
    stbi_write_png_to_func(appendBytes, &file, width, height, channels, pixels, width * channels);
    return file;
}

std::string encodeJpg(int width, int height, const unsigned char* rgb, int quality) {
    std::string file;
    stbi_write_jpg_to_func(appendBytes, &file, width, height, 3, rgb, quality);
    return file;
}
