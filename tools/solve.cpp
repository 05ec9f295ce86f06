// Finds a shortest way to the trophy by the game's own rules, for the game's
// built-in room or for a level file, and checks the file's par against it.
//
// Usage: solve [FILE] [--max-moves N] [--max-states N] [--trace] [--stats]
//              [--pieces]
//   FILE            a .level file; without one, the built-in room
//   --max-moves N   look for ways of at most N moves (default: any length)
//   --max-states N  hold at most N level states (default: solverStateBudget,
//                   which keeps the search under 2 GB)
//   --trace         after the plan, how long the search took and one line per
//                   move with the trace line the game would show after it
//   --stats         last, one line "states: N  bytes per state: B  seconds: S":
//                   the states the level's own search held, the bytes its
//                   states, links, index and open list held at its end for
//                   each, and how long it took
//   --pieces        then whether each crate and block matters: one line
//                   "X Y Z crate|red|blue: does not matter" for each piece
//                   whose one change (taken out; the only block of its colour
//                   turned into a crate) leaves the shortest way as it is,
//                   "X Y Z ...: undecided" for one whose changed level ran
//                   out of budget (the same budget as the level's own search)
//
// Exit status:
//   0  "winnable in N moves: -x +y ...", and the file's par (if any) agrees
//   1  "no way to the trophy": every reachable state was searched
//   2  a malformed level file (the loader's one line on stderr) or bad usage
//   3  "undecided": a budget ran out before the search could tell
//   4  winnable, but the file's par differs from the shortest way: a level
//      with a wrong par is broken, so a pack check fails on it
// With --pieces, once the level itself is winnable at its par:
//   0  every piece matters
//   3  some changed level was undecided, so not every piece is proven
//   5  some piece does not matter (and none was undecided)
#include "world/levelFile.h"
#include "world/pieces.h"
#include "world/rules.h"
#include "world/solver.h"
#include "world/trace.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

enum ExitCode { winnable = 0, noWay = 1, badInput = 2, undecided = 3, wrongPar = 4, idlePiece = 5 };

struct Options {
    std::string file; // empty for the built-in room
    SolverBudget budget;
    bool trace = false;
    bool pieces = false;
    bool stats = false;
};

constexpr char usage[] =
    "usage: solve [FILE] [--max-moves N] [--max-states N] [--trace] [--stats] [--pieces]\n";

std::optional<int> countArgument(const std::string& text, int least) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != text.npos) {
        return std::nullopt;
    }
    const int value = std::stoi(text);
    return value >= least ? std::optional<int>(value) : std::nullopt;
}

std::optional<Options> optionsOf(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--stats") {
            options.stats = true;
        } else if (arg == "--pieces") {
            options.pieces = true;
        } else if (arg == "--max-moves" || arg == "--max-states") {
            const auto count =
                hasValue ? countArgument(args[++i], arg == "--max-moves" ? 0 : 1) : std::nullopt;
            if (!count) {
                return std::nullopt;
            }
            (arg == "--max-moves" ? options.budget.maxMoves : options.budget.maxStates) = *count;
        } else if (arg.empty() || arg[0] == '-' || !options.file.empty()) {
            return std::nullopt;
        } else {
            options.file = arg;
        }
    }
    return options;
}

std::string planText(const std::vector<Direction>& moves) {
    std::string text;
    for (Direction move : moves) {
        text += (text.empty() ? "" : " ") + directionName(move);
    }
    return text;
}

void printTrace(Level level, const SolveResult& result, double milliseconds) {
    std::printf("searched %d states in %.1f ms\n", result.states, milliseconds);
    for (std::size_t i = 0; i < result.moves.size(); ++i) {
        const Direction move = result.moves[i];
        movePlayerOneCell(level, move);
        std::printf("%2zu  %s  %s\n", i + 1, directionName(move).c_str(),
                    formatTraceLine(traceLineOf(level)).c_str());
    }
}

void printStats(const SolveResult& result, double seconds) {
    const double perState =
        result.states > 0 ? static_cast<double>(result.bytes) / result.states : 0.0;
    std::printf("states: %d  bytes per state: %.1f  seconds: %.3f\n", result.states, perState,
                seconds);
}

int report(const LevelFile& file, const SolveResult& result) {
    if (result.outcome == SolveOutcome::noWay) {
        std::printf("no way to the trophy\n");
        return noWay;
    }
    if (result.outcome == SolveOutcome::undecided) {
        std::printf("undecided\n");
        return undecided;
    }
    const int length = static_cast<int>(result.moves.size());
    std::printf("winnable in %d moves: %s\n", length, planText(result.moves).c_str());
    if (file.par && *file.par != length) {
        std::fprintf(stderr, "par is %d, but the shortest way takes %d moves\n", *file.par, length);
        return wrongPar;
    }
    return winnable;
}

// One line for each piece not proven to matter.
int reportPieces(const LevelLayout& layout, int par, const SolverBudget& budget) {
    bool anyUndecided = false;
    bool anyIdle = false;
    for (const PieceJudgement& judged : judgePieces(layout, par, budget)) {
        if (judged.verdict == PieceVerdict::matters) {
            continue;
        }
        const bool isUndecided = judged.verdict == PieceVerdict::undecided;
        anyUndecided = anyUndecided || isUndecided;
        anyIdle = anyIdle || !isUndecided;
        const Cell cell = judged.piece.cell;
        std::printf("%d %d %d %s: %s\n", cell.x, cell.y, cell.z,
                    pieceKindName(judged.piece.kind).c_str(),
                    isUndecided ? "undecided" : "does not matter");
    }
    return anyUndecided ? undecided : anyIdle ? idlePiece : winnable;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options =
        optionsOf(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
        std::fputs(usage, stderr);
        return badInput;
    }
    LevelFile file{"", "", std::nullopt, builtInLayout()};
    if (!options->file.empty()) {
        const LevelLoad load = loadLevelFile(options->file);
        if (!load.level) {
            std::fprintf(stderr, "%s\n", load.error.c_str());
            return badInput;
        }
        file = *load.level;
    }
    const Level level(file.layout);
    const auto begin = std::chrono::steady_clock::now();
    const SolveResult result = searchLevel(level, options->budget);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
    const int status = report(file, result);
    if (options->trace) {
        printTrace(level, result, took.count());
    }
    const int finalStatus =
        options->pieces && status == winnable
            ? reportPieces(file.layout, static_cast<int>(result.moves.size()), options->budget)
            : status;
    if (options->stats) {
        printStats(result, took.count() / 1000.0);
    }
    return finalStatus;
}
