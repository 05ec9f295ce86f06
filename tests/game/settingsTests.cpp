// The settings file as a player may leave it: every kind of content with the
// settings it gives and the lines it prints, a save read back unchanged, and
// where the file lives.
#include "core/scratchFolder.h"
#include "core/userFiles.h"
#include "game/settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sstream>

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

struct SettingsCase {
    const char* what;
    // Nothing: no file at all.
    std::optional<std::string> text;
    // The defaults changed to what the file should give.
    std::function<void(Settings&)> expected;
    // What follows "cellquest: the settings file PATH" on each line.
    std::vector<std::string> lines;
    bool keptAside = false;
};

const std::string path = "cellquest/settings.toml";
const std::string file = "cellquest: the settings file ";

TEST(SettingsFile, EachContentGivesItsSettingsAndOneLinePerProblem) {
    const std::vector<SettingsCase> cases = {
        {"no file", std::nullopt, [](Settings&) {}, {}},
        {"empty", "", [](Settings&) {}, {}},
        {"every setting",
         "mouse.sensitivity = 2.5\nmouse.invert_y = true\n[view]\nfield_of_view = 30\n"
         "[display]\nmode = 'window'\n[blocks]\nmarks = false\n[hud]\nmoves_line = false\n"
         "[sound]\nmaster = 0\neffects = 100\nmusic = 7\n",
         [](Settings& s) {
             s.mouseSensitivity = 2.5;
             s.invertY = true;
             s.fieldOfView = 30.0;
             s.displayMode = DisplayMode::window;
             s.blockMarks = false;
             s.movesLine = false;
             s.soundMaster = 0;
             s.soundEffects = 100;
             s.soundMusic = 7;
         },
         {}},
        {"the ends of the ranges",
         "[mouse]\nsensitivity = 0.1\n[view]\nfield_of_view = 1.0\n",
         [](Settings& s) {
             s.mouseSensitivity = 0.1;
             s.fieldOfView = 1.0;
         },
         {}},
        {"out of range",
         "[mouse]\nsensitivity = 10.5\ninvert_y = true\n[view]\nfield_of_view = 0.5\n"
         "[sound]\nmaster = 101\nmusic = -1\neffects = 3\n",
         [](Settings& s) {
             s.invertY = true;
             s.soundEffects = 3;
         },
         {", line 2: mouse.sensitivity must be a number from 0.1 to 10; using 1",
          ", line 5: view.field_of_view must be a number from 1 to 45; using 45",
          ", line 7: sound.master must be a whole number from 0 to 100; using 80",
          ", line 8: sound.music must be a whole number from 0 to 100; using 50"}},
        {"wrong types",
         "[mouse]\nsensitivity = 'fast'\ninvert_y = 1\n[display]\nmode = 'fullscreen'\n"
         "[hud]\nmoves_line = 'no'\n[sound]\nmusic = 50.0\nmaster = 9\n[view]\n"
         "field_of_view = nan\n",
         [](Settings& s) { s.soundMaster = 9; },
         {", line 2: mouse.sensitivity must be a number from 0.1 to 10; using 1",
          ", line 3: mouse.invert_y must be true or false; using false",
          ", line 5: display.mode must be \"desktop\" or \"window\"; using \"desktop\"",
          ", line 7: hud.moves_line must be true or false; using true",
          ", line 9: sound.music must be a whole number from 0 to 100; using 50",
          ", line 12: view.field_of_view must be a number from 1 to 45; using 45"}},
        {"a table that is a value",
         "mouse = 3\n[view]\nfield_of_view = 20\n",
         [](Settings& s) { s.fieldOfView = 20.0; },
         {", line 1: mouse must be a table of settings; using its defaults"}},
        {"unknown keys",
         "volume = 3\n[mouse]\nspeed = 2\nsensitivity = 3\n[colours]\nred = 1\n"
         "[blocks]\n\"marks\\n\" = true\n",
         [](Settings& s) { s.mouseSensitivity = 3.0; },
         {", line 1: unknown key volume is ignored", ", line 3: unknown key mouse.speed is ignored",
          ", line 5: unknown key colours is ignored",
          ", line 8: unknown key blocks.marks? is ignored"}},
        {"key bindings, swapped keys among them",
         "[keys]\nforward = 'i'\nundo = ['Z', 'delete']\nup = 'E'\ndown = 'Q'\n",
         [](Settings& s) {
             s.keys.keys[size_t(Action::forward)] = {Key::i};
             s.keys.keys[size_t(Action::undo)] = {Key::z, Key::deleteKey};
             s.keys.keys[size_t(Action::up)] = {Key::e};
             s.keys.keys[size_t(Action::down)] = {Key::q};
         },
         {}},
        {"bad key bindings keep their defaults",
         "[keys]\njump = 'J'\nhint = 'NOPE'\nhelp = 'TAB'\nrestart = 'W'\noverview = 5\n"
         "pause = []\nback = ['P', 'D']\n",
         [](Settings&) {},
         {", line 2: unknown action keys.jump is ignored",
          ", line 3: keys.hint: no key is named \"NOPE\"; using H",
          ", line 4: keys.help: TAB is a fixed key; using F1",
          ", line 5: keys.restart: W is already forward's; using R",
          ", line 6: keys.overview: must be a key's name or a list of them; using O",
          ", line 7: keys.pause: must name a key; using Escape",
          ", line 8: keys.back: D is already right's; using S"}},
        {"key bindings that are no table",
         "keys = 'wasd'\n",
         [](Settings&) {},
         {", line 1: keys must be a table of key bindings; ignored"}},
        {"not TOML",
         "[mouse]\nsensitivity = = 2\n",
         [](Settings&) {},
         {" is not TOML (line 2, column 15: Error while parsing value: could not determine "
          "value type); kept as PATH.corrupt; using the defaults"},
         true},
    };
    for (const SettingsCase& row : cases) {
        SCOPED_TRACE(row.what);
        const ScratchFolder scratch("cellquestSettings.");
        const std::string filePath = scratch.path(path);
        if (row.text) {
            scratch.write(path, *row.text);
        }
        std::ostringstream errors;
        Settings expected;
        row.expected(expected);
        EXPECT_EQ(SettingsFile(filePath, errors).load(), expected);

        std::vector<std::string> lines;
        for (std::string line : row.lines) {
            const std::size_t at = line.find("PATH");
            lines.push_back(file + filePath +
                            (at == std::string::npos ? line : line.replace(at, 4, filePath)));
        }
        EXPECT_EQ(linesOf(errors.str()), lines);
        const UserFileRead aside = readUserFile(filePath + ".corrupt");
        EXPECT_EQ(aside.status == UserFileRead::Status::read, row.keptAside);
        if (row.keptAside) {
            EXPECT_EQ(aside.text, *row.text) << "kept whole";
        }
        const bool stays = row.text && !row.keptAside;
        EXPECT_EQ(readUserFile(filePath).status == UserFileRead::Status::read, stays)
            << "a missing file is not made, a bad one is set aside, any other stays";
    }
}

