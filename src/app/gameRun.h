// What one run of the game plays, read from the flags before any window
// opens: the built-in room, one level file, or a campaign with its saved
// progress; and, for levels, the player's settings.
#pragma once

#include "app/options.h"
#include "core/assetFolder.h"
#include "game/campaign.h"
#include "game/progress.h"
#include "game/settings.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>

struct GameRun {
    // Handed to the game's state when play starts.
    Campaign campaign;
    // Restart, undo, hints, help and the moves line; off for the plain room.
    bool puzzleKeys = false;
    // The title screen and the other menus (--menu).
    bool menus = false;
    // --edit: the file and the level the editor opens on.
    std::optional<CampaignLevel> edited;
    // A campaign's saved progress; null for a single level or the room.
    std::unique_ptr<ProgressFile> progressFile;
    Progress progress;
    // Read at the start of a level's or a campaign's run, where a changed
    // setting is saved; null, and the defaults, for the plain room.
    std::unique_ptr<SettingsFile> settingsFile;
    Settings settings;
    // The player's gamepad mappings beside the settings, checked; empty
    // when there are none or they were bad. Runs of levels play with a pad.
    std::string gamepadMappings = {};
    // The player's own levels ("My levels", and where "Make a level" saves),
    // in runs with menus.
    std::string myLevelsFolder = "";
};

// The run the flags ask for, or one line of error text (a malformed level:
// its loader message). Progress and settings problems are reported on
// `errors` and never stop the run.
struct GameRunLoad {
    std::optional<GameRun> run;
    std::string error;
};
// The campaign without --levels plays the pack in the assets' levels/.
GameRunLoad prepareRun(const Options& options, const AssetRoot& assets, std::ostream& errors);

// A level was just won: a campaign saves the progress with it.
void saveProgress(GameRun& run, const Progress& progress);
// "$XDG_CONFIG_HOME/cellquest/gamecontrollerdb.txt" (XDG rules as for the
// settings) when it is there and every line is a mapping, a comment or
// blank; otherwise empty, with one line on `errors` for a bad file.
std::string readGamepadMappings(const char* xdgConfigHome, const char* home, std::ostream& errors);
// The settings changed: a run of levels saves them.
void saveSettings(GameRun& run, const Settings& settings);
// --windowed and --fullscreen-desktop win; otherwise a run with menus opens
// as its settings say, and any other run in the game's own full screen.
WindowMode windowModeOf(const Options& options, const GameRun& run);
