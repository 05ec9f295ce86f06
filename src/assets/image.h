// The game's one image decoder: every image, the built-in textures and the
// models' textures alike, goes through it. PNG and JPEG only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

constexpr int maxImageDimension = 8192;
// No texture of the game comes near this; a bigger file is not an image we made.
constexpr std::size_t maxImageFileBytes = 64u * 1024u * 1024u;

// 8-bit RGB, top row first, rows tightly packed (width * 3 bytes each).
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

// True on success; on failure image is left empty and reason says why.
bool decodeRgbImage(const std::string& path, RgbImage& image, std::string& reason);
bool decodeRgbImageFromMemory(const unsigned char* data, std::size_t size, RgbImage& image,
                              std::string& reason);
