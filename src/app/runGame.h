// The game's run: start-up in order, the frame loop, shutdown.
#pragma once

#include "app/gameRun.h"
#include "app/options.h"
#include "core/assetFolder.h"

// Plays the run's levels to the end with the assets from their root; returns
// the process exit status.
int runGame(const Options& options, GameRun& run, const AssetRoot& assets);
