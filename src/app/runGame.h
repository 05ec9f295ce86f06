// The game's run: start-up in order, the frame loop, shutdown.
#pragma once

#include "app/gameRun.h"
#include "app/options.h"

// Plays the run's levels to the end; returns the process exit status.
int runGame(const Options& options, GameRun& run);
