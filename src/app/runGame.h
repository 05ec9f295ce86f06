// The game's run: start-up in order, the frame loop, shutdown.
#pragma once

#include "app/options.h"

// Returns the process exit status.
int runGame(const Options& options);
