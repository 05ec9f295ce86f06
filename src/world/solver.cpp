#include "world/solver.h"

#include "world/rules.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <queue>
#include <unordered_set>

namespace {

// Movers packed ten bits a cell, six cells a word: room for the player and
// 35 blocks, and millions of states fit in the memory of a search.
constexpr std::size_t keyWords = 6;
constexpr std::size_t cellsPerWord = 6;
constexpr std::size_t bitsPerCell = 10;

struct StateKey {
    std::array<uint64_t, keyWords> words{};
};

bool operator==(const StateKey& a, const StateKey& b) {
    return a.words == b.words;
}

struct StateKeyHash {
    std::size_t operator()(const StateKey& key) const {
        uint64_t hash = 0;
        for (uint64_t word : key.words) {
            hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
        }
        return static_cast<std::size_t>(hash ^ hash >> 29);
    }
};

// Each index is below ten (a level is at most 10 cells a side).
uint64_t packedCell(Cell cell) {
    return static_cast<uint64_t>(cell.x * 100 + cell.y * 10 + cell.z);
}

Cell unpackedCell(uint64_t bits) {
    const int32_t number = static_cast<int32_t>(bits & 1023u);
    return Cell{number / 100, number / 10 % 10, number % 10};
}

std::vector<Cell> moversOf(const LevelState& state) {
    std::vector<Cell> cells{state.player};
    cells.insert(cells.end(), state.red.begin(), state.red.end());
    cells.insert(cells.end(), state.blue.begin(), state.blue.end());
    return cells;
}

StateKey keyOf(const LevelState& state) {
    StateKey key;
    const std::vector<Cell> cells = moversOf(state);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        key.words[i / cellsPerWord] |= packedCell(cells[i]) << (i % cellsPerWord * bitsPerCell);
    }
    return key;
}

// The shape (how many red and blue blocks) comes from the level.
LevelState stateOf(const StateKey& key, const LevelState& shape) {
    LevelState state = shape;
    const auto cellAt = [&key](std::size_t i) {
        return unpackedCell(key.words[i / cellsPerWord] >> (i % cellsPerWord * bitsPerCell));
    };
    state.player = cellAt(0);
    for (std::size_t i = 0; i < state.red.size(); ++i) {
        state.red[i] = cellAt(1 + i);
    }
    for (std::size_t i = 0; i < state.blue.size(); ++i) {
        state.blue[i] = cellAt(1 + state.red.size() + i);
    }
    return state;
}

struct SearchNode {
    StateKey key;
    int32_t parent;
    int32_t moves;
    Direction lastMove;
};

// Ordered by the least estimated length first; among equals the one with
// more moves made, which is nearer the goal.
struct QueueEntry {
    int32_t estimate;
    int32_t moves;
    int32_t node;
};

bool operator<(const QueueEntry& a, const QueueEntry& b) {
    return a.estimate != b.estimate ? a.estimate > b.estimate : a.moves < b.moves;
}

// The player's fewest moves from each cell to the goal if no block stood
// anywhere, by packed cell. Blocks only ever take cells away, and a move
// changes this by at most one, so it never overestimates and the first goal
// state taken from the queue lies at the end of a shortest way. Cells the
// crates cut off from the goal have none: no way leads on from them.
constexpr int32_t noDistance = -1;
using GoalDistances = std::array<int32_t, 1000>;

GoalDistances crateDistancesTo(const Level& level, Cell goal) {
    GoalDistances steps;
    steps.fill(noDistance);
    std::array<bool, 1000> isCrate{};
    for (const GameObject& crate : level.obstacles) {
        // A crate whose entry a block took stops nothing once the block leaves.
        if (level.grid.isInside(crate.cell) && level.grid.at(crate.cell) == &crate) {
            isCrate[packedCell(crate.cell)] = true;
        }
    }
    if (isCrate[packedCell(goal)]) {
        return steps;
    }
    std::deque<Cell> frontier{goal};
    steps[packedCell(goal)] = 0;
    for (; !frontier.empty(); frontier.pop_front()) {
        const Cell cell = frontier.front();
        for (Direction direction : moveDirections) {
            const Cell next = neighbourOf(cell, direction);
            if (level.grid.isInside(next) && !isCrate[packedCell(next)] &&
                steps[packedCell(next)] == noDistance) {
                steps[packedCell(next)] = steps[packedCell(cell)] + 1;
                frontier.push_back(next);
            }
        }
    }
    return steps;
}

// The index holds node numbers and looks their keys up in the nodes, so each
// key is stored once. A deque never moves its nodes, so the search's peak
// memory has no moment with two copies of them.
using SearchNodes = std::deque<SearchNode>;

struct NodeKeyHash {
    const SearchNodes* nodes;
    std::size_t operator()(int32_t node) const { return StateKeyHash()((*nodes)[node].key); }
};

struct SameNodeKey {
    const SearchNodes* nodes;
    bool operator()(int32_t a, int32_t b) const { return (*nodes)[a].key == (*nodes)[b].key; }
};

// Puts the search's level into a state the search reached before, moving
// only the movers whose cells differ: restoring all of them, checks
// included, took most of a search's time. Every such state came from the
// game's own moves, so each fits the level.
void returnMoversTo(Level& level, const LevelState& state) {
    std::vector<std::pair<GameObject*, Cell>> moving;
    const auto noteMover = [&moving](GameObject& mover, Cell cell) {
        if (mover.cell != cell) {
            moving.emplace_back(&mover, cell);
        }
    };
    noteMover(level.player, state.player);
    for (std::size_t i = 0; i < level.redBlocks.size(); ++i) {
        noteMover(level.redBlocks[i], state.red[i]);
    }
    for (std::size_t i = 0; i < level.blueBlocks.size(); ++i) {
        noteMover(level.blueBlocks[i], state.blue[i]);
    }
    // All leave first, so no mover's new cell is taken by an old one; an
    // entry another object holds stays.
    for (const auto& [mover, cell] : moving) {
        if (level.grid.at(mover->cell) == mover) {
            level.grid.erase(mover->cell);
        }
    }
    for (const auto& [mover, cell] : moving) {
        mover->cell = cell;
        level.grid.insertOrAssign(cell, mover);
    }
}

