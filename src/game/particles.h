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

// The pool is kept in far-to-near order between frames, with live records
// ahead of free ones of equal distance, and every live record lies below
// liveEnd. A frame then only has to re-place the records it touched instead
// of sorting all 100 000 again.
struct ParticleSystem {
    std::vector<Particle> pool = std::vector<Particle>(maxParticles, Particle{});
    int lastUsedParticle = 0;
    int liveEnd = 0;
    // Staging arrays, allocated once by allocateStaging(): x, y, z, size and
    // r, g, b, a per instance.
    std::vector<float> positionData;
    std::vector<unsigned char> colorData;
    // Scratch space of the re-ordering, sized once with the pool.
    std::vector<Particle> touched;
    std::vector<int> touchedSlots;
    std::vector<int> touchedTargets;
    struct SortKey {
        float distance;
        bool live;
        int index;
    };
    std::vector<SortKey> sortKeys;

    ParticleSystem();
    // Does nothing once the arrays exist.
    void allocateStaging();
    // Full sort of the pool, for frames that touched most of it and after
    // records were edited from outside.
    void restoreOrder();
};

constexpr int maxSpawnsPerFrame = 3;
constexpr glm::vec3 particleSpawnPoint(2.5f, 3.0f, 0.5f);
constexpr float particleSpawnSize = 0.1f;

inline bool isLive(const Particle& particle) {
    return particle.life > 0.0f;
}

// deltaTime x 200 truncated, at most 3, never below 0.
int spawnCount(float deltaTime);
// The first free record from lastUsedParticle on, wrapping to the start;
// index 0 when none is free (lastUsedParticle then stays as it was).
int findFreeParticle(ParticleSystem& system);
// Fills a record with a fresh particle; draws rand() twice.
void spawnParticle(Particle& particle, float deltaTime);
// The spawn, update and ordering of one frame; returns the instance count c.
int updateParticleSystem(ParticleSystem& system, float deltaTime, glm::vec3 cameraPosition);
