#include "game/hint.h"

bool operator==(const Hint& a, const Hint& b) {
    return a.kind == b.kind && a.move == b.move;
}

Hint hintFrom(const SolveResult& result) {
    switch (result.outcome) {
    case SolveOutcome::solved:
        // Standing on the trophy there is nothing left to hint.
        return result.moves.empty() ? Hint{Hint::Kind::noWay, 0}
                                    : Hint{Hint::Kind::move, result.moves.front()};
    case SolveOutcome::noWay:
        return Hint{Hint::Kind::noWay, 0};
    case SolveOutcome::undecided:
        break;
    }
    return Hint{Hint::Kind::tooFar, 0};
}

Hint hintFor(const Level& level, const std::atomic<bool>* stop) {
    SolverBudget budget;
    budget.maxStates = hintStateLimit;
    budget.stop = stop;
    return hintFrom(searchLevel(level, budget));
}

std::string moveWord(Direction direction) {
    switch (direction) {
    case 1:
        return "right";
    case -1:
        return "left";
    case 2:
        return "up";
    case -2:
        return "down";
    case 3:
        return "back";
    case -3:
        return "forward";
    default:
        return "";
    }
}

std::string hintText(const Hint& hint) {
    switch (hint.kind) {
    case Hint::Kind::move:
        return "Hint: " + moveWord(hint.move) + " (" + directionName(hint.move) + ")";
    case Hint::Kind::noWay:
        return "No way from here: press Z or R";
    case Hint::Kind::tooFar:
        break;
    }
    return "No hint: the way is too long to search from here";
}

HintWorker::~HintWorker() {
    stopAndJoin();
}

void HintWorker::request(const Level& level) {
    if (searching()) {
        return;
    }
    stopAndJoin();
    stop = false;
    finished = false;
    cancelled = false;
    worker = std::thread([this, copy = Level(level)] {
        answer = hintFor(copy, &stop);
        finished.store(true, std::memory_order_release);
    });
}

std::optional<Hint> HintWorker::take() {
    if (!worker.joinable() || !finished.load(std::memory_order_acquire)) {
        return std::nullopt;
    }
    worker.join();
    if (cancelled) {
        return std::nullopt;
    }
    return answer;
}

void HintWorker::cancel() {
    if (worker.joinable()) {
        stop = true;
        cancelled = true;
    }
}

void HintWorker::stopAndJoin() {
    if (worker.joinable()) {
        stop = true;
        worker.join();
    }
}
