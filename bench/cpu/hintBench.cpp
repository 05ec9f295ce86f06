// Hints as the game asks for them: on every pack level, from each state
// along a shortest way (the start, then after each of its moves), the hint
// search the game runs on its worker. Each benchmark reports the slowest and
// the mean answer over those states: the player waits at most the slowest.
#include "game/hint.h"
#include "world/levelFile.h"
#include "world/rules.h"
#include "world/solver.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

namespace {

// The level as it stands after each move of a shortest way, the last move
// (onto the trophy) left out: no hint is asked for on the trophy.
std::vector<Level> statesAlongShortestWay(const LevelLayout& layout) {
    Level level(layout);
    const std::optional<std::vector<Direction>> way = solveLevel(level, solverNoMoveLimit);
    std::vector<Level> states;
    if (!way) {
        return states;
    }
    for (const Direction move : *way) {
        states.push_back(level);
        movePlayerOneCell(level, move);
    }
    return states;
}

void hintsAlongTheWay(benchmark::State& state, const LevelLayout& layout) {
    const std::vector<Level> states = statesAlongShortestWay(layout);
    if (states.empty()) {
        state.SkipWithError("the level has no way to the trophy");
        return;
    }
    using Clock = std::chrono::steady_clock;
    double slowest = 0.0;
    double total = 0.0;
    for (auto _ : state) {
        for (const Level& level : states) {
            const Clock::time_point start = Clock::now();
            const Hint hint = hintFor(level);
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            benchmark::DoNotOptimize(hint);
            slowest = std::max(slowest, seconds);
            total += seconds;
        }
    }
    state.counters["statesAlongWay"] = static_cast<double>(states.size());
    state.counters["slowestHintMs"] = slowest * 1000.0;
    state.counters["meanHintMs"] =
        total * 1000.0 / (static_cast<double>(states.size()) * state.iterations());
}

bool registerHintBenchmarks() {
    for (const std::string& file : levelFilesIn("levels")) {
        const LevelLoad load = loadLevelFile(file);
        if (!load.level) {
            continue; // levelBench names the file that does not load
        }
        const std::string name =
            "hintAlongShortestWay/" + std::filesystem::path(file).stem().string();
        benchmark::RegisterBenchmark(name.c_str(), hintsAlongTheWay, load.level->layout)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}

const bool hintBenchmarksRegistered = registerHintBenchmarks();

} // namespace
