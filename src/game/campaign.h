// What one run of the game plays: the built-in room, one level file, or a
// campaign of the level files of a folder in name order, with the saved
// progress that says where a campaign starts.
#pragma once

#include "game/progress.h"
#include "world/levelFile.h"

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct CampaignLevel {
    // The file name without its folder: the level's key in the progress.
    std::string name;
    LevelFile file;
};

// Where the player stands in the run, for the moves line.
struct LevelHeading {
    int number = 1;
    int count = 1;
    std::optional<int> par;
};

class Campaign {
  public:
    explicit Campaign(std::vector<CampaignLevel> levels, std::size_t first = 0);

    const CampaignLevel& current() const { return levels.at(index); }
    std::size_t currentIndex() const { return index; }
    std::size_t size() const { return levels.size(); }
    LevelHeading heading() const;
    // On to the next level; false, and nothing changes, after the last.
    bool advance();
    // To any level of the run; an index past the last does nothing.
    void jumpTo(std::size_t level);
    const std::vector<CampaignLevel>& all() const { return levels; }

  private:
    std::vector<CampaignLevel> levels;
    std::size_t index = 0;
};

// The built-in room as a run of one level.
Campaign builtInRoomCampaign();

// Either the levels of a folder or one line of error text.
struct CampaignLoad {
    std::vector<CampaignLevel> levels;
    std::string error;
};
// Every ".level" file of the folder, by name; the first malformed one gives
// its loader message, and a folder without levels says so. An entry whose
// target cannot be read (a dangling link) is skipped with one line on
// `errors` naming it, and the other levels are kept.
CampaignLoad loadCampaignFolder(const std::string& folder, std::ostream& errors);
// The file name without its folder: a level's key in the progress.
std::string fileNameOf(const std::string& path);
// One level file as a run of one level.
CampaignLoad loadSingleLevel(const std::string& path);
// A level read from elsewhere (standard input, the clipboard) as a run of
// one level named `name`.
CampaignLoad singleLevelOf(LevelLoad load, const std::string& name);

// The first level not yet solved, or the first when all are.
std::size_t firstUnsolved(const std::vector<CampaignLevel>& levels, const Progress& progress);
