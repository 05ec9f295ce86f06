#include "game/campaign.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

namespace {

// The ".level" files of the folder in name order. An entry that says it is
// one but whose target cannot be looked at (a dangling or looping link) is
// skipped with a line naming it; the scan goes on to the others.
std::vector<std::string> levelFilesKept(const std::string& folder, std::ostream& errors) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code scan;
    for (fs::directory_iterator entry(folder, scan), end; !scan && entry != end;
         entry.increment(scan)) {
        if (entry->path().extension() != ".level") {
            continue;
        }
        std::error_code status;
        const bool regular = entry->is_regular_file(status);
        if (status) {
            errors << "cellquest: skipping " << entry->path().string() << ": cannot be read ("
                   << status.message() << ")" << std::endl;
        } else if (regular) {
            files.push_back(entry->path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

Campaign::Campaign(std::vector<CampaignLevel> levels, std::size_t first)
    : levels(std::move(levels)), index(first < this->levels.size() ? first : 0) {}

LevelHeading Campaign::heading() const {
    return LevelHeading{static_cast<int>(index) + 1, static_cast<int>(levels.size()),
                        current().file.par};
}

bool Campaign::advance() {
    if (index + 1 >= levels.size()) {
        return false;
    }
    index += 1;
    return true;
}

void Campaign::jumpTo(std::size_t level) {
    if (level < levels.size()) {
        index = level;
    }
}

Campaign builtInRoomCampaign() {
    LevelFile room;
    room.title = "Room";
    room.layout = builtInLayout();
    return Campaign({CampaignLevel{"", room}});
}

CampaignLoad loadCampaignFolder(const std::string& folder, std::ostream& errors) {
    CampaignLoad load;
    for (const std::string& path : levelFilesKept(folder, errors)) {
        LevelLoad level = loadLevelFile(path);
        if (!level.level) {
            return CampaignLoad{{}, level.error};
        }
        load.levels.push_back(CampaignLevel{fileNameOf(path), std::move(*level.level)});
    }
    if (load.levels.empty()) {
        std::error_code error;
        load.error = std::filesystem::is_directory(folder, error)
                         ? folder + ": no .level files to play"
                         : folder + ": not a folder that can be read";
    }
    return load;
}

CampaignLoad loadSingleLevel(const std::string& path) {
    return singleLevelOf(loadLevelFile(path), fileNameOf(path));
}

CampaignLoad singleLevelOf(LevelLoad load, const std::string& name) {
    if (!load.level) {
        return CampaignLoad{{}, load.error};
    }
    return CampaignLoad{{CampaignLevel{name, std::move(*load.level)}}, ""};
}

std::size_t firstUnsolved(const std::vector<CampaignLevel>& levels, const Progress& progress) {
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const auto record = progress.find(levels[i].name);
        if (record == progress.end() || !record->second.solved) {
            return i;
        }
    }
    return 0;
}
