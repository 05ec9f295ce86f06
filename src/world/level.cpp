#include "world/level.h"

#include <map>

namespace {

LevelGrid gridOfSize(Cell size) {
    LevelGrid grid;
    grid.extent = size;
    return grid;
}

} // namespace

Level::Level(const LevelLayout& layout)
    : grid(gridOfSize(layout.size)),
      player(layout.playerStart, cellCorner(layout.playerStart), grid),
      startLayout(layout) {
    // The vectors never grow after this, so the grid's pointers stay valid.
    redBlocks.reserve(layout.redStarts.size());
    for (Cell start : layout.redStarts) {
        redBlocks.emplace_back(start, grid);
    }
    blueBlocks.reserve(layout.blueStarts.size());
    for (Cell start : layout.blueStarts) {
        blueBlocks.emplace_back(start, grid);
    }
    obstacles.reserve(layout.obstacles.size());
    for (Cell cell : layout.obstacles) {
        obstacles.emplace_back(cell, grid);
    }
}

Level::Level(const Level& other)
    : grid(other.grid), player(other.player), redBlocks(other.redBlocks),
      blueBlocks(other.blueBlocks), obstacles(other.obstacles), startLayout(other.startLayout) {
    adoptEntriesOf(other);
}

Level& Level::operator=(const Level& other) {
    if (this != &other) {
        grid = other.grid;
        player = other.player;
        redBlocks = other.redBlocks;
        blueBlocks = other.blueBlocks;
        obstacles = other.obstacles;
        startLayout = other.startLayout;
        adoptEntriesOf(other);
    }
    return *this;
}

void Level::adoptEntriesOf(const Level& other) {
    std::map<const GameObject*, GameObject*> counterpart;
    const auto pair = [&counterpart, this](const GameObject& theirs, GameObject& ours) {
        counterpart[&theirs] = &ours;
        ours.grid = &grid;
    };
    pair(other.player, player);
    for (std::size_t i = 0; i < redBlocks.size(); ++i) {
        pair(other.redBlocks[i], redBlocks[i]);
    }
    for (std::size_t i = 0; i < blueBlocks.size(); ++i) {
        pair(other.blueBlocks[i], blueBlocks[i]);
    }
    for (std::size_t i = 0; i < obstacles.size(); ++i) {
        pair(other.obstacles[i], obstacles[i]);
    }
    // An entry of an object that is not the level's own stays as it is.
    for (const auto& [cell, object] : other.grid.allEntries()) {
        const auto found = counterpart.find(object);
        if (found != counterpart.end()) {
            grid.insertOrAssign(cell, found->second);
        }
    }
}
