#include "world/solver.h"

#include "world/level.h"
#include "world/movement.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <queue>
#include <unordered_map>

namespace {

constexpr std::array<Direction, 6> moveDirections = {1, -1, 2, -2, 3, -3};

// A level state packed into two words, ten bits a cell, so that millions of
// them fit in the memory of a search: the player and the red blocks in the
// first word, the blue blocks in the second.
struct StateKey {
    uint64_t first = 0;
    uint64_t second = 0;
};

bool operator==(const StateKey& a, const StateKey& b) {
    return a.first == b.first && a.second == b.second;
}

struct StateKeyHash {
    std::size_t operator()(const StateKey& key) const {
        return std::hash<uint64_t>()(key.first * 0x9E3779B97F4A7C15ull ^ key.second);
    }
};

uint64_t packedCell(Cell cell) {
    return static_cast<uint64_t>(cell.x * 100 + cell.y * 10 + cell.z);
}

Cell unpackedCell(uint64_t bits) {
    const int32_t number = static_cast<int32_t>(bits & 1023u);
    return Cell{number / 100, number / 10 % 10, number % 10};
}

StateKey keyOf(const LevelState& state) {
    StateKey key;
    key.first = packedCell(state.player);
    for (const Cell& cell : state.red) {
        key.first = key.first << 10 | packedCell(cell);
    }
    for (const Cell& cell : state.blue) {
        key.second = key.second << 10 | packedCell(cell);
    }
    return key;
}

LevelState stateOf(StateKey key) {
    LevelState state;
    for (int i = blueBlockCount - 1; i >= 0; --i, key.second >>= 10) {
        state.blue[i] = unpackedCell(key.second);
    }
    for (int i = redBlockCount - 1; i >= 0; --i, key.first >>= 10) {
        state.red[i] = unpackedCell(key.first);
    }
    state.player = unpackedCell(key.first);
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

// Each move changes the player's distance to the goal by exactly one, so
// this never overestimates, and the first goal state taken from the queue
// lies at the end of a shortest way.
int32_t distance(Cell from, Cell to) {
    return std::abs(from.x - to.x) + std::abs(from.y - to.y) + std::abs(from.z - to.z);
}

// Everything of the level that a search touches, to be put back afterwards.
struct SavedLevel {
    LevelState state;
    Direction direction;
    glm::vec3 position;
};

SavedLevel saveLevel() {
    return SavedLevel{captureLevelState(), player.direction, player.position};
}

void putBack(const SavedLevel& saved) {
    restoreLevelState(saved.state);
    player.direction = saved.direction;
    player.position = saved.position;
}

Cell neighbour(Cell cell, Direction direction) {
    const int32_t sign = direction > 0 ? 1 : -1;
    switch (direction * sign) {
    case 1:
        cell.x += sign;
        break;
    case 2:
        cell.y += sign;
        break;
    default:
        cell.z += sign;
        break;
    }
    return cell;
}

bool isInsideLevel(Cell cell) {
    const auto inside = [](int32_t index) { return index >= 0 && index < levelSize; };
    return inside(cell.x) && inside(cell.y) && inside(cell.z);
}

// One player move as the game plays it: the player enters the next cell,
// then every block takes the step that the change of cell causes.
std::optional<LevelState> playMove(const LevelState& state, Direction direction) {
    const Cell target = neighbour(state.player, direction);
    if (!isInsideLevel(target)) {
        return std::nullopt;
    }
    restoreLevelState(state);
    if (levelGrid.count(target) != 0) {
        return std::nullopt;
    }
    player.setPosition(glm::vec3(target.x, target.y, target.z) + 0.5f);
    stepBlocks(player.direction);
    return captureLevelState();
}

std::vector<Direction> movesTo(const std::vector<SearchNode>& nodes, int32_t last) {
    std::vector<Direction> moves;
    for (int32_t node = last; nodes[node].parent >= 0; node = nodes[node].parent) {
        moves.push_back(nodes[node].lastMove);
    }
    std::reverse(moves.begin(), moves.end());
    return moves;
}

class Search {
  public:
    Search(Cell goal, int maxMoves, int maxStates)
        : goal(goal), maxMoves(maxMoves), maxStates(maxStates) {}

    std::optional<std::vector<Direction>> run(const LevelState& start) {
        reach(keyOf(start), start.player, -1, 0, 0);
        while (!queue.empty()) {
            const QueueEntry entry = queue.top();
            queue.pop();
            const SearchNode node = nodes[entry.node];
            if (entry.moves != node.moves) {
                continue; // a shorter way to this state came after it was queued
            }
            const LevelState state = stateOf(node.key);
            if (state.player == goal) {
                return movesTo(nodes, entry.node);
            }
            if (node.moves < maxMoves && !expand(state, entry.node, node.moves + 1)) {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

  private:
    bool expand(const LevelState& state, int32_t parent, int32_t moves) {
        for (Direction direction : moveDirections) {
            const std::optional<LevelState> after = playMove(state, direction);
            if (after && !reach(keyOf(*after), after->player, parent, moves, direction)) {
                return false;
            }
        }
        return true;
    }

    // False once the search holds as many states as it may.
    bool reach(StateKey key, Cell playerCell, int32_t parent, int32_t moves, Direction move) {
        const int32_t estimate = moves + distance(playerCell, goal);
        if (estimate > maxMoves) {
            return true; // cannot reach the goal in the moves left
        }
        const SearchNode node{key, parent, moves, move};
        auto found = index.find(key);
        if (found == index.end()) {
            if (static_cast<int>(nodes.size()) >= maxStates) {
                return false;
            }
            found = index.emplace(key, static_cast<int32_t>(nodes.size())).first;
            nodes.push_back(node);
        } else if (nodes[found->second].moves > moves) {
            nodes[found->second] = node;
        } else {
            return true;
        }
        queue.push(QueueEntry{estimate, moves, found->second});
        return true;
    }

    Cell goal;
    int maxMoves;
    int maxStates;
    std::vector<SearchNode> nodes;
    std::unordered_map<StateKey, int32_t, StateKeyHash> index;
    std::priority_queue<QueueEntry> queue;
};

} // namespace

std::optional<std::vector<Direction>> solveLevel(const LevelState& start, Cell goal, int maxMoves,
                                                 int maxStates) {
    // No cell outside the level can be reached. A level that could not be
    // put back as it is, or a start that does not fit it, is left untouched.
    if (maxMoves < 0 || maxStates < 1 || !isInsideLevel(goal) || !fitsLevel(captureLevelState()) ||
        !fitsLevel(start)) {
        return std::nullopt;
    }
    if (start.player == goal) {
        return std::vector<Direction>{};
    }
    const SavedLevel saved = saveLevel();
    std::optional<std::vector<Direction>> moves = Search(goal, maxMoves, maxStates).run(start);
    putBack(saved);
    return moves;
}

std::string directionName(Direction direction) {
    switch (direction) {
    case 1:
        return "+x";
    case -1:
        return "-x";
    case 2:
        return "+y";
    case -2:
        return "-y";
    case 3:
        return "+z";
    case -3:
        return "-z";
    default:
        return ""; // no change of cell has no name
    }
}
