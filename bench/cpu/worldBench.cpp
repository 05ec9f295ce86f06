// The per-frame world work on the CPU: the movement step with a key held, the
// block steps after a change of cell, and the solver on the real level.
#include "game/gameState.h"
#include "game/movement.h"
#include "world/rules.h"
#include "world/solver.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ProcessMovementHoldingW(benchmark::State& state) {
    GameState game;
    game.input.keys[keyIndex(Key::w)] = true;
    game.deltaTime = 1.0f / 60.0f;
    for (auto _ : state) {
        game.camera.position = cameraStartPosition;
        processMovement(game.camera, game.modes, game.input, MoveControls(), game.level,
                        game.deltaTime);
        benchmark::DoNotOptimize(game.camera.position);
    }
}
BENCHMARK(BM_ProcessMovementHoldingW);

void BM_StepBlocksBackAndForth(benchmark::State& state) {
    Level level;
    Direction direction = -1;
    for (auto _ : state) {
        stepBlocks(level, direction);
        direction = -direction;
        benchmark::DoNotOptimize(level.redBlocks[0].cell);
    }
}
BENCHMARK(BM_StepBlocksBackAndForth);

void BM_SolveStartLayout(benchmark::State& state) {
    const Level level;
    for (auto _ : state) {
        benchmark::DoNotOptimize(solveLevel(level));
    }
}
BENCHMARK(BM_SolveStartLayout)->Unit(benchmark::kMillisecond);

} // namespace
