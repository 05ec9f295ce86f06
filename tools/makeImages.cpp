// Usage: makeImages [outputDir]   (run from the repo root; outputDir defaults to ".")
//
// Paints the game's three image textures from procedural noise and writes
// them: container2.png (a wooden crate face in a riveted steel frame),
// container2_specular.png (its shine: bright steel, dull wood) and
// tilewall.jpg (glazed wall tiles in grout, seamless so it can repeat).
// The output is the same on every run: all randomness is a hash of the pixel.
// The crate is 510 pixels wide so its RGB rows are not a multiple of four
// bytes long, which keeps the texture upload's row alignment honest.
#include "assets/imageWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int crateSize = 510;
constexpr int frameWidth = 46;
constexpr int plankCount = 5;
constexpr int tileImageSize = 512;
constexpr int tilesPerSide = 4;
constexpr int jpegQuality = 90;

struct Rgb {
    float r, g, b;
};

Rgb operator*(Rgb c, float s) {
    return {c.r * s, c.g * s, c.b * s};
}
Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Rgb mix(Rgb a, Rgb b, float t) {
    return a * (1.0f - t) + b * t;
}

float clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

float smoothStep(float edge0, float edge1, float v) {
    const float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

// ---------------------------------------------------------------- noise

// A well-mixed 32-bit hash of a lattice point; the seed picks the pattern.
float hash(int x, int y, std::uint32_t seed) {
    std::uint32_t h =
        std::uint32_t(x) * 0x8da6b343u ^ std::uint32_t(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return float(h & 0xffffffu) / float(0x1000000);
}

int wrap(int v, int period) {
    return period > 0 ? ((v % period) + period) % period : v;
}

// Value noise in [0, 1); with a period the pattern repeats every period cells.
float valueNoise(float x, float y, std::uint32_t seed, int period = 0) {
    const int x0 = int(std::floor(x));
    const int y0 = int(std::floor(y));
    const float fx = smoothStep(0.0f, 1.0f, x - float(x0));
    const float fy = smoothStep(0.0f, 1.0f, y - float(y0));
    auto at = [&](int dx, int dy) {
        return hash(wrap(x0 + dx, period), wrap(y0 + dy, period), seed);
    };
    const float top = at(0, 0) + (at(1, 0) - at(0, 0)) * fx;
    const float bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * fx;
    return top + (bottom - top) * fy;
}

// Octaves of value noise, each twice as fine and half as strong.
float fractalNoise(float x, float y, std::uint32_t seed, int octaves, int period = 0) {
    float sum = 0.0f;
    float amplitude = 0.5f;
    float norm = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += valueNoise(x, y, seed + std::uint32_t(octave) * 101u, period) * amplitude;
        norm += amplitude;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
        amplitude *= 0.5f;
    }
    return sum / norm;
}

// ---------------------------------------------------------------- images

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> colour;
    std::vector<float> relief;

    Picture(int w, int h)
        : width(w), height(h), colour(std::size_t(w) * h), relief(colour.size()) {}
    std::size_t index(int x, int y) const { return std::size_t(y) * width + x; }
};

std::vector<unsigned char> toBytes(const Picture& picture) {
    std::vector<unsigned char> bytes(picture.colour.size() * 3);
    for (std::size_t i = 0; i < picture.colour.size(); ++i) {
        const Rgb c = picture.colour[i];
        bytes[i * 3 + 0] = static_cast<unsigned char>(std::lround(clamp01(c.r) * 255.0f));
        bytes[i * 3 + 1] = static_cast<unsigned char>(std::lround(clamp01(c.g) * 255.0f));
        bytes[i * 3 + 2] = static_cast<unsigned char>(std::lround(clamp01(c.b) * 255.0f));
    }
    return bytes;
}

