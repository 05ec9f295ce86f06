#include "game/hint.h"

#include <cmath>

namespace {

constexpr Direction up = 2;
// Below this the front is as good as vertical and its horizontal part, what
// is left of rounding, points nowhere in particular.
constexpr float leastHorizontalFront = 1e-3f;

// The horizontal axis direction (+-x or +-z) nearest to where the camera
// faces; looking straight up or down, the yaw still says where that is.
Direction aheadOf(const Camera& camera) {
    float x = camera.front.x;
    float z = camera.front.z;
    if (std::hypot(x, z) < leastHorizontalFront) {
        x = std::cos(camera.yaw * degreesToRadians);
        z = std::sin(camera.yaw * degreesToRadians);
    }
    if (std::abs(x) >= std::abs(z)) {
        return x >= 0.0f ? 1 : -1;
    }
    return z >= 0.0f ? 3 : -3;
}

// The horizontal axis direction at the right of one faced: cross(ahead, +y).
Direction rightOf(Direction ahead) {
    switch (ahead) {
    case 1:
        return 3;
    case 3:
        return -1;
    case -1:
        return -3;
    default:
        return 1;
    }
}

} // namespace

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

std::string viewWord(Direction direction, const Camera& camera) {
    if (direction == up || direction == -up) {
        return direction == up ? "up" : "down";
    }
    const Direction ahead = aheadOf(camera);
    if (direction == ahead || direction == -ahead) {
        return direction == ahead ? "ahead" : "behind";
    }
    const Direction right = rightOf(ahead);
    if (direction == right || direction == -right) {
        return direction == right ? "right" : "left";
    }
    return "";
}

std::string hintText(const Hint& hint, const Camera& camera, const KeyBindings& keys) {
    switch (hint.kind) {
    case Hint::Kind::move:
        return "Hint: " + viewWord(hint.move, camera) + " (" + directionName(hint.move) + ")";
    case Hint::Kind::noWay:
        return "No way from here: press " + keys.firstLabelOf(Action::undo) + " or " +
               keys.firstLabelOf(Action::restart);
    case Hint::Kind::tooFar:
        break;
    }
    return "No hint: the way is too long to search from here";
}
