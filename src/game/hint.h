// Hints: the next move of a shortest way from the level as it stands, found
// by the solver on a worker thread so that no frame waits for it.
#pragma once

#include "game/camera.h"
#include "world/cell.h"
#include "world/level.h"
#include "world/solver.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The hint search holds at most this many states (about 0.06 GB): enough
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
// The line for a hint as the player sees it now: "Hint: ahead (-z)",
// "No way from here: press Z or R", ... Made afresh from the camera each
// time, so the words follow the player's turns.
std::string hintText(const Hint& hint, const Camera& camera);
// The way a move goes as seen from the camera: "ahead", "behind", "left" or
// "right" by the horizontal axis nearest to where it faces (and its right),
// whatever the pitch; +y and -y are always "up" and "down".
std::string viewWord(Direction direction, const Camera& camera);

// How a hint is searched; the search should end soon after `stop` is set.
using HintSearch = std::function<Hint(const Level&, const std::atomic<bool>* stop)>;

// One hint search at a time on a thread of its own. No call waits for a
// search: one called off runs on aside until it notices its stop, and its
// thread is joined once it has finished (or when the worker goes).
class HintWorker {
  public:
    // Searches with the solver (hintFor).
    HintWorker() : HintWorker(hintFor) {}
    explicit HintWorker(HintSearch search) : search(std::move(search)) {}
    // Every search still running is called off and waited for.
    ~HintWorker();
    HintWorker(const HintWorker&) = delete;
    HintWorker& operator=(const HintWorker&) = delete;

    // Starts a search on a copy of the level; one already under way (or
    // finished and not yet taken) goes on, and a called-off one is left to
    // end aside.
    void request(const Level& level);
    // The hint once the search has finished; nothing before, after a cancel,
    // and after the hint has been taken.
    std::optional<Hint> take();
    // Calls the running search off; its answer is never shown.
    void cancel();
    bool searching() const { return current != nullptr; }

  private:
    struct Search {
        std::thread thread;
        std::atomic<bool> stop{false};
        std::atomic<bool> finished{false};
        Hint answer;
    };

    // Joins the called-off searches that have ended, which takes no time.
    void joinFinishedAside();

    HintSearch search;
    std::unique_ptr<Search> current;
    std::vector<std::unique_ptr<Search>> calledOff;
};
