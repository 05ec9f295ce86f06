#include "game/particles.h"

#include <glm/geometric.hpp>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

namespace {

constexpr double spawnsPerSecond = 200.0;
constexpr float lifeAtSpawn = 8.0f;
constexpr float timeFactor = 0.1f;
constexpr glm::vec3 gravity(0.0f, -2.81f, 0.0f);
constexpr float deadDistance = -1.0f;

using SpawnList = std::array<int, maxSpawnsPerFrame>;

// Far first; a live record goes ahead of a free one at the same distance so
// the live records stay together at the front of the pool.
bool drawsBefore(const Particle& a, const Particle& b) {
    if (a.cameraDistance != b.cameraDistance) {
        return a.cameraDistance > b.cameraDistance;
    }
    return isLive(a) && !isLive(b);
}

int spawnFrame(ParticleSystem& system, float deltaTime, SpawnList& spawned) {
    const int count = spawnCount(deltaTime);
    for (int i = 0; i < count; ++i) {
        const int index = findFreeParticle(system);
        spawnParticle(system.pool[index], deltaTime);
        spawned[i] = index;
    }
    return count;
}

// At most three entries: a plain insertion sort.
void sortSpawns(SpawnList& spawned, int count) {
    for (int i = 1; i < count; ++i) {
        for (int j = i; j > 0 && spawned[j - 1] > spawned[j]; --j) {
            std::swap(spawned[j - 1], spawned[j]);
        }
    }
}

// The records this frame's update visits, in index order: the live ones below
// liveEnd and the fresh spawns beyond it.
void collectTouchedSlots(ParticleSystem& system, SpawnList spawned, int spawnedCount) {
    std::vector<int>& slots = system.touchedSlots;
    slots.clear();
    for (int i = 0; i < system.liveEnd; ++i) {
        if (isLive(system.pool[i])) {
            slots.push_back(i);
        }
    }
    sortSpawns(spawned, spawnedCount);
    for (int i = 0; i < spawnedCount; ++i) {
        const int index = spawned[i];
        const bool alreadyListed = !slots.empty() && slots.back() >= index;
        if (!alreadyListed && isLive(system.pool[index])) {
            slots.push_back(index);
        }
    }
}

void writeStaging(ParticleSystem& system, const Particle& particle, int instance) {
    float* position = system.positionData.data() + 4 * instance;
    position[0] = particle.position.x;
    position[1] = particle.position.y;
    position[2] = particle.position.z;
    position[3] = particle.size;
    unsigned char* color = system.colorData.data() + 4 * instance;
    color[0] = particle.r;
    color[1] = particle.g;
    color[2] = particle.b;
    color[3] = particle.a;
}

// A particle that dies here keeps its instance slot as the last frame left
// it; it is still counted by the caller.
void ageParticle(ParticleSystem& system, Particle& particle, float deltaTime,
                 glm::vec3 cameraPosition, int instance) {
    particle.life -= deltaTime;
    if (!isLive(particle)) {
        particle.cameraDistance = deadDistance;
        return;
    }
    particle.speed += gravity * deltaTime * timeFactor;
    particle.position += particle.speed * deltaTime * timeFactor;
    particle.cameraDistance = glm::length(particle.position - cameraPosition);
    writeStaging(system, particle, instance);
}

// Records outside the touched set keep their relative order, so the pool is
// the sorted untouched records with holes at the touched slots. Each hole
// gets the key of the record before it, which makes the whole pool one
// non-increasing sequence to binary-search.
void fillHoleKeys(std::vector<Particle>& pool, const std::vector<int>& holes) {
    for (int hole : holes) {
        pool[hole].cameraDistance =
            hole == 0 ? std::numeric_limits<float>::infinity() : pool[hole - 1].cameraDistance;
    }
}

// How many untouched records draw before a touched record with this key.
int untouchedAhead(const std::vector<Particle>& pool, const std::vector<int>& holes, float key) {
    const auto firstNotAhead = std::partition_point(
        pool.begin(), pool.end(), [key](const Particle& p) { return p.cameraDistance > key; });
    const int position = static_cast<int>(firstNotAhead - pool.begin());
    const int holesAhead =
        static_cast<int>(std::lower_bound(holes.begin(), holes.end(), position) - holes.begin());
    return position - holesAhead;
}

// Moving a hole past a run of equal keys only needs the run's far end to
// jump into the hole, since equal keys may sit in any order.
void moveHoleRight(std::vector<Particle>& pool, int hole, int target) {
    while (hole < target) {
        const float key = pool[hole + 1].cameraDistance;
        const auto runEnd =
            std::partition_point(pool.begin() + hole + 1, pool.begin() + target + 1,
                                 [key](const Particle& p) { return p.cameraDistance >= key; }) -
            1;
        // At least one step, whatever the keys compare like.
        const int last = std::max(static_cast<int>(runEnd - pool.begin()), hole + 1);
        pool[hole] = pool[last];
        hole = last;
    }
}

void moveHoleLeft(std::vector<Particle>& pool, int hole, int target) {
    while (hole > target) {
        const float key = pool[hole - 1].cameraDistance;
        const auto runStart =
            std::partition_point(pool.begin() + target, pool.begin() + hole,
                                 [key](const Particle& p) { return p.cameraDistance > key; });
        const int first = std::min(static_cast<int>(runStart - pool.begin()), hole - 1);
        pool[hole] = pool[first];
        hole = first;
    }
}

// Holes that move right go first from the back, then the ones that move left
// from the front: that way no hole ever has to pass another.
void moveHoles(std::vector<Particle>& pool, const std::vector<int>& holes,
               const std::vector<int>& targets) {
    const int count = static_cast<int>(holes.size());
    for (int j = count - 1; j >= 0; --j) {
        if (targets[j] > holes[j]) {
            moveHoleRight(pool, holes[j], targets[j]);
        }
    }
    for (int j = 0; j < count; ++j) {
        if (targets[j] < holes[j]) {
            moveHoleLeft(pool, holes[j], targets[j]);
        }
    }
}

// Puts the touched records back into far-to-near order. The cost grows with
// the number of touched records and the distinct keys their holes pass, not
// with the pool size; free records only carry the keys 0 and -1.
void reorderTouched(ParticleSystem& system) {
    std::vector<Particle>& pool = system.pool;
    std::vector<int>& holes = system.touchedSlots;
    std::vector<Particle>& touched = system.touched;
    touched.clear();
    for (int hole : holes) {
        touched.push_back(pool[hole]);
    }
    std::sort(touched.begin(), touched.end(), drawsBefore);
    fillHoleKeys(pool, holes);

    std::vector<int>& targets = system.touchedTargets;
    targets.clear();
    for (std::size_t j = 0; j < touched.size(); ++j) {
        targets.push_back(static_cast<int>(j) +
                          untouchedAhead(pool, holes, touched[j].cameraDistance));
    }
    moveHoles(pool, holes, targets);

    system.liveEnd = 0;
    for (std::size_t j = 0; j < touched.size(); ++j) {
        pool[targets[j]] = touched[j];
        if (isLive(touched[j])) {
            system.liveEnd = targets[j] + 1;
        }
    }
}

} // namespace

