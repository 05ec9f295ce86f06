// The player's own levels: the ".level" files they made or were given, kept
// in "$XDG_DATA_HOME/cellquest/levels" (or "~/.local/share/cellquest/levels")
// and offered as "My levels" in the menus, where they play like the pack.
#pragma once

#include "game/campaign.h"

#include <string>
#include <vector>

// The names of the player's levels in the saved progress carry this prefix,
// so none is taken for a pack level of the same file name.
constexpr const char* myLevelNamePrefix = "mine:";

struct MyLevels {
    // Empty when neither XDG_DATA_HOME nor HOME names a folder.
    std::string folder;
    // Every level of the folder that loads, by file name.
    std::vector<CampaignLevel> levels;
    // The loader's message for each file that does not load.
    std::vector<std::string> problems;
};

// The folder of the player's levels for these environment values (null when
// unset); empty when neither gives a folder.
std::string myLevelsFolder(const char* xdgDataHome, const char* home);

// Reads the folder again: a level made since the last reading is there, a
// malformed one gives its message and hides none of the others. A missing
// folder simply has no levels.
void reloadMyLevels(MyLevels& mine);
