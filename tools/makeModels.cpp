// Writes the game's own models: a gold trophy turned on a lathe, with two
// handles, and a bevelled five-pointed star, each as OBJ + MTL with a diffuse
// and a specular map drawn here. Same output on every run.
//
// Usage: makeModels [outputFolder]   (default "objects")
#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include "assets/imageWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------- geometry

struct MeshBuilder {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uvs;
    std::vector<std::array<int, 3>> triangles;

    int addVertex(glm::vec3 position, glm::vec3 normal, glm::vec2 uv) {
        positions.push_back(position);
        normals.push_back(glm::normalize(normal));
        uvs.push_back(uv);
        return static_cast<int>(positions.size()) - 1;
    }

    // Winds the triangle counter-clockwise as seen from the side its vertex
    // normals face, and drops triangles that collapse (at the lathe's axis).
    void addTriangle(int a, int b, int c) {
        const glm::vec3 face = glm::cross(positions[b] - positions[a], positions[c] - positions[a]);
        if (glm::length(face) < 1e-9f) {
            return;
        }
        const glm::vec3 facing = normals[a] + normals[b] + normals[c];
        triangles.push_back(glm::dot(face, facing) >= 0.0f ? std::array<int, 3>{a, b, c}
                                                           : std::array<int, 3>{a, c, b});
    }
};

struct ProfilePoint {
    float radius;
    float height;
    bool sharp; // a crease: the faces on either side keep their own normals
};

glm::vec2 profileNormal(const ProfilePoint& from, const ProfilePoint& to) {
    const glm::vec2 along(to.radius - from.radius, to.height - from.height);
    return glm::normalize(glm::vec2(along.y, -along.x));
}

// The normal a profile segment uses at one of its ends: its own at a crease,
// else the mean of the two segments meeting there.
glm::vec2 endNormal(const std::vector<ProfilePoint>& profile, std::size_t segment,
                    std::size_t point) {
    const glm::vec2 own = profileNormal(profile[segment], profile[segment + 1]);
    if (profile[point].sharp || point == 0 || point + 1 == profile.size()) {
        return own;
    }
    const std::size_t other = point == segment ? segment - 1 : segment + 1;
    return glm::normalize(own + profileNormal(profile[other], profile[other + 1]));
}

std::vector<float> arcFractions(const std::vector<ProfilePoint>& profile) {
    std::vector<float> fractions(profile.size(), 0.0f);
    for (std::size_t i = 1; i < profile.size(); ++i) {
        const glm::vec2 step(profile[i].radius - profile[i - 1].radius,
                             profile[i].height - profile[i - 1].height);
        fractions[i] = fractions[i - 1] + glm::length(step);
    }
    for (float& fraction : fractions) {
        fraction /= fractions.back();
    }
    return fractions;
}

glm::vec3 revolve(glm::vec2 radial, float angle) {
    return glm::vec3(radial.x * std::cos(angle), radial.y, radial.x * std::sin(angle));
}

// Turns the profile about the y axis; u runs round the axis, v along the
// profile.
void addLathe(MeshBuilder& mesh, const std::vector<ProfilePoint>& profile, int slices) {
    const std::vector<float> v = arcFractions(profile);
    for (std::size_t segment = 0; segment + 1 < profile.size(); ++segment) {
        std::array<std::vector<int>, 2> rings;
        for (std::size_t end = 0; end < 2; ++end) {
            const std::size_t point = segment + end;
            const glm::vec2 normal = endNormal(profile, segment, point);
            for (int slice = 0; slice <= slices; ++slice) {
                const float u = static_cast<float>(slice) / slices;
                const float angle = u * glm::two_pi<float>();
                rings[end].push_back(mesh.addVertex(
                    revolve(glm::vec2(profile[point].radius, profile[point].height), angle),
                    revolve(normal, angle), glm::vec2(u, v[point])));
            }
        }
        for (int slice = 0; slice < slices; ++slice) {
            mesh.addTriangle(rings[0][slice], rings[1][slice], rings[1][slice + 1]);
            mesh.addTriangle(rings[0][slice], rings[1][slice + 1], rings[0][slice + 1]);
        }
    }
}

