#include "game/myLevels.h"

#include "core/userFiles.h"

std::string myLevelsFolder(const char* xdgDataHome, const char* home) {
    return userFilePath(xdgDataHome, home, ".local/share", "levels");
}

void reloadMyLevels(MyLevels& mine) {
    mine.levels.clear();
    mine.problems.clear();
    if (mine.folder.empty()) {
        return;
    }
    for (const std::string& path : levelFilesIn(mine.folder)) {
        LevelLoad load = loadLevelFile(path);
        if (load.level) {
            mine.levels.push_back(
                CampaignLevel{myLevelNamePrefix + fileNameOf(path), std::move(*load.level)});
        } else {
            mine.problems.push_back(load.error);
        }
    }
}
