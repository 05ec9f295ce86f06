// Command-line flags beyond the plain game: none are needed to play.
#pragma once

#include "platform/window.h"

#include <string>

// The file name that stands for standard input.
constexpr const char* standardInputName = "-";

struct Options {
    WindowMode windowMode = WindowMode::fullScreen;
    bool help = false;
    // A level file to play instead of the built-in room; empty for the room,
    // standardInputName for a level read from standard input.
    std::string levelFile;
    // Play the level files of a folder in name order, with saved progress.
    bool campaign = false;
    // The campaign's folder; empty for the game's own pack in levels/.
    std::string levelsFolder;
    // The title screen, the level select, pause and settings: the campaign
    // with menus.
    bool menu = false;
    // --edit: the level editor on this file, new or existing.
    std::string editFile;
    // --windowed or --fullscreen-desktop was given: it wins over the
    // settings' display mode.
    bool windowModeGiven = false;
    std::string error; // non-empty when the arguments could not be read
};

Options parseOptions(int argc, const char* const* argv);
std::string usageText(const char* programName);