TEST(SettingsFile, ASaveReadsBackTheSameSettings) {
    Settings changed;
    changed.mouseSensitivity = 0.3;
    changed.invertY = true;
    changed.fieldOfView = 12.5;
    changed.displayMode = DisplayMode::window;
    changed.blockMarks = false;
    changed.movesLine = false;
    changed.soundMaster = 1;
    changed.soundEffects = 0;
    changed.soundMusic = 100;
    ASSERT_EQ(bindKeys(changed.keys, Action::undo, {Key::u}), "");
    ASSERT_EQ(bindKeys(changed.keys, Action::hint, {Key::f5, Key::space}), "");
    for (const Settings& settings : {Settings(), changed}) {
        const ScratchFolder scratch("cellquestSettings.");
        std::ostringstream errors;
        SettingsFile saved(scratch.path("config/cellquest/settings.toml"), errors);
        ASSERT_TRUE(saved.save(settings));
        EXPECT_EQ(SettingsFile(saved.path(), errors).load(), settings);
        EXPECT_EQ(errors.str(), "") << readUserFile(saved.path()).text;
    }
}

TEST(SettingsFile, LivesInTheConfigHome) {
    EXPECT_EQ(settingsPath("/config", "/home/p"), "/config/cellquest/settings.toml");
    EXPECT_EQ(settingsPath(nullptr, "/home/p"), "/home/p/.config/cellquest/settings.toml");
    EXPECT_EQ(settingsPath("relative", "/home/p"), "/home/p/.config/cellquest/settings.toml");
    EXPECT_EQ(settingsPath("", nullptr), "");
}

} // namespace
