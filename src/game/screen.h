// The picture's size in pixels: the window, the off-screen targets and the
// text projection all have it, and the overlay places its lines in it.
#pragma once

#include "game/camera.h"

// The size of the full-screen picture, and of a window as it opens.
constexpr int windowWidth = 1024;
constexpr int windowHeight = 768;

// A picture in the framebuffer's pixels, which a resizable window changes.
struct PictureSize {
    int width = windowWidth;
    int height = windowHeight;

    constexpr bool operator==(const PictureSize& other) const {
        return width == other.width && height == other.height;
    }
    constexpr bool operator!=(const PictureSize& other) const { return !(*this == other); }
    // A minimised window's framebuffer has no pixels; nothing is resized to it.
    constexpr bool empty() const { return width <= 0 || height <= 0; }
    constexpr float aspect() const { return float(width) / float(height); }
};

// The default picture keeps the camera's fixed aspect to the last bit.
static_assert(PictureSize().aspect() == cameraAspect, "the 1024 x 768 picture is 4:3");
