// The per-frame world work on the CPU: the movement step with a key held, the
// block steps after a change of cell, and the solver on the real level.
#include "app/camera.h"
#include "app/frameState.h"
#include "app/gameModels.h"
#include "app/input.h"
#include "world/level.h"
#include "world/levelState.h"
#include "world/movement.h"
#include "world/solver.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ProcessMovementHoldingW(benchmark::State& state) {
    const LevelState start = captureLevelState();
    keys[keyW] = true;
    deltaTime = 1.0f / 60.0f;
    for (auto _ : state) {
        camera.position = cameraStartPosition;
        processMovement();
        benchmark::DoNotOptimize(camera.position);
    }
    keys[keyW] = false;
    resetFrameState();
    camera = Camera{};
    restoreLevelState(start);
}
BENCHMARK(BM_ProcessMovementHoldingW);

void BM_StepBlocksBackAndForth(benchmark::State& state) {
    const LevelState start = captureLevelState();
    Direction direction = -1;
    for (auto _ : state) {
        stepBlocks(direction);
        direction = -direction;
        benchmark::DoNotOptimize(redBlocks[0].cell);
    }
    restoreLevelState(start);
}
BENCHMARK(BM_StepBlocksBackAndForth);

void BM_SolveStartLayout(benchmark::State& state) {
    const LevelState start = captureLevelState();
    const Cell goal{static_cast<int32_t>(trophyPosition.x), static_cast<int32_t>(trophyPosition.y),
                    static_cast<int32_t>(trophyPosition.z)};
    for (auto _ : state) {
        benchmark::DoNotOptimize(solveLevel(start, goal));
    }
}
BENCHMARK(BM_SolveStartLayout)->Unit(benchmark::kMillisecond);

} // namespace
