// The particle fountain's logic: a fixed pool, spawning, ageing and the
// far-to-near order. The GL side is render/particleRenderer.
#pragma once

#include <glm/vec3.hpp>

#include <cstdint>
#include <vector>

constexpr int maxParticles = 100000;

struct Particle {
    glm::vec3 position;
    glm::vec3 speed;
    unsigned char r, g, b, a;
    float size;
    float life;
    float cameraDistance;
};

struct ParticleSystem {
    std::vector<Particle> pool = std::vector<Particle>(maxParticles, Particle{});
    int lastUsedParticle = 0;
    // Staging arrays, allocated once by allocateStaging(): x, y, z, size and
    // r, g, b, a per instance.
    std::vector<float> positionData;
    std::vector<unsigned char> colorData;

    void allocateStaging();
};

extern ParticleSystem particles;

// deltaTime x 200 truncated, at most 3, never below 0.
int spawnCount(float deltaTime);
// The spawn, update and ordering of one frame; returns the instance count c.
int updateParticleSystem(ParticleSystem& system, float deltaTime, glm::vec3 cameraPosition);
