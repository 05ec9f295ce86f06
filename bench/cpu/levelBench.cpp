// The solver on every level of the pack, one benchmark a level, and on the
// crowded room in bench/levels (16 red and 16 blue blocks in 10 x 10 x 10
// cells) within a state budget, registered at start-up from the files:
// run from the repository root. Each prints the states searched a second
// and the bytes the search held for each state.
#include "world/levelFile.h"
#include "world/solver.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

// The crowded room's search stops here: enough to fill the memory far
// beyond the caches, short enough to repeat.
constexpr int crowdedStateBudget = 3000000;

void solveLevelFile(benchmark::State& state, const LevelLayout& layout, SolverBudget budget) {
    const Level level(layout);
    SolveResult result;
    double states = 0;
    for (auto _ : state) {
        result = searchLevel(level, budget);
        states += result.states;
        benchmark::DoNotOptimize(result.moves.data());
    }
    state.counters["moves"] = static_cast<double>(result.moves.size());
    state.counters["states"] = result.states;
    state.counters["statesPerSecond"] = benchmark::Counter(states, benchmark::Counter::kIsRate);
    state.counters["bytesPerState"] =
        static_cast<double>(result.bytes) / std::max(result.states, 1);
}

// A benchmark that fails by name says what went wrong in the results table.
void reportMissing(const std::string& name, const std::string& why) {
    benchmark::RegisterBenchmark(
        name.c_str(), [why](benchmark::State& state) { state.SkipWithError(why.c_str()); });
}

void registerLevel(const std::string& name, const std::string& file, SolverBudget budget) {
    const LevelLoad load = loadLevelFile(file);
    if (!load.level) {
        reportMissing(name, load.error);
        return;
    }
    benchmark::RegisterBenchmark(name.c_str(), solveLevelFile, load.level->layout, budget)
        ->Unit(benchmark::kMillisecond);
}

bool registerPackBenchmarks() {
    const std::vector<std::string> files = levelFilesIn("levels");
    if (files.empty()) {
        reportMissing("solvePackLevel", "no levels/*.level here: run from the repository root");
    }
    for (const std::string& file : files) {
        registerLevel("solvePackLevel/" + std::filesystem::path(file).stem().string(), file, {});
    }
    registerLevel("solveCrowdedLevel", "bench/levels/crowded.level",
                  SolverBudget{solverNoMoveLimit, crowdedStateBudget});
    return true;
}

const bool packBenchmarksRegistered = registerPackBenchmarks();

} // namespace