// Light from the top left over the height field; flat ground keeps its colour.
// With wrapAround the neighbours of edge pixels are taken from the far side.
void shadeRelief(Picture& picture, float strength, bool wrapAround) {
    const float lx = -0.55f, ly = -0.55f, lz = 0.63f;
    auto heightAt = [&](int x, int y) {
        if (wrapAround) {
            x = wrap(x, picture.width);
            y = wrap(y, picture.height);
        } else {
            x = std::clamp(x, 0, picture.width - 1);
            y = std::clamp(y, 0, picture.height - 1);
        }
        return picture.relief[picture.index(x, y)];
    };
    std::vector<Rgb> shaded(picture.colour.size());
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const float dx = (heightAt(x + 1, y) - heightAt(x - 1, y)) * strength;
            const float dy = (heightAt(x, y + 1) - heightAt(x, y - 1)) * strength;
            const float length = std::sqrt(dx * dx + dy * dy + 1.0f);
            const float light = (-dx * lx - dy * ly + lz) / length / lz;
            shaded[picture.index(x, y)] = picture.colour[picture.index(x, y)] * light;
        }
    }
    picture.colour = std::move(shaded);
}

bool writePng(const std::string& path, const Picture& picture) {
    const std::vector<unsigned char> bytes = toBytes(picture);
    return ::writePng(path, picture.width, picture.height, 3, bytes.data());
}

bool writeJpeg(const std::string& path, const Picture& picture) {
    const std::vector<unsigned char> bytes = toBytes(picture);
    return ::writeJpg(path, picture.width, picture.height, bytes.data(), jpegQuality);
}

// ---------------------------------------------------------------- crate

enum class CratePart { frame, rivet, plank, brace, gap };

struct CrateSample {
    CratePart part;
    Rgb colour;
    float shine;  // specular mask, 0..1
    float height; // relief for the lighting
};

struct Rivet {
    float x, y;
};

constexpr float rivetRadius = 8.5f;

std::vector<Rivet> rivetPositions() {
    const float near = frameWidth * 0.5f;
    const float far = crateSize - 1 - near;
    std::vector<Rivet> rivets;
    for (float t : {near, crateSize * 0.25f, crateSize * 0.5f, crateSize * 0.75f, far}) {
        rivets.push_back({t, near});
        rivets.push_back({t, far});
        if (t != near && t != far) {
            rivets.push_back({near, t});
            rivets.push_back({far, t});
        }
    }
    return rivets;
}

// Distance from the pixel to the nearest rivet centre.
float nearestRivet(const std::vector<Rivet>& rivets, float x, float y) {
    float best = 1e9f;
    for (const Rivet& rivet : rivets) {
        best = std::min(best, std::hypot(x - rivet.x, y - rivet.y));
    }
    return best;
}

// Wood along u with its grain lines across v; seed makes every board its own.
Rgb woodColour(float u, float v, std::uint32_t seed, float* grainOut) {
    const Rgb light{0.62f, 0.42f, 0.22f};
    const Rgb dark{0.40f, 0.25f, 0.11f};
    const Rgb base = mix(light, dark, 0.25f + 0.5f * hash(int(seed), 7, 91u));
    const float warp = fractalNoise(u * 0.008f, v * 0.03f, seed, 4) * 9.0f;
    const float rings = 0.5f + 0.5f * std::sin((v * 0.35f + warp) * 2.4f);
    const float line = std::pow(rings, 6.0f);
    const float fibre = fractalNoise(u * 0.06f, v * 1.1f, seed + 17u, 3);
    const float blotch = fractalNoise(u * 0.01f, v * 0.02f, seed + 29u, 3);
    *grainOut = line;
    Rgb wood = base * (0.82f + 0.3f * fibre) * (1.0f - 0.32f * line);
    return wood * (0.9f + 0.2f * blotch);
}

// Worn steel brushed along the frame side the pixel lies on, with rust spots.
Rgb steelColour(float x, float y, bool alongX, float* rustOut) {
    const float u = alongX ? x : y;
    const float v = alongX ? y : x;
    const float brush = fractalNoise(u * 0.015f, v * 0.9f, 404u, 3);
    const float rust = smoothStep(0.63f, 0.78f, fractalNoise(x * 0.02f, y * 0.02f, 505u, 5));
    const Rgb steel = Rgb{0.46f, 0.48f, 0.51f} * (0.8f + 0.4f * brush);
    const Rgb rustColour = Rgb{0.42f, 0.24f, 0.12f} * (0.8f + 0.4f * brush);
    *rustOut = rust;
    return mix(steel, rustColour, rust * 0.65f);
}