// One player move as the game plays it, on the search's own level.
std::optional<LevelState> playMove(Level& level, const LevelState& state, Direction direction) {
    returnMoversTo(level, state);
    if (!movePlayerOneCell(level, direction)) {
        return std::nullopt;
    }
    return captureLevelState(level);
}

class Search {
  public:
    Search(const Level& level, Cell goal, const SolverBudget& budget)
        : level(level), goal(goal), budget(budget), toGoal(crateDistancesTo(level, goal)),
          index(0, NodeKeyHash{&nodes}, SameNodeKey{&nodes}) {}

    SolveResult run(const LevelState& start) {
        shape = start;
        reach(keyOf(start), start.player, -1, 0, 0);
        const SolveOutcome outcome = search();
        SolveResult result{outcome, {}, static_cast<int>(index.size())};
        if (outcome == SolveOutcome::solved) {
            result.moves = movesTo(goalNode);
        }
        return result;
    }

  private:
    SolveOutcome search() {
        while (!queue.empty()) {
            if (stopRequested()) {
                return SolveOutcome::undecided;
            }
            const QueueEntry entry = queue.top();
            queue.pop();
            const SearchNode node = nodes[entry.node];
            if (entry.moves != node.moves) {
                continue; // a shorter way to this state came after it was queued
            }
            const LevelState state = stateOf(node.key, shape);
            if (state.player == goal) {
                goalNode = entry.node;
                return SolveOutcome::solved;
            }
            if (!expand(state, entry.node, node.moves + 1)) {
                return SolveOutcome::undecided;
            }
        }
        return cutByMoves ? SolveOutcome::undecided : SolveOutcome::noWay;
    }

    bool expand(const LevelState& state, int32_t parent, int32_t moves) {
        for (Direction direction : moveDirections) {
            const std::optional<LevelState> after = playMove(level, state, direction);
            if (after && !reach(keyOf(*after), after->player, parent, moves, direction)) {
                return false;
            }
        }
        return true;
    }

    // False once the search holds as many states as it may.
    bool reach(StateKey key, Cell playerCell, int32_t parent, int32_t moves, Direction move) {
        const int32_t distance = toGoal[packedCell(playerCell)];
        if (distance == noDistance) {
            return true; // nothing the blocks do opens a way from here
        }
        const int32_t estimate = moves + distance;
        nodes.push_back(SearchNode{key, parent, moves, move});
        const int32_t added = static_cast<int32_t>(nodes.size() - 1);
        if (estimate > budget.maxMoves) {
            // Not cut off when the state was already reached in fewer moves.
            cutByMoves = cutByMoves || index.count(added) == 0;
            nodes.pop_back();
            return true;
        }
        const auto [found, isNew] = index.insert(added);
        if (isNew && static_cast<int>(index.size()) > budget.maxStates) {
            index.erase(found);
            return false;
        }
        if (!isNew) {
            nodes.pop_back();
            if (nodes[*found].moves <= moves) {
                return true;
            }
            nodes[*found] = SearchNode{key, parent, moves, move};
        }
        queue.push(QueueEntry{estimate, moves, *found});
        return true;
    }

    bool stopRequested() const {
        return budget.stop != nullptr && budget.stop->load(std::memory_order_relaxed);
    }

    std::vector<Direction> movesTo(int32_t last) const {
        std::vector<Direction> moves;
        for (int32_t node = last; nodes[node].parent >= 0; node = nodes[node].parent) {
            moves.push_back(nodes[node].lastMove);
        }
        std::reverse(moves.begin(), moves.end());
        return moves;
    }

    Level level;
    LevelState shape;
    Cell goal;
    SolverBudget budget;
    GoalDistances toGoal;
    SearchNodes nodes;
    std::unordered_set<int32_t, NodeKeyHash, SameNodeKey> index;
    std::priority_queue<QueueEntry> queue;
    bool cutByMoves = false;
    int32_t goalNode = -1;
};

} // namespace

SolveResult searchLevel(const Level& level, const LevelState& start, Cell goal,
                        const SolverBudget& budget) {
    // No cell outside the level can be reached, and a start that does not
    // fit the level cannot be played.
    if (!level.grid.isInside(goal) || !fitsLevel(level, start)) {
        return SolveResult{SolveOutcome::noWay, {}, 0};
    }
    if (budget.maxMoves < 0 || budget.maxStates < 1) {
        return SolveResult{};
    }
    if (start.player == goal) {
        return SolveResult{SolveOutcome::solved, {}, 1};
    }
    return Search(level, goal, budget).run(start);
}

SolveResult searchLevel(const Level& level, const SolverBudget& budget) {
    return searchLevel(level, captureLevelState(level), level.goal(), budget);
}

std::optional<std::vector<Direction>> solveLevel(const Level& level, const LevelState& start,
                                                 Cell goal, int maxMoves, int maxStates) {
    SolveResult result = searchLevel(level, start, goal, SolverBudget{maxMoves, maxStates});
    if (result.outcome != SolveOutcome::solved) {
        return std::nullopt;
    }
    return std::move(result.moves);
}

std::optional<std::vector<Direction>> solveLevel(const Level& level, int maxMoves, int maxStates) {
    return solveLevel(level, captureLevelState(level), level.goal(), maxMoves, maxStates);
}
