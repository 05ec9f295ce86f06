// Usage: makeIcon <output.png>
//
// Paints the game's 256 x 256 desktop icon: a rounded tile in the colour the
// game clears its picture with, a faint 3 x 3 grid of cells, a red block
// and a blue block in two of them and the gold trophy star in the corner
// cell, each with a lit top-left edge. Every pixel averages 4 x 4 samples, so
// the edges are smooth; the output is the same on every run.
#include "assets/imageWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int iconSize = 256;
constexpr int samplesPerSide = 4;
constexpr float cornerRadius = 44.0f;
constexpr float cellSize = 72.0f;
constexpr float gridOrigin = 20.0f;
constexpr float pi = 3.14159265f;

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

Rgba opaque(float r, float g, float b) {
    return {r, g, b, 1.0f};
}

// Inside the tile: a square with rounded corners.
bool insideTile(float x, float y) {
    const float cx = std::clamp(x, cornerRadius, iconSize - cornerRadius);
    const float cy = std::clamp(y, cornerRadius, iconSize - cornerRadius);
    return std::hypot(x - cx, y - cy) <= cornerRadius;
}

// A block fills its cell less a margin; its top and left edges catch the light.
bool blockAt(float x, float y, int column, int row, Rgba base, Rgba& out) {
    const float margin = 9.0f;
    const float bevel = 8.0f;
    const float left = gridOrigin + column * cellSize + margin;
    const float top = gridOrigin + row * cellSize + margin;
    const float side = cellSize - 2 * margin;
    if (x < left || x >= left + side || y < top || y >= top + side) {
        return false;
    }
    const bool lit = x < left + bevel || y < top + bevel;
    const bool shaded = x >= left + side - bevel || y >= top + side - bevel;
    const float light = lit ? 1.35f : shaded ? 0.65f : 1.0f;
    out = opaque(std::min(1.0f, base.r * light), std::min(1.0f, base.g * light),
                 std::min(1.0f, base.b * light));
    return true;
}

// A five-pointed star, point up: its ten corners alternate between the outer
// and the inner radius; inside by the even-odd rule.
bool insideStar(float x, float y, float cx, float cy, float outer) {
    const float inner = outer * 0.42f;
    float cornersX[10];
    float cornersY[10];
    for (int i = 0; i < 10; ++i) {
        const float radius = i % 2 == 0 ? outer : inner;
        const float angle = i * pi / 5;
        cornersX[i] = cx + radius * std::sin(angle);
        cornersY[i] = cy - radius * std::cos(angle);
    }
    bool inside = false;
    for (int i = 0, j = 9; i < 10; j = i++) {
        const bool crosses = (cornersY[i] > y) != (cornersY[j] > y);
        if (crosses && x < cornersX[i] + (y - cornersY[i]) * (cornersX[j] - cornersX[i]) /
                                             (cornersY[j] - cornersY[i])) {
            inside = !inside;
        }
    }
    return inside;
}

Rgba sample(float x, float y) {
    if (!insideTile(x, y)) {
        return {};
    }
    Rgba colour;
    if (blockAt(x, y, 0, 2, opaque(0.78f, 0.16f, 0.14f), colour) ||
        blockAt(x, y, 1, 1, opaque(0.18f, 0.34f, 0.82f), colour)) {
        return colour;
    }
    const float cellCentre = gridOrigin + 2.5f * cellSize;
    if (insideStar(x, y, cellCentre, gridOrigin + 0.5f * cellSize, cellSize * 0.46f)) {
        return opaque(1.0f, 0.78f, 0.18f);
    }
    // The background darkens downwards; the grid lines are a little lighter.
    const float shade = 1.15f - 0.4f * y / iconSize;
    const float gx = std::fmod(x - gridOrigin + cellSize, cellSize);
    const float gy = std::fmod(y - gridOrigin + cellSize, cellSize);
    const bool onGrid = gx < 2.0f || gy < 2.0f;
    const float lift = onGrid ? 0.12f : 0.0f;
    return opaque(0.2f * shade + lift, 0.3f * shade + lift, 0.4f * shade + lift);
}

unsigned char byteOf(float value) {
    return static_cast<unsigned char>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

// Colours are averaged weighted by coverage, so edges fade into transparency
// without darkening.
std::vector<unsigned char> paintIcon() {
    std::vector<unsigned char> pixels;
    pixels.reserve(std::size_t(iconSize) * iconSize * 4);
    const int samples = samplesPerSide * samplesPerSide;
    for (int py = 0; py < iconSize; ++py) {
        for (int px = 0; px < iconSize; ++px) {
            Rgba sum;
            for (int s = 0; s < samples; ++s) {
                const float x = px + (s % samplesPerSide + 0.5f) / samplesPerSide;
                const float y = py + (s / samplesPerSide + 0.5f) / samplesPerSide;
                const Rgba c = sample(x, y);
                sum = {sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a};
            }
            const float cover = std::max(sum.a, 1e-6f);
            pixels.push_back(byteOf(sum.r / cover));
            pixels.push_back(byteOf(sum.g / cover));
            pixels.push_back(byteOf(sum.b / cover));
            pixels.push_back(byteOf(sum.a / samples));
        }
    }
    return pixels;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeIcon <output.png>\n");
        return 2;
    }
    const std::vector<unsigned char> pixels = paintIcon();
    if (!writePng(argv[1], iconSize, iconSize, 4, pixels.data())) {
        std::fprintf(stderr, "FAILED to write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