CrateSample frameSample(float x, float y, float edgeDistance, float rivetDistance) {
    const float fromInner = frameWidth - edgeDistance;
    const bool alongX = std::min(y, crateSize - 1 - y) < std::min(x, crateSize - 1 - x);
    float rust = 0.0f;
    const Rgb colour = steelColour(x, y, alongX, &rust);
    // Bevelled on both edges: raised in the middle of the band.
    float height = smoothStep(0.0f, 7.0f, edgeDistance) * smoothStep(0.0f, 7.0f, fromInner) * 4.0f;
    if (rivetDistance < rivetRadius) {
        const float dome = 1.0f - (rivetDistance * rivetDistance) / (rivetRadius * rivetRadius);
        const Rgb rivetColour = Rgb{0.58f, 0.6f, 0.62f} * (0.85f + 0.3f * dome);
        return {CratePart::rivet, rivetColour, 0.85f + 0.15f * dome,
                height + 5.0f * std::sqrt(dome)};
    }
    return {CratePart::frame, colour, (0.8f - 0.45f * rust), height};
}

// The diagonal brace runs from the bottom left to the top right of the boards.
// The boards are square, so its centre line is where x equals the height
// above the bottom edge.
float braceDistance(float x, float y) {
    const float up = float(crateSize - 1) - y;
    return std::fabs(x - up) / std::sqrt(2.0f);
}

CrateSample boardSample(float x, float y, float edgeDistance) {
    const float inner = crateSize - 2.0f * frameWidth;
    const float braceHalfWidth = 34.0f;
    const float towardsFrame = edgeDistance - frameWidth;
    const float occlusion = 0.55f + 0.45f * smoothStep(0.0f, 22.0f, towardsFrame);
    const float across = braceDistance(x, y);
    float grain = 0.0f;
    if (across < braceHalfWidth) {
        // Grain of the brace follows the diagonal.
        const float u = (x + (crateSize - y)) / std::sqrt(2.0f);
        const float v = (x - (crateSize - y)) / std::sqrt(2.0f);
        const Rgb wood = woodColour(u, v, 77u, &grain);
        const float edge = smoothStep(braceHalfWidth, braceHalfWidth - 4.0f, across);
        const float height = 3.0f * edge;
        const float rim = 0.55f + 0.45f * smoothStep(braceHalfWidth, braceHalfWidth - 3.0f, across);
        return {CratePart::brace, wood * (occlusion * rim), 0.1f + 0.08f * grain, height};
    }
    const float plankHeight = inner / plankCount;
    const float inBoards = y - frameWidth;
    const int plank = std::clamp(int(inBoards / plankHeight), 0, plankCount - 1);
    const float inPlank = inBoards - plank * plankHeight;
    const float seam = std::min(inPlank, plankHeight - inPlank);
    // Boards sink into the shadow of the brace beside them.
    const float braceShadow =
        0.6f + 0.4f * smoothStep(braceHalfWidth, braceHalfWidth + 14.0f, across);
    if (seam < 1.6f) {
        return {CratePart::gap, Rgb{0.12f, 0.07f, 0.03f} * occlusion, 0.0f, -3.0f};
    }
    const Rgb wood = woodColour(x + plank * 131.0f, y, 11u + std::uint32_t(plank) * 13u, &grain);
    const float height = -2.0f + 1.5f * smoothStep(1.6f, 5.0f, seam);
    return {CratePart::plank, wood * (occlusion * braceShadow), 0.06f + 0.06f * grain, height};
}

CrateSample crateSample(int px, int py, const std::vector<Rivet>& rivets) {
    const float x = float(px);
    const float y = float(py);
    const float edgeDistance =
        std::min(std::min(x, y), std::min(crateSize - 1 - x, crateSize - 1 - y));
    if (edgeDistance < frameWidth) {
        return frameSample(x, y, edgeDistance, nearestRivet(rivets, x, y));
    }
    return boardSample(x, y, edgeDistance);
}

