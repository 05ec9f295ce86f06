// A shortest way through a level by the game's own rules: single-cell player
// moves along the axes, each followed by the block steps it causes. The
// search is A* over exact packed states (the player's and every block's
// cell; crates never move), played on those states directly, the way left
// estimated by the player's shortest way around the crates as if no block
// stood anywhere; states that cannot reach the goal within the move budget
// by that estimate are dropped.
#pragma once

#include "world/cell.h"
#include "world/level.h"
#include "world/levelState.h"

#include <atomic>
#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

// A search holds the packed state, a four-byte link and its place in the
// index: under 60 bytes a state even with the player and 32 blocks in a
// room of 1000 cells, far less in small rooms with few blocks.
// The default of solveLevel, which the game's driver calls while it plays:
// about 0.06 GB at most, and an answer within seconds either way.
constexpr int solverStateLimit = 1000000;
// The default of searchLevel, for tools that may take their time: about
// 1.7 GB at most for the most crowded room, below 2 GB.
constexpr int solverStateBudget = 30000000;
// No move budget: only the states bound the search.
constexpr int solverNoMoveLimit = std::numeric_limits<int>::max();

struct SolverBudget {
    // Ways longer than this are not looked for.
    int maxMoves = solverNoMoveLimit;
    // How many distinct level states the search may hold: the block layouts
    // multiply fast, and a level with no way through would otherwise fill
    // the memory.
    int maxStates = solverStateBudget;
    // When set, the search gives up (undecided) soon after it turns true:
    // a search on another thread can be called off.
    const std::atomic<bool>* stop = nullptr;
};

enum class SolveOutcome {
    // moves holds a shortest way.
    solved,
    // Every state reachable from the start was searched and none has the
    // player in the goal cell; also when the start does not fit the level or
    // the goal lies outside it.
    noWay,
    // A budget ran out first: a way may still exist.
    undecided,
};

struct SolveResult {
    SolveOutcome outcome = SolveOutcome::undecided;
    std::vector<Direction> moves;
    // Distinct states the search held.
    int states = 0;
    // Bytes the search's states held at its end: packed states, links and
    // the index.
    std::size_t bytes = 0;
};

SolveResult searchLevel(const Level& level, const LevelState& start, Cell goal,
                        const SolverBudget& budget = {});
// The same from the level as it stands to its trophy.
SolveResult searchLevel(const Level& level, const SolverBudget& budget = {});

// Shortest list of direction codes that takes the player from the state to
// the goal cell, or nothing when there is none within maxMoves, when the
// search meets maxStates first, or when the start does not fit the level.
std::optional<std::vector<Direction>> solveLevel(const Level& level, const LevelState& start,
                                                 Cell goal, int maxMoves = 60,
                                                 int maxStates = solverStateLimit);
// The same from the level as it stands to its trophy.
std::optional<std::vector<Direction>> solveLevel(const Level& level, int maxMoves = 60,
                                                 int maxStates = solverStateLimit);
