// Hints: the next move of a shortest way from the level as it stands, found
// by the solver on a worker thread so that no frame waits for it.
#pragma once

#include "world/cell.h"
#include "world/level.h"
#include "world/solver.h"

#include <atomic>
#include <optional>
#include <string>
#include <thread>

// The hint search holds at most this many states (about 0.12 GB): enough
// for every pack level from any state, and an answer within seconds.
constexpr int hintStateLimit = solverStateLimit;

struct Hint {
    enum class Kind {
        move,   // `move` is the first move of a shortest way
        noWay,  // the search proved that no way is left
        tooFar, // the search gave up before it found a way
    };
    Kind kind = Kind::tooFar;
    Direction move = 0;
};

bool operator==(const Hint& a, const Hint& b);

// A search's answer as a hint.
Hint hintFrom(const SolveResult& result);
// The hint for the level as it stands, searched on this thread.
Hint hintFor(const Level& level, const std::atomic<bool>* stop = nullptr);
// "Hint: up (+y)", "No way from here: press Z or R", ...
std::string hintText(const Hint& hint);
// The words for a move as the player sees the room from its start:
// "right", "left", "up", "down", "back", "forward".
std::string moveWord(Direction direction);

// One hint search at a time on a thread of its own.
class HintWorker {
  public:
    HintWorker() = default;
    // A search still running is called off and waited for.
    ~HintWorker();
    HintWorker(const HintWorker&) = delete;
    HintWorker& operator=(const HintWorker&) = delete;

    // Starts a search on a copy of the level; one already under way for the
    // same request goes on, and a cancelled one is replaced.
    void request(const Level& level);
    // The hint once the search has finished; nothing before, after a cancel,
    // and after the hint has been taken.
    std::optional<Hint> take();
    // Calls the running search off; its answer is never shown.
    void cancel();
    bool searching() const { return worker.joinable() && !cancelled; }

  private:
    void stopAndJoin();

    std::thread worker;
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    bool cancelled = false;
    Hint answer;
};
