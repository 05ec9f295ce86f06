#include "game/settings.h"

#include "core/userFiles.h"

#include <toml++/toml.h>

#include <algorithm>
#include <optional>
#include <sstream>

namespace {

// Each setting by its name in the file, "table.key". Reading and writing go
// through these lists, so the two can never name a setting differently.
struct RangeSetting {
    const char* name;
    double Settings::*field;
    double low;
    double high;
};
struct CountSetting {
    const char* name;
    int Settings::*field;
    int low;
    int high;
};
struct SwitchSetting {
    const char* name;
    bool Settings::*field;
};

const RangeSetting rangeSettings[] = {
    {"mouse.sensitivity", &Settings::mouseSensitivity, 0.1, 10.0},
    {"view.field_of_view", &Settings::fieldOfView, 1.0, 45.0},
};
const SwitchSetting switchSettings[] = {
    {"mouse.invert_y", &Settings::invertY},
    {"blocks.marks", &Settings::blockMarks},
    {"hud.moves_line", &Settings::movesLine},
};
const CountSetting countSettings[] = {
    {"sound.master", &Settings::soundMaster, 0, 100},
    {"sound.effects", &Settings::soundEffects, 0, 100},
    {"sound.music", &Settings::soundMusic, 0, 100},
};
const std::string displayModeName = "display.mode";
const std::string keysTableName = "keys";
const char* const settingTables[] = {"mouse", "view", "display", "blocks", "hud", "sound"};

const char* const fileHeader = "# cellquest's settings: a value out of its range, or of the wrong "
                               "type, falls back to its default.\n\n";

const char* displayModeText(DisplayMode mode) {
    return mode == DisplayMode::window ? "window" : "desktop";
}

// Keys may be quoted strings with any character in them: every problem
// must stay one line.
std::string printable(std::string_view text) {
    std::string shown(text);
    std::replace_if(
        shown.begin(), shown.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7f'; }, '?');
    return shown;
}

std::string numberText(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// The problem with a value for the setting, empty when it was taken; nothing
// when no setting has that name.
std::optional<std::string> applySetting(const std::string& name, const toml::node& value,
                                        Settings& settings) {
    for (const RangeSetting& setting : rangeSettings) {
        if (name == setting.name) {
            // A hand-written 30 means 30.0. NaN fails the range test.
            const std::optional<double> number =
                value.is_number() ? value.value<double>() : std::nullopt;
            if (number && *number >= setting.low && *number <= setting.high) {
                settings.*setting.field = *number;
                return "";
            }
            return name + " must be a number from " + numberText(setting.low) + " to " +
                   numberText(setting.high) + "; using " + numberText(Settings().*setting.field);
        }
    }
    for (const SwitchSetting& setting : switchSettings) {
        if (name == setting.name) {
            if (value.is_boolean()) {
                settings.*setting.field = *value.value<bool>();
                return "";
            }
            return name + " must be true or false; using " +
                   (Settings().*setting.field ? "true" : "false");
        }
    }
    for (const CountSetting& setting : countSettings) {
        if (name == setting.name) {
            const std::optional<int64_t> count =
                value.is_integer() ? value.value<int64_t>() : std::nullopt;
            if (count && *count >= setting.low && *count <= setting.high) {
                settings.*setting.field = static_cast<int>(*count);
                return "";
            }
            return name + " must be a whole number from " + std::to_string(setting.low) + " to " +
                   std::to_string(setting.high) + "; using " +
                   std::to_string(Settings().*setting.field);
        }
    }
    if (name == displayModeName) {
        const std::optional<std::string_view> mode = value.value<std::string_view>();
        if (value.is_string() && (*mode == "desktop" || *mode == "window")) {
            settings.displayMode = *mode == "window" ? DisplayMode::window : DisplayMode::desktop;
            return "";
        }
        return name + " must be \"desktop\" or \"window\"; using \"" +
               displayModeText(Settings().displayMode) + "\"";
    }
    return std::nullopt;
}

struct Problem {
    std::size_t line;
    std::string text;
};

void addProblem(std::vector<Problem>& problems, const toml::key& key, const std::string& text) {
    problems.push_back({key.source().begin.line, text});
}

void readSettingTable(const std::string& tableName, const toml::table& table, Settings& settings,
                      std::vector<Problem>& problems) {
    for (auto&& [key, value] : table) {
        const std::string name = tableName + "." + printable(key.str());
        const std::optional<std::string> problem = applySetting(name, value, settings);
        if (!problem) {
            addProblem(problems, key, "unknown key " + name + " is ignored");
        } else if (!problem->empty()) {
            addProblem(problems, key, *problem);
        }
    }
}

// One line of the [keys] table as the file has it: the action and the keys
// it names, all of them known and none fixed.
struct KeyWish {
    const toml::key* name;
    Action action;
    std::vector<Key> keys;
};

// The keys a binding's value names, or the problem with it.
std::string keysOfValue(const toml::node& value, std::vector<Key>& keys) {
    std::vector<const toml::node*> names{&value};
    if (const toml::array* array = value.as_array()) {
        names.clear();
        for (const toml::node& element : *array) {
            names.push_back(&element);
        }
    }
    for (const toml::node* name : names) {
        const std::optional<std::string_view> text = name->value<std::string_view>();
        const std::optional<Key> key = name->is_string() ? keyNamed(*text) : std::nullopt;
        if (!name->is_string()) {
            return "must be a key's name or a list of them";
        } else if (!key) {
            return "no key is named \"" + printable(*text) + "\"";
        } else if (isFixedKey(*key)) {
            return std::string(keyName(*key)) + " is a fixed key";
        }
        keys.push_back(*key);
    }
    return names.empty() ? "must name a key" : "";
}

std::string usingDefault(Action action) {
    return "; using " + KeyBindings::defaults().labelOf(action);
}

// The wishes in the file's order, each taking its keys from the defaults of
// the actions the file leaves alone and from the wishes before it; one
// refused keeps its action's default.
void readKeysTable(const toml::table& table, Settings& settings, std::vector<Problem>& problems) {
    std::vector<KeyWish> wishes;
    for (auto&& [key, value] : table) {
        const std::string name = "keys." + printable(key.str());
        const std::optional<Action> action = actionNamed(key.str());
        std::vector<Key> keys;
        const std::string problem = action ? keysOfValue(value, keys) : "";
        if (!action) {
            addProblem(problems, key, "unknown action " + name + " is ignored");
        } else if (!problem.empty()) {
            addProblem(problems, key, name + ": " + problem + usingDefault(*action));
        } else {
            wishes.push_back({&key, *action, keys});
            settings.keys.keys[std::size_t(*action)].clear();
        }
    }
    std::sort(wishes.begin(), wishes.end(), [](const KeyWish& a, const KeyWish& b) {
        return a.name->source().begin.line < b.name->source().begin.line;
    });
    for (const KeyWish& wish : wishes) {
        const std::string refused = bindKeys(settings.keys, wish.action, wish.keys);
        if (!refused.empty()) {
            bindKeys(settings.keys, wish.action, KeyBindings::defaults().of(wish.action));
            addProblem(problems, *wish.name,
                       "keys." + std::string(actionName(wish.action)) + ": " + refused +
                           "; using " + settings.keys.labelOf(wish.action));
        }
    }
}

// Only the actions whose keys differ from the defaults: a file of defaults
// has no [keys] table at all.
toml::table keysTable(const KeyBindings& bindings) {
    const KeyBindings defaults = KeyBindings::defaults();
    toml::table table;
    for (int index = 0; index < actionCount; ++index) {
        const Action action = static_cast<Action>(index);
        const std::vector<Key>& keys = bindings.of(action);
        if (keys == defaults.of(action)) {
            continue;
        }
        toml::array names;
        for (Key key : keys) {
            names.push_back(std::string(keyName(key)));
        }
        if (names.size() == 1) {
            table.insert(actionName(action), std::string(keyName(keys.front())));
        } else {
            table.insert(actionName(action), std::move(names));
        }
    }
    return table;
}

bool isSettingTable(std::string_view name) {
    return std::find(std::begin(settingTables), std::end(settingTables), name) !=
           std::end(settingTables);
}

void readRoot(const toml::table& root, Settings& settings, std::vector<Problem>& problems) {
    for (auto&& [key, value] : root) {
        const std::string name = printable(key.str());
        if (name == keysTableName && value.is_table()) {
            readKeysTable(*value.as_table(), settings, problems);
        } else if (name == keysTableName) {
            addProblem(problems, key, "keys must be a table of key bindings; ignored");
        } else if (isSettingTable(name) && value.is_table()) {
            readSettingTable(name, *value.as_table(), settings, problems);
        } else if (isSettingTable(name)) {
            addProblem(problems, key, name + " must be a table of settings; using its defaults");
        } else {
            addProblem(problems, key, "unknown key " + name + " is ignored");
        }
    }
}

// The table the setting's name puts it in, made when missing.
toml::table& tableFor(toml::table& root, const std::string& name) {
    const std::string table = name.substr(0, name.find('.'));
    return *root.emplace<toml::table>(table).first->second.as_table();
}

std::string keyOf(const std::string& name) {
    return name.substr(name.find('.') + 1);
}

} // namespace

bool operator==(const Settings& a, const Settings& b) {
    return a.mouseSensitivity == b.mouseSensitivity && a.invertY == b.invertY &&
           a.fieldOfView == b.fieldOfView && a.displayMode == b.displayMode &&
           a.blockMarks == b.blockMarks && a.movesLine == b.movesLine &&
           a.soundMaster == b.soundMaster && a.soundEffects == b.soundEffects &&
           a.soundMusic == b.soundMusic && a.keys == b.keys;
}

SettingsRead parseSettings(const std::string& text) {
    SettingsRead read;
    toml::table root;
    try {
        root = toml::parse(text);
    } catch (const toml::parse_error& error) {
        const toml::source_position at = error.source().begin;
        read.syntaxError = "line " + std::to_string(at.line) + ", column " +
                           std::to_string(at.column) + ": " + printable(error.description());
        return read;
    }
    std::vector<Problem> problems;
    readRoot(root, read.settings, problems);
    // The tables iterate by name; a player reads the file top to bottom.
    std::stable_sort(problems.begin(), problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    for (const Problem& problem : problems) {
        read.problems.push_back("line " + std::to_string(problem.line) + ": " + problem.text);
    }
    return read;
}

std::string formatSettings(const Settings& settings) {
    toml::table root;
    for (const RangeSetting& setting : rangeSettings) {
        tableFor(root, setting.name).insert(keyOf(setting.name), settings.*setting.field);
    }
    for (const SwitchSetting& setting : switchSettings) {
        tableFor(root, setting.name).insert(keyOf(setting.name), settings.*setting.field);
    }
    for (const CountSetting& setting : countSettings) {
        tableFor(root, setting.name).insert(keyOf(setting.name), settings.*setting.field);
    }
    tableFor(root, displayModeName)
        .insert(keyOf(displayModeName), displayModeText(settings.displayMode));
    toml::table keys = keysTable(settings.keys);
    if (!keys.empty()) {
        root.insert(keysTableName, std::move(keys));
    }
    std::ostringstream text;
    text << fileHeader
         << toml::toml_formatter(root, toml::toml_formatter::default_flags |
                                           toml::format_flags::relaxed_float_precision)
         << "\n";
    return text.str();
}

std::string settingsPath(const char* xdgConfigHome, const char* home) {
    return userFilePath(xdgConfigHome, home, ".config", "settings.toml");
}

SettingsFile::SettingsFile(std::string path, std::ostream& errors)
    : filePath(std::move(path)), errors(errors) {}

Settings SettingsFile::load() {
    if (filePath.empty()) {
        errors << "cellquest: neither XDG_CONFIG_HOME nor HOME names a folder; using the default "
                  "settings"
               << std::endl;
        return {};
    }
    const UserFileRead file = readUserFile(filePath);
    if (file.status == UserFileRead::Status::missing) {
        return {};
    }
    if (file.status == UserFileRead::Status::unreadable) {
        errors << "cellquest: the settings file " << filePath
               << " cannot be read; using the defaults" << std::endl;
        return {};
    }
    const SettingsRead read = parseSettings(file.text);
    if (!read.syntaxError.empty()) {
        const std::string aside = keepAside(filePath);
        errors << "cellquest: the settings file " << filePath << " is not TOML ("
               << read.syntaxError << ")" << (aside.empty() ? "" : "; kept as " + aside)
               << "; using the defaults" << std::endl;
        return {};
    }
    for (const std::string& problem : read.problems) {
        errors << "cellquest: the settings file " << filePath << ", " << problem << std::endl;
    }
    return read.settings;
}

bool SettingsFile::save(const Settings& settings) {
    const std::string failure = filePath.empty()
                                    ? "neither XDG_CONFIG_HOME nor HOME names a folder"
                                    : writeFileAtomically(filePath, formatSettings(settings));
    if (!failure.empty()) {
        errors << "cellquest: settings not saved (" << failure << ")" << std::endl;
    }
    return failure.empty();
}
