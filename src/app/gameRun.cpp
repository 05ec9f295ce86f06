#include "app/gameRun.h"

#include "core/userFiles.h"
#include "game/editor.h"
#include "game/gamepad.h"
#include "game/myLevels.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace {

// The game's own pack, beside its other run-time files.
const char* const packFolder = "levels";

GameRunLoad campaignRun(const Options& options, const AssetRoot& assets, std::ostream& errors) {
    const std::string folder =
        options.levelsFolder.empty() ? assets.path(packFolder) : options.levelsFolder;
    CampaignLoad load = loadCampaignFolder(folder, errors);
    if (!load.error.empty()) {
        return GameRunLoad{std::nullopt, load.error};
    }
    auto progressFile = std::make_unique<ProgressFile>(
        progressPath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")), errors);
    Progress progress = progressFile->load();
    const std::size_t first = firstUnsolved(load.levels, progress);
    return GameRunLoad{GameRun{Campaign(std::move(load.levels), first),
                               true,
                               options.menu,
                               {},
                               std::move(progressFile),
                               std::move(progress),
                               nullptr,
                               {}},
                       ""};
}

// "-" is standard input, as for most tools that read files; its messages
// name it "<stdin>".
CampaignLoad loadLevelArgument(const std::string& argument) {
    if (argument == standardInputName) {
        return singleLevelOf(readLevelStream(std::cin, "<stdin>"), "<stdin>");
    }
    return loadSingleLevel(argument);
}

// A file that is not there yet is a new level; one that is must load.
GameRunLoad editorRun(const std::string& path) {
    std::error_code failure;
    LevelFile level = newEditorLevel();
    if (std::filesystem::exists(path, failure) || failure) {
        LevelLoad load = loadLevelFile(path);
        if (!load.level) {
            return GameRunLoad{std::nullopt, load.error};
        }
        level = std::move(*load.level);
    }
    GameRun run{Campaign({CampaignLevel{path, level}}), true, false, {}, nullptr, {}, nullptr, {}};
    run.edited = CampaignLevel{path, level};
    return GameRunLoad{std::move(run), ""};
}

GameRunLoad levelsOfRun(const Options& options, const AssetRoot& assets, std::ostream& errors) {
    if (!options.editFile.empty()) {
        return editorRun(options.editFile);
    }
    if (options.campaign) {
        return campaignRun(options, assets, errors);
    }
    if (options.levelFile.empty()) {
        return GameRunLoad{
            GameRun{builtInRoomCampaign(), false, false, {}, nullptr, {}, nullptr, {}}, ""};
    }
    CampaignLoad load = loadLevelArgument(options.levelFile);
    if (!load.error.empty()) {
        return GameRunLoad{std::nullopt, load.error};
    }
    return GameRunLoad{
        GameRun{Campaign(std::move(load.levels)), true, false, {}, nullptr, {}, nullptr, {}}, ""};
}

void readSettings(GameRun& run, std::ostream& errors) {
    run.settingsFile = std::make_unique<SettingsFile>(
        settingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")), errors);
    run.settings = run.settingsFile->load();
    run.gamepadMappings =
        readGamepadMappings(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), errors);
}

} // namespace

GameRunLoad prepareRun(const Options& options, const AssetRoot& assets, std::ostream& errors) {
    GameRunLoad load = levelsOfRun(options, assets, errors);
    if (load.run && load.run->menus) {
        load.run->myLevelsFolder =
            myLevelsFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    }
    // The plain room plays as designed, whatever the settings say.
    const bool playsLevels =
        options.campaign || !options.levelFile.empty() || !options.editFile.empty();
    if (load.run && playsLevels) {
        readSettings(*load.run, errors);
    }
    return load;
}

std::string readGamepadMappings(const char* xdgConfigHome, const char* home, std::ostream& errors) {
    const std::string path = userFilePath(xdgConfigHome, home, ".config", "gamecontrollerdb.txt");
    const UserFileRead file = path.empty() ? UserFileRead() : readUserFile(path);
    if (file.status == UserFileRead::Status::missing) {
        return "";
    }
    const std::string problem = file.status == UserFileRead::Status::unreadable
                                    ? "cannot be read"
                                    : mappingsProblem(file.text);
    if (!problem.empty()) {
        errors << "cellquest: the gamepad mappings file " << path << " " << problem
               << "; using the built-in mappings only" << std::endl;
        return "";
    }
    return file.text;
}

void saveProgress(GameRun& run, const Progress& progress) {
    if (run.progressFile) {
        run.progressFile->save(progress);
    }
}

void saveSettings(GameRun& run, const Settings& settings) {
    if (run.settingsFile) {
        run.settingsFile->save(settings);
    }
}

WindowMode windowModeOf(const Options& options, const GameRun& run) {
    if (options.windowModeGiven || !run.menus) {
        return options.windowMode;
    }
    return run.settings.displayMode == DisplayMode::window ? WindowMode::windowed
                                                           : WindowMode::fullScreenDesktop;
}