// A round tube along a curve lying in the xy plane.
void addTube(MeshBuilder& mesh, const std::function<glm::vec3(float)>& curve, float tubeRadius,
             int steps, int sides) {
    const glm::vec3 binormal(0.0f, 0.0f, 1.0f);
    std::vector<std::vector<int>> rings;
    for (int step = 0; step <= steps; ++step) {
        const float t = static_cast<float>(step) / steps;
        const glm::vec3 tangent =
            glm::normalize(curve(std::min(t + 1e-3f, 1.0f)) - curve(std::max(t - 1e-3f, 0.0f)));
        const glm::vec3 across = glm::normalize(glm::cross(tangent, binormal));
        rings.emplace_back();
        for (int side = 0; side <= sides; ++side) {
            const float u = static_cast<float>(side) / sides;
            const float angle = u * glm::two_pi<float>();
            const glm::vec3 out = std::cos(angle) * across + std::sin(angle) * binormal;
            rings.back().push_back(
                mesh.addVertex(curve(t) + tubeRadius * out, out, glm::vec2(u, t)));
        }
    }
    for (int step = 0; step < steps; ++step) {
        for (int side = 0; side < sides; ++side) {
            mesh.addTriangle(rings[step][side], rings[step + 1][side], rings[step + 1][side + 1]);
            mesh.addTriangle(rings[step][side], rings[step + 1][side + 1], rings[step][side + 1]);
        }
    }
}

// ---------------------------------------------------------------- trophy

// Base plinth, stem with a knot, and an open cup with a rolled rim. The base
// sits on y = 0 and the rim reaches 0.6.
std::vector<ProfilePoint> trophyProfile() {
    return {
        {0.000f, 0.000f, true},  {0.140f, 0.000f, true},  {0.140f, 0.035f, true},
        {0.120f, 0.055f, true},  {0.120f, 0.070f, true},  {0.060f, 0.085f, true},
        {0.032f, 0.110f, false}, {0.024f, 0.170f, false}, {0.026f, 0.220f, false},
        {0.042f, 0.245f, false}, {0.026f, 0.270f, false}, {0.030f, 0.310f, false},
        {0.060f, 0.340f, false}, {0.095f, 0.375f, false}, {0.122f, 0.430f, false},
        {0.135f, 0.490f, false}, {0.141f, 0.550f, false}, {0.148f, 0.592f, false},
        {0.142f, 0.600f, true},  {0.130f, 0.594f, true},  {0.120f, 0.550f, false},
        {0.108f, 0.490f, false}, {0.090f, 0.430f, false}, {0.055f, 0.390f, false},
        {0.000f, 0.375f, false},
    };
}

// A handle bowing out from the cup wall on one side (side = +1 or -1). It
// leaves the wall level, so each end is a flat ring inside the wall's
// thickness and needs no cap.
glm::vec3 handleCurve(float t, float side) {
    const float topX = 0.128f;
    const float bottomX = 0.112f;
    const float bow = 0.06f;
    const float x = topX + (bottomX - topX) * t + bow * std::sin(t * glm::pi<float>());
    const float y = 0.505f + 0.055f * std::cos(t * glm::pi<float>());
    return glm::vec3(side * x, y, 0.0f);
}

MeshBuilder trophyBody() {
    MeshBuilder body;
    addLathe(body, trophyProfile(), 16);
    return body;
}

MeshBuilder trophyHandles() {
    MeshBuilder handles;
    for (float side : {1.0f, -1.0f}) {
        addTube(
            handles, [side](float t) { return handleCurve(t, side); }, 0.014f, 8, 6);
    }
    return handles;
}

// ---------------------------------------------------------------- star

constexpr float starOuterRadius = 0.15f;
constexpr float starInnerRadius = 0.063f;

// The star's outline in the xy plane, a point upwards, counter-clockwise.
std::vector<glm::vec2> starOutline() {
    std::vector<glm::vec2> outline;
    for (int i = 0; i < 10; ++i) {
        const float angle = glm::half_pi<float>() + i * glm::pi<float>() / 5.0f;
        const float radius = i % 2 == 0 ? starOuterRadius : starInnerRadius;
        outline.emplace_back(radius * std::cos(angle), radius * std::sin(angle));
    }
    return outline;
}

glm::vec2 starUv(glm::vec3 position) {
    return glm::vec2(position.x, position.y) / (2.0f * starOuterRadius) + 0.5f;
}

// Facets are flat. The star is star-shaped about its centre, so a face points
// outwards when its normal leans away from the origin.
void addFacet(MeshBuilder& mesh, glm::vec3 a, glm::vec3 b, glm::vec3 c) {
    glm::vec3 normal = glm::normalize(glm::cross(b - a, c - a));
    if (glm::dot(normal, a + b + c) < 0.0f) {
        normal = -normal;
    }
    mesh.addTriangle(mesh.addVertex(a, normal, starUv(a)), mesh.addVertex(b, normal, starUv(b)),
                     mesh.addVertex(c, normal, starUv(c)));
}

