// The game's run: start-up in order, the frame loop, shutdown.
#pragma once

#include "app/options.h"
#include "world/levelLayout.h"

// Plays the level to the end; returns the process exit status.
int runGame(const Options& options, const LevelLayout& layout);
