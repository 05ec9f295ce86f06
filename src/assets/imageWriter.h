// The one PNG and JPEG writer of the game's tools and tests: pixels top row
// first, channels interleaved (1 to 4 of them).
#pragma once

#include <string>

bool writePng(const std::string& path, int width, int height, int channels,
              const unsigned char* pixels);
bool writeJpg(const std::string& path, int width, int height, const unsigned char* rgb,
              int quality);
// The file's bytes without writing a file.
std::string encodePng(int width, int height, int channels, const unsigned char* pixels);
std::string encodeJpg(int width, int height, const unsigned char* rgb, int quality);
