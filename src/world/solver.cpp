#include "world/solver.h"

#include "world/packedState.h"
#include "world/stateTable.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <limits>

namespace {

// Which cells are taken, one bit a cell number.
using Occupancy = std::array<uint64_t, packableCells / 64>;

bool isTaken(const Occupancy& taken, uint16_t cell) {
    return ((taken[cell >> 6] >> (cell & 63u)) & 1u) != 0;
}

void take(Occupancy& taken, uint16_t cell) {
    taken[cell >> 6] |= uint64_t{1} << (cell & 63u);
}

void release(Occupancy& taken, uint16_t cell) {
    taken[cell >> 6] &= ~(uint64_t{1} << (cell & 63u));
}

constexpr int moveCount = 6;
constexpr int32_t noDistance = -1;

// The room as the search plays it: every cell's neighbour in each of
// moveDirections, the cells whose grid entries never move (the crates, and
// any entry that is not a mover's own), and the player's fewest moves from
// each cell to the goal if no block stood anywhere.
struct Room {
    Room(const Level& level, const StatePacking& packing, Cell goal);

    // neighbours[move * cells + cell]; noCellNumber beyond the walls.
    std::vector<uint16_t> neighbours;
    Occupancy fixed{};
    std::vector<int32_t> toGoal;
};

bool isOwnEntry(const Level& level, Cell cell, const GameObject* object) {
    const auto isThis = [cell, object](const GameObject& mover) {
        return &mover == object && mover.cell == cell;
    };
    return isThis(level.player) ||
           std::any_of(level.redBlocks.begin(), level.redBlocks.end(), isThis) ||
           std::any_of(level.blueBlocks.begin(), level.blueBlocks.end(), isThis);
}

// Blocks only ever take cells away and a move changes the distance by at
// most one, so it never overestimates the moves left: a state farther than
// the move budget allows can be dropped, and so can a state whose player the
// crates cut off from the goal, since no way leads on from it.
std::vector<int32_t> distancesTo(uint16_t goal, const StatePacking& packing, const Room& room) {
    std::vector<int32_t> steps(static_cast<std::size_t>(packing.cellCount()), noDistance);
    if (isTaken(room.fixed, goal)) {
        return steps;
    }
    std::deque<uint16_t> frontier{goal};
    steps[goal] = 0;
    for (; !frontier.empty(); frontier.pop_front()) {
        const uint16_t cell = frontier.front();
        for (int move = 0; move < moveCount; ++move) {
            const uint16_t next = room.neighbours[move * packing.cellCount() + cell];
            if (next != noCellNumber && !isTaken(room.fixed, next) && steps[next] == noDistance) {
                steps[next] = steps[cell] + 1;
                frontier.push_back(next);
            }
        }
    }
    return steps;
}

Room::Room(const Level& level, const StatePacking& packing, Cell goal) {
    const int cells = packing.cellCount();
    neighbours.resize(static_cast<std::size_t>(moveCount * cells));
    for (int move = 0; move < moveCount; ++move) {
        for (int cell = 0; cell < cells; ++cell) {
            neighbours[move * cells + cell] =
                packing.neighbourOf(static_cast<uint16_t>(cell), moveDirections[move]);
        }
    }
    for (const auto& [cell, object] : level.grid.allEntries()) {
        if (level.grid.isInside(cell) && !isOwnEntry(level, cell, object)) {
            take(fixed, packing.numberOf(cell));
        }
    }
    toGoal = distancesTo(packing.numberOf(goal), packing, *this);
}

// The states waiting to be expanded, by their estimated length f (moves
// made and the player's distance left) and their moves made g: the least f
// first, among equals the most moves made (nearer the goal), and the last
// one added first. Every move changes the distance by exactly one, so a
// child's f is its parent's or two more: only two f levels ever wait.
class OpenList {
  public:
    void push(int32_t f, int32_t g, uint32_t entry) {
        if (static_cast<std::size_t>(f) >= levels.size()) {
            levels.resize(static_cast<std::size_t>(f) + 1);
        }
        auto& level = levels[f];
        if (static_cast<std::size_t>(g) >= level.size()) {
            level.resize(static_cast<std::size_t>(g) + 1);
        }
        level[g].push_back(entry);
        if (f == lowestF) {
            highestG = std::max(highestG, g);
        }
    }

    // False when nothing waits.
    bool pop(int32_t& f, int32_t& g, uint32_t& entry) {
        for (; static_cast<std::size_t>(lowestF) < levels.size(); nextLevel()) {
            auto& level = levels[lowestF];
            highestG = std::min(highestG, static_cast<int32_t>(level.size()) - 1);
            for (; highestG >= 0; --highestG) {
                if (!level[highestG].empty()) {
                    f = lowestF;
                    g = highestG;
                    entry = level[g].front();
                    level[g].pop_front();
                    return true;
                }
            }
        }
        return false;
    }