void addQuadFacet(MeshBuilder& mesh, glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec3 d) {
    addFacet(mesh, a, b, c);
    addFacet(mesh, a, c, d);
}

// Extruded outline with a thin straight edge, then on each face a chamfer to
// an inset outline and ridged facets rising to a raised centre.
MeshBuilder starMesh() {
    const float edgeHalf = 0.010f;
    const float insetHeight = 0.024f;
    const float centreHeight = 0.036f;
    const float insetScale = 0.72f;
    const std::vector<glm::vec2> outline = starOutline();
    MeshBuilder star;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const glm::vec2 p = outline[i];
        const glm::vec2 q = outline[(i + 1) % outline.size()];
        addQuadFacet(star, glm::vec3(p, edgeHalf), glm::vec3(q, edgeHalf), glm::vec3(q, -edgeHalf),
                     glm::vec3(p, -edgeHalf));
        for (float face : {1.0f, -1.0f}) {
            const glm::vec3 rimP(p, face * edgeHalf);
            const glm::vec3 rimQ(q, face * edgeHalf);
            const glm::vec3 insetP(insetScale * p, face * insetHeight);
            const glm::vec3 insetQ(insetScale * q, face * insetHeight);
            addQuadFacet(star, rimP, rimQ, insetQ, insetP);
            addFacet(star, insetP, insetQ, glm::vec3(0.0f, 0.0f, face * centreHeight));
        }
    }
    return star;
}

// ---------------------------------------------------------------- textures

std::uint32_t hash(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed ^ (static_cast<std::uint32_t>(x) * 0x8da6b343u) ^
                      (static_cast<std::uint32_t>(y) * 0xd8163841u);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

float lattice(int x, int y, int period, std::uint32_t seed) {
    return (hash((x % period + period) % period, (y % period + period) % period, seed) & 0xffff) /
           65535.0f;
}

// Smooth value noise in [0, 1] that tiles every period cells, so the maps
// repeat without a seam round the lathe.
float valueNoise(float x, float y, int period, std::uint32_t seed) {
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const float fx = x - x0;
    const float fy = y - y0;
    const float sx = fx * fx * (3.0f - 2.0f * fx);
    const float sy = fy * fy * (3.0f - 2.0f * fy);
    const float top =
        lattice(x0, y0, period, seed) * (1 - sx) + lattice(x0 + 1, y0, period, seed) * sx;
    const float bottom =
        lattice(x0, y0 + 1, period, seed) * (1 - sx) + lattice(x0 + 1, y0 + 1, period, seed) * sx;
    return top * (1 - sy) + bottom * sy;
}

using Shader = std::function<glm::vec3(float u, float v)>;

bool writeTexture(const std::string& path, int size, const Shader& shade) {
    std::vector<unsigned char> pixels;
    pixels.reserve(static_cast<std::size_t>(size) * size * 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const glm::vec3 colour =
                glm::clamp(shade((x + 0.5f) / size, (y + 0.5f) / size), 0.0f, 1.0f);
            for (int channel = 0; channel < 3; ++channel) {
                pixels.push_back(static_cast<unsigned char>(std::lround(colour[channel] * 255)));
            }
        }
    }
    return writePng(path, size, size, 3, pixels.data());
}

// Brushed round the axis: fine streaks along u, and two engraved rings on
// the cup.
float brushedGold(float u, float v) {
    const float streaks = valueNoise(u * 64.0f, v * 4.0f, 64, 7u);
    const float grain = valueNoise(u * 16.0f, v * 16.0f, 16, 11u);
    const bool engraved = std::abs(v - 0.66f) < 0.006f || std::abs(v - 0.72f) < 0.006f;
    return (0.82f + 0.12f * streaks + 0.06f * grain) * (engraved ? 0.55f : 1.0f);
}

glm::vec3 trophyDiffuse(float u, float v) {
    return glm::vec3(0.86f, 0.66f, 0.20f) * brushedGold(u, v);
}

glm::vec3 trophySpecular(float u, float v) {
    return glm::vec3(1.0f, 0.92f, 0.70f) * (brushedGold(u, v) * 1.1f - 0.05f);
}

// Bright at the centre, deeper gold towards the points, with a faint sparkle.
glm::vec3 starDiffuse(float u, float v) {
    const float distance = glm::length(glm::vec2(u, v) - 0.5f) * 2.0f;
    const float sparkle = valueNoise(u * 32.0f, v * 32.0f, 32, 23u);
    const glm::vec3 centre(1.0f, 0.95f, 0.45f);
    const glm::vec3 edge(0.98f, 0.72f, 0.08f);
    return glm::mix(centre, edge, std::min(distance, 1.0f)) * (0.92f + 0.08f * sparkle);
}