void paintCrate(Picture& diffuse, Picture& specular) {
    const std::vector<Rivet> rivets = rivetPositions();
    for (int y = 0; y < crateSize; ++y) {
        for (int x = 0; x < crateSize; ++x) {
            const CrateSample sample = crateSample(x, y, rivets);
            const std::size_t i = diffuse.index(x, y);
            const float speckle = 0.95f + 0.1f * hash(x, y, 606u);
            diffuse.colour[i] = sample.colour;
            diffuse.relief[i] = sample.height;
            const float shine = clamp01(sample.shine * speckle);
            specular.colour[i] = Rgb{shine, shine, shine};
            specular.relief[i] = sample.height;
        }
    }
    shadeRelief(diffuse, 0.9f, false);
    shadeRelief(specular, 0.5f, false);
}

// ---------------------------------------------------------------- tiles

constexpr float groutHalfWidth = 4.0f;

// How far inside its tile the pixel lies (negative in the grout), the tile's
// column and row; the grout straddles the image edges so the image repeats.
float tileInset(int x, int y, int* column, int* row) {
    const float tileSize = float(tileImageSize) / tilesPerSide;
    const float fx = std::fmod(float(x) + 0.5f, tileSize);
    const float fy = std::fmod(float(y) + 0.5f, tileSize);
    *column = int(float(x) / tileSize);
    *row = int(float(y) / tileSize);
    const float edge = std::min(std::min(fx, tileSize - fx), std::min(fy, tileSize - fy));
    return edge - groutHalfWidth;
}

Rgb tileColour(int x, int y, int column, int row) {
    const float tone = hash(column, row, 808u);
    const float hue = hash(column, row, 809u);
    const Rgb cream{0.80f, 0.77f, 0.71f};
    const Rgb cool{0.74f, 0.76f, 0.76f};
    const Rgb base = mix(cream, cool, hue * 0.6f) * (0.9f + 0.14f * tone);
    const float mottle = fractalNoise(x * 8.0f / tileImageSize, y * 8.0f / tileImageSize,
                                      810u + std::uint32_t(column * 7 + row), 4, 8);
    const float speck = hash(x, y, 811u) > 0.985f ? 0.9f : 1.0f;
    return base * ((0.94f + 0.1f * mottle) * speck);
}

Rgb groutColour(int x, int y) {
    const float grain = hash(x, y, 812u);
    const float dirt =
        fractalNoise(x * 16.0f / tileImageSize, y * 16.0f / tileImageSize, 813u, 3, 16);
    return Rgb{0.47f, 0.45f, 0.42f} * (0.8f + 0.2f * grain) * (0.85f + 0.25f * dirt);
}

void paintTiles(Picture& picture) {
    for (int y = 0; y < tileImageSize; ++y) {
        for (int x = 0; x < tileImageSize; ++x) {
            int column = 0;
            int row = 0;
            const float inset = tileInset(x, y, &column, &row);
            const std::size_t i = picture.index(x, y);
            if (inset < 0.0f) {
                picture.colour[i] = groutColour(x, y);
                picture.relief[i] = -1.5f + 0.4f * hash(x, y, 814u);
                continue;
            }
            // Rounded glazed edges, then a gentle waviness of the glaze.
            const float edge = smoothStep(0.0f, 6.0f, inset);
            const float wave =
                fractalNoise(x * 4.0f / tileImageSize, y * 4.0f / tileImageSize, 815u, 3, 4);
            picture.colour[i] = tileColour(x, y, column, row) * (0.9f + 0.1f * edge);
            picture.relief[i] = 2.5f * std::sqrt(edge) + 0.8f * wave;
        }
    }
    shadeRelief(picture, 0.45f, true);
}

bool report(bool written, const std::string& path) {
    std::printf("%s %s\n", written ? "wrote" : "FAILED to write", path.c_str());
    return written;
}

} // namespace

int main(int argc, char** argv) {
    const std::string directory = argc > 1 ? std::string(argv[1]) + "/" : std::string();
    Picture crate(crateSize, crateSize);
    Picture crateShine(crateSize, crateSize);
    paintCrate(crate, crateShine);
    Picture tiles(tileImageSize, tileImageSize);
    paintTiles(tiles);

    bool ok = report(writePng(directory + "container2.png", crate), directory + "container2.png");
    ok = report(writePng(directory + "container2_specular.png", crateShine),
                directory + "container2_specular.png") &&
         ok;
    ok = report(writeJpeg(directory + "tilewall.jpg", tiles), directory + "tilewall.jpg") && ok;
    return ok ? 0 : 1;
}
