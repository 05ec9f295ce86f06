#include "game/progress.h"

#include "core/userFiles.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <dirent.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const progressHeader = "cellquest progress 1";
constexpr int bestMovesMax = 1000000000;

std::optional<int> parseCount(const std::string& text) {
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string::npos ||
        (text.size() > 1 && text[0] == '0')) {
        return std::nullopt;
    }
    const long long value = std::stoll(text);
    if (value > bestMovesMax) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

bool validLevelName(const std::string& name) {
    return !name.empty() && name.find_first_of("\n\r\t/") == std::string::npos;
}

std::string fileNameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1); // npos + 1 is 0
}

// A name mkstemp gives for `path`.XXXXXX: the file's name, a dot and six
// letters or digits.
bool isTemporaryOf(const std::string& name, const std::string& fileName) {
    constexpr std::size_t suffixLength = 6;
    if (name.size() != fileName.size() + 1 + suffixLength ||
        name.compare(0, fileName.size() + 1, fileName + ".") != 0) {
        return false;
    }
    return std::all_of(name.end() - suffixLength, name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// A save takes milliseconds: a temporary file this old is from a save that
// was killed, never from one under way in a running game.
constexpr time_t abandonedTemporaryAge = 10 * 60;

// Removes the temporary files of killed saves of `path` from its folder.
void removeAbandonedTemporaries(const std::string& path) {
    const std::string folder = folderOf(path);
    const std::string fileName = fileNameOf(path);
    DIR* entries = opendir(folder.c_str());
    if (entries == nullptr) {
        return;
    }
    const time_t now = time(nullptr);
    while (const dirent* entry = readdir(entries)) {
        const std::string temporary = folder + "/" + entry->d_name;
        struct stat info {};
        if (isTemporaryOf(entry->d_name, fileName) && lstat(temporary.c_str(), &info) == 0 &&
            S_ISREG(info.st_mode) && now - info.st_mtime > abandonedTemporaryAge) {
            unlink(temporary.c_str());
        }
    }
    closedir(entries);
}

} // namespace

bool operator==(const LevelRecord& a, const LevelRecord& b) {
    return a.solved == b.solved && a.bestMoves == b.bestMoves;
}

std::string formatProgress(const Progress& progress) {
    std::string text = std::string(progressHeader) + "\n";
    for (const auto& [name, record] : progress) {
        if (record.solved) {
            text += "solved " + std::to_string(record.bestMoves) + " " + name + "\n";
        }
    }
    return text;
}

std::optional<Progress> parseProgress(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != progressHeader) {
        return std::nullopt;
    }
    Progress progress;
    while (std::getline(lines, line)) {
        const std::size_t first = line.find(' ');
        const std::size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
        if (second == std::string::npos || line.substr(0, first) != "solved") {
            return std::nullopt;
        }
        const std::optional<int> moves = parseCount(line.substr(first + 1, second - first - 1));
        const std::string name = line.substr(second + 1);
        if (!moves || !validLevelName(name) || progress.count(name) != 0) {
            return std::nullopt;
        }
        progress[name] = LevelRecord{true, *moves};
    }
    // A file cut short loses its last line end: a torn write is corrupt.
    if (!text.empty() && text.back() != '\n') {
        return std::nullopt;
    }
    return progress;
}

void recordWin(Progress& progress, const std::string& levelName, int moves) {
    LevelRecord& record = progress[levelName];
    record.bestMoves = record.solved ? std::min(record.bestMoves, moves) : moves;
    record.solved = true;
}

std::string progressPath(const char* xdgDataHome, const char* home) {
    return userFilePath(xdgDataHome, home, ".local/share", "progress");
}

ProgressFile::ProgressFile(std::string path, std::ostream& errors)
    : filePath(std::move(path)), errors(errors), savingOn(!filePath.empty()) {
    if (filePath.empty()) {
        errors << "cellquest: neither XDG_DATA_HOME nor HOME names a folder; progress is not saved"
               << std::endl;
        return;
    }
    removeAbandonedTemporaries(filePath);
}

Progress ProgressFile::load() {
    if (filePath.empty()) {
        return {};
    }
    const UserFileRead file = readUserFile(filePath);
    if (file.status == UserFileRead::Status::missing) {
        return {};
    }
    if (file.status == UserFileRead::Status::unreadable) {
        setAside("cannot be read");
        return {};
    }
    std::optional<Progress> progress = parseProgress(file.text);
    if (!progress) {
        setAside("is corrupt");
        return {};
    }
    return *progress;
}

void ProgressFile::setAside(const std::string& why) {
    const std::string aside = keepAside(filePath);
    const bool kept = !aside.empty();
    errors << "cellquest: the progress file " << filePath << " " << why
           << (kept ? "; kept as " + aside + ", starting from the first level"
                    : "; starting from the first level")
           << std::endl;
}

void ProgressFile::save(const Progress& progress) {
    if (!savingOn) {
        return;
    }
    const std::string failure = writeFileAtomically(filePath, formatProgress(progress));
    if (!failure.empty()) {
        savingOn = false;
        errors << "cellquest: progress not saved (" << failure << "); play goes on without saving"
               << std::endl;
    }
}
