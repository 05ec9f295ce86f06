// A level as a value: its grid and every object in it, built from a layout
// in the order grid, player, red blocks, blue blocks, crates. A copy is a
// whole second level with its own grid, so a search or a test can play on
// it and leave the original as it was.
#pragma once

#include "world/gameObject.h"
#include "world/levelGrid.h"
#include "world/levelLayout.h"

#include <vector>

class Level {
  public:
    explicit Level(const LevelLayout& layout = builtInLayout());
    Level(const Level& other);
    Level& operator=(const Level& other);
    ~Level() = default;

    const LevelLayout& layout() const { return startLayout; }
    // The cell of the trophy: reaching it wins.
    Cell goal() const { return startLayout.trophyCell; }

    LevelGrid grid;
    Player player;
    std::vector<RedBlock> redBlocks;
    std::vector<BlueBlock> blueBlocks;
    std::vector<GameObject> obstacles;

  private:
    // Points every object at this level's grid and every grid entry at this
    // level's object in the place the other level's entry pointed to.
    void adoptEntriesOf(const Level& other);

    LevelLayout startLayout;
};
