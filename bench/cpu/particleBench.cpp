// The particle step's CPU cost: spawn, ageing, staging and the far-to-near
// order of the whole pool, at the game's steady state and with a full pool.
#include "game/camera.h"
#include "game/particles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>

namespace {

constexpr float sixtyFps = 1.0f / 60.0f;

int liveCount(const ParticleSystem& system) {
    return int(std::count_if(system.pool.begin(), system.pool.end(), isLive));
}

// At 60 frames per second three particles spawn per frame and each lives
// about seven frames: some twenty are live from the eighth frame on.
void particleStepSteadyState(benchmark::State& state) {
    auto system = std::make_unique<ParticleSystem>();
    system->allocateStaging();
    for (int frame = 0; frame < 600; ++frame) {
        updateParticleSystem(*system, sixtyFps, cameraStartPosition);
    }
    int instances = 0;
    for (auto _ : state) {
        instances = updateParticleSystem(*system, sixtyFps, cameraStartPosition);
        benchmark::DoNotOptimize(instances);
    }
    state.counters["instances"] = instances;
    state.counters["live"] = liveCount(*system);
}
BENCHMARK(particleStepSteadyState)->Unit(benchmark::kMicrosecond);

// Every record live for the whole run, so each frame ages, stages and
// re-orders all 100 000 (and the spawns overwrite record 0).
void particleStepFullPool(benchmark::State& state) {
    auto system = std::make_unique<ParticleSystem>();
    system->allocateStaging();
    std::mt19937 random(42);
    std::uniform_real_distribution<float> coordinate(0.0f, 10.0f);
    for (Particle& p : system->pool) {
        p.life = 1.0e6f;
        p.position = glm::vec3(coordinate(random), coordinate(random), coordinate(random));
        p.speed = glm::vec3(0.0f, coordinate(random), coordinate(random));
        p.size = particleSpawnSize;
    }
    system->restoreOrder();
    int instances = 0;
    for (auto _ : state) {
        instances = updateParticleSystem(*system, sixtyFps, cameraStartPosition);
        benchmark::DoNotOptimize(instances);
    }
    state.counters["instances"] = instances;
}
BENCHMARK(particleStepFullPool)->Unit(benchmark::kMillisecond);

// For scale: what a plain sort of the whole pool by distance costs per frame,
// the work the incremental order avoids at steady state.
void plainSortOfWholePool(benchmark::State& state) {
    auto system = std::make_unique<ParticleSystem>();
    for (int frame = 0; frame < 600; ++frame) {
        updateParticleSystem(*system, sixtyFps, cameraStartPosition);
    }
    std::vector<Particle> pool;
    for (auto _ : state) {
        state.PauseTiming();
        pool = system->pool;
        std::shuffle(pool.begin(), pool.begin() + 40, std::mt19937(1));
        state.ResumeTiming();
        std::sort(pool.begin(), pool.end(), [](const Particle& a, const Particle& b) {
            return a.cameraDistance > b.cameraDistance;
        });
        benchmark::DoNotOptimize(pool.data());
    }
}
BENCHMARK(plainSortOfWholePool)->Unit(benchmark::kMicrosecond);

} // namespace
