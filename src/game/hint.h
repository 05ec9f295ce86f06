// Hints: the next move of a shortest way from the level as it stands, found
// by the solver on a worker thread so that no frame waits for it.
#pragma once

#include "game/asideWorker.h"
#include "game/bindings.h"
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
// With no way left it names the first key of undo and of restart.
std::string hintText(const Hint& hint, const Camera& camera,
                     const KeyBindings& keys = KeyBindings::defaults());
// The way a move goes as seen from the camera: "ahead", "behind", "left" or
// "right" by the horizontal axis nearest to where it faces (and its right),
// whatever the pitch; +y and -y are always "up" and "down".
std::string viewWord(Direction direction, const Camera& camera);

// One hint search at a time on a thread of its own (see AsideWorker): no
// call waits for a search, and a called-off one ends aside.
class HintWorker : public AsideWorker<Level, Hint> {
  public:
    // Searches with the solver (hintFor).
    HintWorker() : AsideWorker(hintFor) {}
    using AsideWorker::AsideWorker;
};
// How a hint is searched; the search should end soon after `stop` is set.
using HintSearch = HintWorker::Search;
