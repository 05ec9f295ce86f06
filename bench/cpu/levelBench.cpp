// The solver on every level of the pack, one benchmark a level, registered at
// start-up from the files in levels/: run from the repository root.
#include "world/levelFile.h"
#include "world/solver.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

void solvePackLevel(benchmark::State& state, const LevelLayout& layout) {
    const Level level(layout);
    SolveResult result;
    for (auto _ : state) {
        result = searchLevel(level);
        benchmark::DoNotOptimize(result.moves.data());
    }
    state.counters["moves"] = static_cast<double>(result.moves.size());
    state.counters["states"] = result.states;
}

// A benchmark that fails by name says what went wrong in the results table.
void reportMissing(const std::string& name, const std::string& why) {
    benchmark::RegisterBenchmark(
        name.c_str(), [why](benchmark::State& state) { state.SkipWithError(why.c_str()); });
}

bool registerPackBenchmarks() {
    const std::vector<std::string> files = levelFilesIn("levels");
    if (files.empty()) {
        reportMissing("solvePackLevel", "no levels/*.level here: run from the repository root");
    }
    for (const std::string& file : files) {
        const std::string name = "solvePackLevel/" + std::filesystem::path(file).stem().string();
        const LevelLoad load = loadLevelFile(file);
        if (!load.level) {
            reportMissing(name, load.error);
            continue;
        }
        benchmark::RegisterBenchmark(name.c_str(), solvePackLevel, load.level->layout)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}

const bool packBenchmarksRegistered = registerPackBenchmarks();

} // namespace