glm::vec3 starSpecular(float u, float v) {
    const float distance = glm::length(glm::vec2(u, v) - 0.5f) * 2.0f;
    return glm::vec3(1.0f, 0.97f, 0.85f) * (1.0f - 0.35f * std::min(distance, 1.0f));
}

// ---------------------------------------------------------------- files

// Rounds away the float noise that would print as "-0.00000".
float tidy(float value) {
    return std::abs(value) < 5e-6f ? 0.0f : value;
}

struct NamedPart {
    std::string name;
    MeshBuilder mesh;
};

void writeObj(const std::string& path, const std::string& library, const std::string& material,
              const std::string& object, const std::vector<NamedPart>& parts) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fprintf(file, "# %s for cellquest, written by makeModels\nmtllib %s\no %s\n",
                 object.c_str(), library.c_str(), object.c_str());
    for (const NamedPart& part : parts) {
        for (const glm::vec3& p : part.mesh.positions) {
            std::fprintf(file, "v %.5f %.5f %.5f\n", tidy(p.x), tidy(p.y), tidy(p.z));
        }
        for (const glm::vec2& t : part.mesh.uvs) {
            std::fprintf(file, "vt %.5f %.5f\n", tidy(t.x), tidy(t.y));
        }
        for (const glm::vec3& n : part.mesh.normals) {
            std::fprintf(file, "vn %.5f %.5f %.5f\n", tidy(n.x), tidy(n.y), tidy(n.z));
        }
    }
    std::fprintf(file, "usemtl %s\n", material.c_str());
    int base = 1; // OBJ counts from one
    for (const NamedPart& part : parts) {
        std::fprintf(file, "g %s\n", part.name.c_str());
        for (const std::array<int, 3>& triangle : part.mesh.triangles) {
            std::fprintf(file, "f");
            for (int corner : triangle) {
                const int index = base + corner;
                std::fprintf(file, " %d/%d/%d", index, index, index);
            }
            std::fprintf(file, "\n");
        }
        base += static_cast<int>(part.mesh.positions.size());
    }
    std::fclose(file);
}

struct MaterialColours {
    glm::vec3 ambient;
    glm::vec3 diffuse;
    glm::vec3 specular;
    float shininess;
};

void writeMtl(const std::string& path, const std::string& material, const MaterialColours& colours,
              const std::string& diffuseMap, const std::string& specularMap) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        std::perror(path.c_str());
        std::exit(1);
    }
    const glm::vec3& a = colours.ambient;
    const glm::vec3& d = colours.diffuse;
    const glm::vec3& s = colours.specular;
    std::fprintf(file,
                 "newmtl %s\nKa %.3f %.3f %.3f\nKd %.3f %.3f %.3f\nKs %.3f %.3f %.3f\n"
                 "Ns %.1f\nillum 2\nmap_Kd %s\nmap_Ks %s\n",
                 material.c_str(), a.x, a.y, a.z, d.x, d.y, d.z, s.x, s.y, s.z, colours.shininess,
                 diffuseMap.c_str(), specularMap.c_str());
    std::fclose(file);
}

void writeTextureOrExit(const std::string& path, const Shader& shade) {
    if (!writeTexture(path, 256, shade)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "objects";
    std::filesystem::create_directories(folder + "/textures");

    writeObj(folder + "/trophy.obj", "trophy.mtl", "gold", "trophy",
             {{"body", trophyBody()}, {"handles", trophyHandles()}});
    writeMtl(folder + "/trophy.mtl", "gold",
             {{0.25f, 0.20f, 0.06f}, {0.86f, 0.66f, 0.20f}, {1.0f, 0.92f, 0.70f}, 64.0f},
             "textures/trophy_diffuse.png", "textures/trophy_specular.png");
    writeTextureOrExit(folder + "/textures/trophy_diffuse.png", trophyDiffuse);
    writeTextureOrExit(folder + "/textures/trophy_specular.png", trophySpecular);

    writeObj(folder + "/star.obj", "star.mtl", "starGold", "star", {{"star", starMesh()}});
    writeMtl(folder + "/star.mtl", "starGold",
             {{0.30f, 0.25f, 0.05f}, {1.0f, 0.84f, 0.25f}, {1.0f, 0.97f, 0.85f}, 96.0f},
             "textures/star_diffuse.png", "textures/star_specular.png");
    writeTextureOrExit(folder + "/textures/star_diffuse.png", starDiffuse);
    writeTextureOrExit(folder + "/textures/star_specular.png", starSpecular);
    return 0;
}
