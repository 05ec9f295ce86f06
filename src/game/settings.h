// The player's settings, kept in "$XDG_CONFIG_HOME/cellquest/settings.toml",
// or "~/.config/cellquest/settings.toml" when XDG_CONFIG_HOME is unset or
// relative. A TOML file a player may edit by hand:
//
//   [mouse]
//   sensitivity = 1.0   # 0.1 to 10, times the look's 0.05 degrees a pixel
//   invert_y = false
//   [view]
//   field_of_view = 45.0   # the zoom at start, 1 to 45 degrees
//   [display]
//   mode = 'desktop'   # or 'window'
//   [blocks]
//   marks = true
//   [hud]
//   moves_line = true
//   [sound]
//   master = 80   # each 0 to 100
//   effects = 80
//   music = 50
//   [keys]   # an action's key, or several: the key names of keys.h
//   forward = "W"
//   undo = ["Z", "BACKSPACE"]
//
// Read once at the start of a run, and only by runs of levels; the plain
// room plays as designed whatever the file says.
#pragma once

#include "game/bindings.h"

#include <ostream>
#include <string>
#include <vector>

enum class DisplayMode { desktop, window };

struct Settings {
    // Times the look's 0.05 degrees of turn a pixel of mouse motion.
    double mouseSensitivity = 1.0;
    // Mouse up looks down.
    bool invertY = false;
    // The camera's zoom at start, in degrees.
    double fieldOfView = 45.0;
    DisplayMode displayMode = DisplayMode::desktop;
    bool blockMarks = true;
    // "Level 2/9  moves 5  par 7" in the overlay.
    bool movesLine = true;
    int soundMaster = 80;
    int soundEffects = 80;
    int soundMusic = 50;
    // The keys of play's actions; the plain room always plays with the
    // defaults.
    KeyBindings keys = KeyBindings::defaults();
};

bool operator==(const Settings& a, const Settings& b);
inline bool operator!=(const Settings& a, const Settings& b) {
    return !(a == b);
}

// What a settings text gives: the settings, with the default for every key
// that is missing or bad, and one line for each problem.
struct SettingsRead {
    Settings settings;
    // In the order of the file: "line N: " and a bad value (its default is
    // used) or an unknown key (ignored).
    std::vector<std::string> problems;
    // Not TOML at all: the parser's "line N, column M: " and what it found.
    // The settings are then all defaults.
    std::string syntaxError;
};

SettingsRead parseSettings(const std::string& text);
// Every setting; floats with six significant digits, more than any needs.
std::string formatSettings(const Settings& settings);

// The settings file's path for these environment values (null when unset);
// empty when neither gives a folder.
std::string settingsPath(const char* xdgConfigHome, const char* home);

// The settings file of one run. Every problem is one line on the error
// stream naming the file, and none stops the game.
class SettingsFile {
  public:
    SettingsFile(std::string path, std::ostream& errors);

    // Missing: the defaults, and no file is made. A bad value or an unknown
    // key: one line each, the rest kept. Not TOML: one line, the file kept
    // aside as "settings.toml.corrupt" (or the first free ".corrupt.N"), and
    // the defaults.
    Settings load();
    // Replaces the file atomically; false, with one line, when that fails.
    bool save(const Settings& settings);
    const std::string& path() const { return filePath; }

  private:
    std::string filePath;
    std::ostream& errors;
};
