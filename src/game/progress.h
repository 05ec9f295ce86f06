// Saved progress: which levels (by file name) are solved, and in how few
// moves. Kept in "$XDG_DATA_HOME/cellquest/progress", or
// "~/.local/share/cellquest/progress" when XDG_DATA_HOME is unset or empty:
//
//   cellquest progress 1
//   solved 17 01-first-room.level
//   solved 9 02-two-steps.level
//
// The file is replaced whole and atomically at every win, so a kill at any
// moment leaves the old file or the new one.
#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <string>

struct LevelRecord {
    bool solved = false;
    // The fewest moves of a win; meaningful when solved.
    int bestMoves = 0;
};

bool operator==(const LevelRecord& a, const LevelRecord& b);

using Progress = std::map<std::string, LevelRecord>;

std::string formatProgress(const Progress& progress);
// Nothing when the text is not a progress file as formatProgress writes it.
std::optional<Progress> parseProgress(const std::string& text);
// A win of the level in `moves`: solved, and the best kept.
void recordWin(Progress& progress, const std::string& levelName, int moves);

// The progress file's path for these environment values (null when unset);
// empty when neither gives a folder.
std::string progressPath(const char* xdgDataHome, const char* home);

// The progress file of one run of the game. Every problem is one line on the
// error stream, and none stops the game.
class ProgressFile {
  public:
    // Removes the temporary files that saves killed mid-write left beside
    // the path ("progress.XXXXXX" over ten minutes old); nothing else.
    ProgressFile(std::string path, std::ostream& errors);

    // Missing: nothing solved. Unreadable or corrupt: one line, the file is
    // kept aside as "progress.corrupt" (when that is taken, the first free
    // of "progress.corrupt.1", ".2", ...), and nothing is solved.
    Progress load();
    // Replaces the file. When that fails: one line, and no more saving for
    // the rest of this run.
    void save(const Progress& progress);
    const std::string& path() const { return filePath; }
    bool saving() const { return savingOn; }

  private:
    void setAside(const std::string& why);

    std::string filePath;
    std::ostream& errors;
    bool savingOn = true;
};