    // A deque frees its blocks as it empties, in blocks of 512 bytes.
    std::size_t bytesHeld() const {
        std::size_t bytes = 0;
        for (const auto& level : levels) {
            for (const auto& waiting : level) {
                bytes += (waiting.size() * sizeof(uint32_t) / 512 + 1) * 512;
            }
        }
        return bytes;
    }

  private:
    void nextLevel() {
        levels[lowestF] = {};
        ++lowestF;
        highestG = std::numeric_limits<int32_t>::max();
    }

    std::vector<std::vector<std::deque<uint32_t>>> levels;
    int32_t lowestF = 0;
    int32_t highestG = std::numeric_limits<int32_t>::max();
};

// A* over packed states, the moves tried in moveDirections order. The
// estimate is consistent, so a state taken from the open list has its
// fewest moves and is closed for good, and the first goal state taken ends a
// shortest way. A waiting state found again in fewer moves can only have
// waited at the f two above the one being expanded: one mark of its link
// tells the two f levels apart, so no state stores its moves.
class Search {
  public:
    Search(const Level& level, const LevelState& start, Cell goal, const SolverBudget& budget)
        : packing(level.grid.extent, start.red.size(), start.blue.size()),
          room(level, packing, goal), goal(packing.numberOf(goal)), budget(budget),
          table(packing.keyBytes()), keys(packing.keyBytes() * moveCount),
          cells(packing.moverCount()), next(packing.moverCount()) {}

    SolveResult run(const LevelState& start) {
        const std::vector<uint8_t> startKey = packing.packed(start);
        packing.unpack(startKey.data(), next.data());
        if (prepare(children[0], StateTable::noMove, 0)) {
            reach(0, children[0], 0, 0);
        }
        const SolveOutcome outcome = search();
        SolveResult result;
        result.outcome = outcome;
        result.states = static_cast<int>(table.size());
        result.bytes = table.bytesHeld() + open.bytesHeld();
        if (outcome == SolveOutcome::solved) {
            result.moves = movesTo(goalEntry);
        }
        return result;
    }

  private:
    static constexpr int closedMark = 0;
    static constexpr int levelMark = 1;

    // What adding one state ends in: nothing yet, or out of states.
    enum class Step { goOn, outOfStates };

    SolveOutcome search() {
        int32_t f = 0;
        int32_t g = 0;
        uint32_t entry = 0;
        for (uint64_t taken = 0; open.pop(f, g, entry); ++taken) {
            // Often enough to call a search off within milliseconds.
            if (taken % 256 == 0 && stopRequested()) {
                return SolveOutcome::undecided;
            }
            if (table.mark(entry, closedMark)) {
                continue; // it waited here before a shorter way reached it
            }
            table.setMark(entry, closedMark, true);
            if (expand(entry, f, g) == Step::outOfStates) {
                return SolveOutcome::undecided;
            }
            if (goalEntry != noEntry) {
                return SolveOutcome::solved;
            }
        }
        return cutByMoves ? SolveOutcome::undecided : SolveOutcome::noWay;
    }

