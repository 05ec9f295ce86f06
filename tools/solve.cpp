// Prints a shortest way from the start layout to the trophy's cell, found by
// the game's own rules: one line per move with the cells the trace line would
// show after it.
//
// Usage: solve        (exit 0 with the plan, 1 when the level cannot be won)
#include "app/gameModels.h"
#include "world/level.h"
#include "world/levelState.h"
#include "world/movement.h"
#include "world/solver.h"

#include <chrono>
#include <cstdio>
#include <glm/vec3.hpp>

namespace {

Cell goalCell() {
    return Cell{static_cast<int32_t>(trophyPosition.x), static_cast<int32_t>(trophyPosition.y),
                static_cast<int32_t>(trophyPosition.z)};
}

// Plays one move on the real objects: the player enters the middle of the
// neighbouring cell and the blocks answer the change of cell.
void playMove(Direction direction) {
    Cell target = player.cell;
    const int axis = direction > 0 ? direction - 1 : -direction - 1;
    const int delta = direction > 0 ? 1 : -1;
    (axis == 0 ? target.x : axis == 1 ? target.y : target.z) += delta;
    player.setPosition(glm::vec3(target.x + 0.5f, target.y + 0.5f, target.z + 0.5f));
    stepBlocks(player.direction);
}

void printCell(const Cell& cell) { std::printf("%d%d%d", cell.x, cell.y, cell.z); }

} // namespace

int main() {
    const LevelState start = captureLevelState();
    const auto begin = std::chrono::steady_clock::now();
    const auto plan = solveLevel(start, goalCell());
    const double milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    if (!plan) {
        std::printf("no way to the goal found (%.1f ms)\n", milliseconds);
        return 1;
    }
    std::printf("moves: %zu (found in %.1f ms)\n", plan->size(), milliseconds);
    for (std::size_t i = 0; i < plan->size(); ++i) {
        playMove((*plan)[i]);
        std::printf("%2zu  %+d  %s  player ", i + 1, (*plan)[i], directionName((*plan)[i]).c_str());
        printCell(player.cell);
        std::printf("  red ");
        printCell(redBlocks[0].cell);
        std::printf("  blue ");
        printCell(blueBlocks[0].cell);
        std::printf("\n");
    }
    restoreLevelState(start);
    return 0;
}
