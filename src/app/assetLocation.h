// Finds this installation's asset folder before any window opens.
#pragma once

#include "core/assetFolder.h"

#include <optional>
#include <ostream>

// The working directory, the executable's folder (from /proc/self/exe) and
// its ../share/cellquest, then the data folder the game was built to be
// installed to. When none holds the assets, the line naming them goes to
// errors and nothing is returned.
std::optional<AssetRoot> locateAssets(std::ostream& errors);
