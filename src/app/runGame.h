// The game's run: start-up in order, the frame loop, shutdown.
#pragma once

#include "app/options.h"
#include "core/assetFolder.h"
#include "world/levelLayout.h"

// Plays the level to the end with the assets from their root; returns the
// process exit status.
int runGame(const Options& options, const LevelLayout& layout, const AssetRoot& assets);