    Step expand(uint32_t entry, int32_t f, int32_t g) {
        packing.unpack(table.keyAt(entry), cells.data());
        if (cells[0] == goal) {
            goalEntry = entry;
            return Step::goOn;
        }
        taken = room.fixed;
        for (uint16_t cell : cells) {
            take(taken, cell);
        }
        // Every child first, each one's place in the index fetched ahead,
        // then each added in the order of the moves.
        std::size_t count = 0;
        for (int move = 0; move < moveCount; ++move) {
            if (play(move) && prepare(children[count], static_cast<uint32_t>(move), count)) {
                ++count;
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (reach(entry, children[i], g + 1, f) == Step::outOfStates) {
                return Step::outOfStates;
            }
        }
        return Step::goOn;
    }

    // The move from `cells` into `next` by the game's rules: the player
    // steps into a free cell, then each red block steps with the move and
    // each blue block against it, in level order, each only into a free
    // cell inside the room; each sees the cells the earlier ones left.
    bool play(int move) {
        const uint16_t* ahead = &room.neighbours[move * packing.cellCount()];
        const uint16_t* behind = &room.neighbours[(move ^ 1) * packing.cellCount()];
        const uint16_t target = ahead[cells[0]];
        if (target == noCellNumber || isTaken(taken, target)) {
            return false;
        }
        next = cells;
        stepped = taken;
        stepTo(0, target);
        const std::size_t firstBlue = 1 + packing.redCount();
        for (std::size_t i = 1; i < next.size(); ++i) {
            const uint16_t to = (i < firstBlue ? ahead : behind)[next[i]];
            if (to != noCellNumber && !isTaken(stepped, to)) {
                stepTo(i, to);
            }
        }
        return true;
    }

    void stepTo(std::size_t mover, uint16_t cell) {
        release(stepped, next[mover]);
        take(stepped, cell);
        next[mover] = cell;
    }

    // Which of the two waiting f levels an f is.
    static bool levelOf(int32_t f) { return (f / 2) % 2 != 0; }

    // A state one move on, packed into keys from `slot`.
    struct Child {
        uint32_t move;
        int32_t distance;
        uint64_t hash;
        uint8_t* key;
    };

    // The state in `next` as a child, unless the crates cut its player off
    // from the goal.
    bool prepare(Child& child, uint32_t move, std::size_t slot) {
        const int32_t distance = room.toGoal[next[0]];
        if (distance == noDistance) {
            return false;
        }
        uint8_t* key = &keys[slot * packing.keyBytes()];
        packing.pack(next.data(), key);
        const uint64_t hash = StateTable::hashOf(key, packing.keyBytes());
        table.prefetch(hash);
        child = Child{move, distance, hash, key};
        return true;
    }

    // The child, reached in g moves from an entry whose f is parentF: added
    // or found shorter, unless it cannot lead to the goal within the move
    // budget.
    Step reach(uint32_t from, const Child& child, int32_t g, int32_t parentF) {
        const int32_t f = g + child.distance;
        const uint32_t move = child.move;
        const int64_t held = table.find(child.key, child.hash);
        if (f > budget.maxMoves) {
            cutByMoves = cutByMoves || held < 0;
            return Step::goOn;
        }
        if (held >= 0) {
            const uint32_t entry = static_cast<uint32_t>(held);
            const bool waitsHigher = !table.mark(entry, closedMark) && f == parentF &&
                                     table.mark(entry, levelMark) != levelOf(f);
            if (waitsHigher) {
                waitAgain(entry, from, move, f, g);
            }
            return Step::goOn;
        }
        if (table.size() >= stateLimit()) {
            return Step::outOfStates;
        }
        waitAgain(table.add(child.key, child.hash), from, move, f, g);
        return Step::goOn;
    }

    void waitAgain(uint32_t entry, uint32_t from, uint32_t move, int32_t f, int32_t g) {
        table.setFrom(entry, from, move);
        table.setMark(entry, levelMark, levelOf(f));
        open.push(f, g, entry);
    }

    std::size_t stateLimit() const {
        return std::min(static_cast<std::size_t>(budget.maxStates),
                        std::size_t{StateTable::entryLimit});
    }

    bool stopRequested() const {
        return budget.stop != nullptr && budget.stop->load(std::memory_order_relaxed);
    }

    std::vector<Direction> movesTo(uint32_t last) const {
        std::vector<Direction> moves;
        for (uint32_t entry = last; table.moveOf(entry) != StateTable::noMove;
             entry = table.fromOf(entry)) {
            moves.push_back(moveDirections[table.moveOf(entry)]);
        }
        std::reverse(moves.begin(), moves.end());
        return moves;
    }

    static constexpr uint32_t noEntry = std::numeric_limits<uint32_t>::max();

    StatePacking packing;
    Room room;
    uint16_t goal;
    SolverBudget budget;
    StateTable table;
    OpenList open;
    std::array<Child, moveCount> children{};
    std::vector<uint8_t> keys;
    // The state being expanded and the state one move on, with their
    // occupancy (fixed cells and movers).
    std::vector<uint16_t> cells;
    std::vector<uint16_t> next;
    Occupancy taken{};
    Occupancy stepped{};
    bool cutByMoves = false;
    uint32_t goalEntry = noEntry;
};

SolveResult resultOf(SolveOutcome outcome, int states) {
    SolveResult result;
    result.outcome = outcome;
    result.states = states;
    return result;
}

} // namespace

SolveResult searchLevel(const Level& level, const LevelState& start, Cell goal,
                        const SolverBudget& budget) {
    // No cell outside the level can be reached, and a start that does not
    // fit the level cannot be played.
    if (!level.grid.isInside(goal) || !fitsLevel(level, start)) {
        return resultOf(SolveOutcome::noWay, 0);
    }
    if (budget.maxMoves < 0 || budget.maxStates < 1 || !isPackable(level.grid.extent)) {
        return resultOf(SolveOutcome::undecided, 0);
    }
    if (start.player == goal) {
        return resultOf(SolveOutcome::solved, 1);
    }
    return Search(level, start, goal, budget).run(start);
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