ParticleSystem::ParticleSystem() {
    touched.reserve(maxParticles);
    touchedSlots.reserve(maxParticles);
    touchedTargets.reserve(maxParticles);
    sortKeys.reserve(maxParticles);
}

void ParticleSystem::allocateStaging() {
    if (positionData.empty()) {
        positionData.assign(4 * static_cast<std::size_t>(maxParticles), 0.0f);
        colorData.assign(4 * static_cast<std::size_t>(maxParticles), 0);
    }
}

// Sorting small keys and gathering the records once moves far less memory
// than sorting the records themselves.
void ParticleSystem::restoreOrder() {
    sortKeys.clear();
    for (int i = 0; i < maxParticles; ++i) {
        sortKeys.push_back({pool[i].cameraDistance, isLive(pool[i]), i});
    }
    std::sort(sortKeys.begin(), sortKeys.end(), [](const SortKey& a, const SortKey& b) {
        if (a.distance != b.distance) {
            return a.distance > b.distance;
        }
        return a.live && !b.live;
    });
    touched.clear();
    for (const SortKey& key : sortKeys) {
        touched.push_back(pool[key.index]);
    }
    std::copy(touched.begin(), touched.end(), pool.begin());
    liveEnd = 0;
    for (int i = 0; i < maxParticles; ++i) {
        if (isLive(pool[i])) {
            liveEnd = i + 1;
        }
    }
}

int spawnCount(float deltaTime) {
    const double wanted = static_cast<double>(deltaTime) * spawnsPerSecond;
    // Compared before the conversion: a huge or non-finite frame time must
    // not reach the integer conversion.
    if (!(wanted >= 1.0)) {
        return 0;
    }
    if (wanted >= maxSpawnsPerFrame) {
        return maxSpawnsPerFrame;
    }
    return static_cast<int>(wanted);
}

int findFreeParticle(ParticleSystem& system) {
    const int start = std::clamp(system.lastUsedParticle, 0, maxParticles);
    for (int i = start; i < maxParticles; ++i) {
        if (!isLive(system.pool[i])) {
            system.lastUsedParticle = i;
            return i;
        }
    }
    for (int i = 0; i < start; ++i) {
        if (!isLive(system.pool[i])) {
            system.lastUsedParticle = i;
            return i;
        }
    }
    return 0;
}

void spawnParticle(Particle& particle, float deltaTime) {
    particle.life = deltaTime * lifeAtSpawn;
    particle.position = particleSpawnPoint;
    particle.r = 200;
    particle.g = 240;
    particle.b = 240;
    particle.a = 50;
    particle.size = particleSpawnSize;
    const int firstDraw = (std::rand() % 15) + 5;
    const int secondDraw = (std::rand() % 15) + 5;
    particle.speed = glm::vec3(0.0f, static_cast<float>(secondDraw), static_cast<float>(firstDraw));
}

int updateParticleSystem(ParticleSystem& system, float deltaTime, glm::vec3 cameraPosition) {
    system.allocateStaging();
    SpawnList spawned{};
    const int spawnedCount = spawnFrame(system, deltaTime, spawned);
    collectTouchedSlots(system, spawned, spawnedCount);
    int instanceCount = 0;
    for (int slot : system.touchedSlots) {
        ageParticle(system, system.pool[slot], deltaTime, cameraPosition, instanceCount);
        instanceCount += 1;
    }
    // With most of the pool touched, one sort of the whole pool is cheaper
    // than placing each record on its own.
    if (system.touchedSlots.size() > maxParticles / 8) {
        system.restoreOrder();
    } else {
        reorderTouched(system);
    }
    return instanceCount;
}
