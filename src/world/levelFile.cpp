#include "world/levelFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string_view>
#include <tuple>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Tabs, line ends and printable ASCII: anything else means the file is not
// a level someone wrote in an editor.
bool isTextByte(unsigned char c) {
    return c == '\t' || c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F);
}

bool isPrintable(char c) {
    return c >= 0x20 && c < 0x7F;
}

// CRLF files and editors that leave trailing blanks both end here.
std::string_view withoutLineEnd(std::string_view line) {
    while (!line.empty() && (isBlank(line.back()) || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    return withoutLineEnd(text);
}

std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    while (!(text = trimmed(text)).empty()) {
        std::size_t end = 0;
        while (end < text.size() && !isBlank(text[end])) {
            ++end;
        }
        words.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return words;
}

std::optional<int> wholeNumber(std::string_view text, int low, int high) {
    constexpr std::size_t mostDigits = 6; // keeps the sum below from overflowing
    if (text.empty() || text.size() > mostDigits) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// The key of a "key: value" line: letters before the first colon.
std::optional<std::string_view> headerKeyOf(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return std::nullopt;
    }
    const std::string_view key = line.substr(0, colon);
    const bool letters = std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
    return letters ? std::optional<std::string_view>(key) : std::nullopt;
}

bool isLayerLine(std::string_view line) {
    constexpr std::string_view word = "layer";
    return line.substr(0, word.size()) == word &&
           (line.size() == word.size() || isBlank(line[word.size()]));
}

// A key may run as long as the file; the message stays one short line.
std::string quoted(std::string_view text) {
    constexpr std::size_t longest = 20;
    if (text.size() > longest) {
        return "\"" + std::string(text.substr(0, longest)) + "...\"";
    }
    return "\"" + std::string(text) + "\"";
}

std::string hexByte(unsigned char c) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", c);
    return text;
}

std::string describedChar(char c) {
    return isPrintable(c) ? "'" + std::string(1, c) + "'" : "byte " + hexByte(c);
}

std::string counted(int count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

LevelLoad failedLoad(const std::string& error) {
    return LevelLoad{std::nullopt, error};
}

class LevelParser {
  public:
    explicit LevelParser(const std::string& fileName) : fileName(fileName) {}

    LevelLoad parse(const std::string& text) {
        if (readText(text) && finish()) {
            return LevelLoad{level, ""};
        }
        return failedLoad(error);
    }

  private:
    bool readText(std::string_view text) {
        if (text.size() > levelFileByteLimit) {
            return fail("larger than 64 KiB");
        }
        if (!checkBytes(text)) {
            return false;
        }
        for (std::size_t begin = 0; begin < text.size();) {
            const std::size_t end = std::min(text.find('\n', begin), text.size());
            ++lineNumber;
            if (!readLine(withoutLineEnd(text.substr(begin, end - begin)))) {
                return false;
            }
            begin = end + 1;
        }
        return true;
    }

    bool checkBytes(std::string_view text) {
        const auto bad = std::find_if(text.begin(), text.end(), [](char c) {
            return !isTextByte(static_cast<unsigned char>(c));
        });
        if (bad == text.end()) {
            return true;
        }
        const std::string_view before =
            text.substr(0, static_cast<std::size_t>(bad - text.begin()));
        lineNumber = 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
        const std::size_t lineStart = before.rfind('\n') + 1; // npos + 1 is 0
        return failHere("not text: byte " + hexByte(static_cast<unsigned char>(*bad)) +
                        " at column " + std::to_string(before.size() - lineStart + 1));
    }

    bool readLine(std::string_view line) {
        if (line.empty() || line.front() == ';') {
            return true;
        }
        sawContent = true;
        if (isLayerLine(line)) {
            return beginLayer(line);
        }
        if (layers == 0) {
            return readHeaderLine(line);
        }
        if (const auto key = headerKeyOf(line)) {
            return failHere(quoted(*key) + " after the first layer; the header comes first");
        }
        return readRow(line);
    }

    bool readHeaderLine(std::string_view line) {
        const std::optional<std::string_view> key = headerKeyOf(line);
        if (!key) {
            return failHere("expected \"key: value\" or \"layer 0\"");
        }
        if (*key != "title" && *key != "author" && *key != "size" && *key != "par") {
            return failHere("unknown key " + quoted(*key));
        }
        const auto [first, isNew] = keyLines.emplace(std::string(*key), lineNumber);
        if (!isNew) {
            return failHere(quoted(*key) + " given twice; the first is on line " +
                            std::to_string(first->second));
        }
        return readValue(*key, trimmed(line.substr(key->size() + 1)));
    }

    bool readValue(std::string_view key, std::string_view value) {
        if (key == "size") {
            return readSize(value);
        }
        if (key == "par") {
            level.par = wholeNumber(value, 1, levelParMax);
            return level.par ||
                   failHere("par needs a whole number from 1 to " + std::to_string(levelParMax));
        }
        std::string& text = key == "title" ? level.title : level.author;
        text = value;
        const bool fits = !value.empty() && value.size() <= levelTextMax &&
                          std::all_of(value.begin(), value.end(), isPrintable);
        return fits || failHere("the " + std::string(key) + " needs 1 to " +
                                std::to_string(levelTextMax) + " printable characters");
    }

    bool readSize(std::string_view value) {
        const std::vector<std::string_view> words = wordsOf(value);
        std::optional<int> sides[3];
        for (std::size_t i = 0; i < 3 && words.size() == 3; ++i) {
            sides[i] = wholeNumber(words[i], levelSideMin, levelSideMax);
        }
        if (!sides[0] || !sides[1] || !sides[2]) {
            return failHere("size needs three whole numbers from " + std::to_string(levelSideMin) +
                            " to " + std::to_string(levelSideMax));
        }
        level.layout.size = Cell{*sides[0], *sides[1], *sides[2]};
        return true;
    }

    bool beginLayer(std::string_view line) {
        const Cell size = level.layout.size;
        if (keyLines.count("size") == 0) {
            return failHere("the size must come before the first layer");
        }
        if (layers > 0 && rows < size.z) {
            return failHere("layer " + std::to_string(layers - 1) + " ends after " +
                            counted(rows, "row") + ", expected " + std::to_string(size.z));
        }
        if (layers == size.y) {
            return failHere("more layers than the " + std::to_string(size.y) + " of the size");
        }
        const std::string expected = std::to_string(layers);
        if (trimmed(line.substr(5)) != expected) {
            return failHere("expected \"layer " + expected + "\"");
        }
        ++layers;
        rows = 0;
        return true;
    }

    bool readRow(std::string_view row) {
        const Cell size = level.layout.size;
        if (rows == size.z) {
            return failHere("layer " + std::to_string(layers - 1) + " has more than " +
                            counted(size.z, "row"));
        }
        if (row.size() != static_cast<std::size_t>(size.x)) {
            return failHere(rowName() + " has " + counted(static_cast<int>(row.size()), "cell") +
                            ", expected " + std::to_string(size.x));
        }
        for (int x = 0; x < size.x; ++x) {
            if (!placeCell(row[x], Cell{x, layers - 1, rows})) {
                return false;
            }
        }
        ++rows;
        return true;
    }

    std::string rowName() const {
        return "row " + std::to_string(rows) + " of layer " + std::to_string(layers - 1);
    }

    bool placeCell(char c, Cell cell) {
        LevelLayout& layout = level.layout;
        switch (c) {
        case '.':
            return true;
        case '#':
            layout.obstacles.push_back(cell);
            return true;
        case 'R':
            return addBlock(layout.redStarts, cell, "red");
        case 'B':
            return addBlock(layout.blueStarts, cell, "blue");
        case '@':
            return placeOnce(playerLine, layout.playerStart, cell, "player start (@)");
        case 'T':
            return placeOnce(trophyLine, layout.trophyCell, cell, "trophy (T)");
        default:
            return failHere(rowName() + ": " + describedChar(c) +
                            " at x = " + std::to_string(cell.x) + " is not one of . # R B @ T");
        }
    }

    bool addBlock(std::vector<Cell>& blocks, Cell cell, const std::string& colour) {
        if (blocks.size() == static_cast<std::size_t>(levelBlocksMax)) {
            return failHere("more than " + std::to_string(levelBlocksMax) + " " + colour +
                            " blocks");
        }
        blocks.push_back(cell);
        return true;
    }

    bool placeOnce(int& firstLine, Cell& place, Cell cell, const std::string& what) {
        if (firstLine != 0) {
            return failHere("a second " + what + "; the first is on line " +
                            std::to_string(firstLine));
        }
        firstLine = lineNumber;
        place = cell;
        return true;
    }

    bool finish() {
        const Cell size = level.layout.size;
        if (!sawContent) {
            return fail("the file is empty");
        }
        if (level.title.empty()) {
            return fail("no title");
        }
        if (keyLines.count("size") == 0) {
            return fail("no size");
        }
        if (layers > 0 && rows < size.z) {
            return fail("the file ends after " + counted(rows, "row") + " of layer " +
                        std::to_string(layers - 1) + ", expected " + std::to_string(size.z));
        }
        if (layers < size.y) {
            return fail("the file ends after " + counted(layers, "layer") + ", expected " +
                        std::to_string(size.y));
        }
        return finishCounts();
    }

    bool finishCounts() {
        const LevelLayout& layout = level.layout;
        const std::string range = "; a level needs 1 to " + std::to_string(levelBlocksMax);
        if (playerLine == 0) {
            return fail("no player start (@)");
        }
        if (trophyLine == 0) {
            return fail("no trophy (T)");
        }
        if (layout.redStarts.empty()) {
            return fail("no red block (R)" + range);
        }
        if (layout.blueStarts.empty()) {
            return fail("no blue block (B)" + range);
        }
        return true;
    }

    bool failHere(const std::string& what) {
        error = fileName + ":" + std::to_string(lineNumber) + ": " + what;
        return false;
    }

    bool fail(const std::string& what) {
        error = fileName + ": " + what;
        return false;
    }

    std::string fileName;
    std::string error;
    LevelFile level;
    int lineNumber = 0;
    bool sawContent = false;
    std::map<std::string, int, std::less<>> keyLines;
    int layers = 0;
    int rows = 0; // of the newest layer
    int playerLine = 0;
    int trophyLine = 0;
};

std::vector<std::string> drawnRows(const LevelLayout& layout) {
    const Cell size = layout.size;
    std::vector<std::string> rows(static_cast<std::size_t>(std::max(0, size.y * size.z)),
                                  std::string(static_cast<std::size_t>(std::max(0, size.x)), '.'));
    const auto mark = [&rows, size](Cell cell, char c) {
        const bool inside = cell.x >= 0 && cell.x < size.x && cell.y >= 0 && cell.y < size.y &&
                            cell.z >= 0 && cell.z < size.z;
        if (inside) {
            rows[static_cast<std::size_t>(cell.y * size.z + cell.z)][cell.x] = c;
        }
    };
    for (const auto& [cells, c] :
         {std::pair{&layout.obstacles, '#'}, {&layout.redStarts, 'R'}, {&layout.blueStarts, 'B'}}) {
        for (Cell cell : *cells) {
            mark(cell, c);
        }
    }
    mark(layout.trophyCell, 'T');
    mark(layout.playerStart, '@');
    return rows;
}

} // namespace

bool operator==(const LevelFile& a, const LevelFile& b) {
    return std::tie(a.title, a.author, a.par, a.layout) ==
           std::tie(b.title, b.author, b.par, b.layout);
}

LevelLoad parseLevelText(const std::string& text, const std::string& fileName) {
    return LevelParser(fileName).parse(text);
}

LevelLoad loadLevelFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code failure;
    const fs::file_status status = fs::status(path, failure);
    if (status.type() == fs::file_type::not_found) {
        return failedLoad(path + ": no such file");
    }
    if (failure) {
        return failedLoad(path + ": cannot read the file");
    }
    // A device or a pipe could feed the reader for ever.
    if (!fs::is_regular_file(status)) {
        return failedLoad(path + ": not a regular file");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        return failedLoad(path + ": cannot read the file");
    }
    return readLevelStream(in, path);
}

LevelLoad readLevelStream(std::istream& in, const std::string& name) {
    std::string text(levelFileByteLimit + 1, '\0'); // one byte more tells a text that is too large
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) {
        return failedLoad(name + ": cannot read the level");
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    return parseLevelText(text, name);
}

std::string formatLevelText(const LevelFile& level) {
    std::ostringstream out;
    out << "; . empty  # crate  R red block  B blue block  @ player start  T trophy\n";
    out << "title: " << level.title << '\n';
    if (!level.author.empty()) {
        out << "author: " << level.author << '\n';
    }
    const Cell size = level.layout.size;
    out << "size: " << size.x << ' ' << size.y << ' ' << size.z << '\n';
    if (level.par) {
        out << "par: " << *level.par << '\n';
    }
    const std::vector<std::string> rows = drawnRows(level.layout);
    for (int y = 0; y < size.y; ++y) {
        out << "\nlayer " << y << '\n';
        for (int z = 0; z < size.z; ++z) {
            out << rows[static_cast<std::size_t>(y * size.z + z)] << '\n';
        }
    }
    return out.str();
}

bool comesFirstInReading(Cell a, Cell b) {
    return std::tie(a.y, a.z, a.x) < std::tie(b.y, b.z, b.x);
}

LevelLayout inReadingOrder(LevelLayout layout) {
    for (std::vector<Cell>* cells : {&layout.redStarts, &layout.blueStarts, &layout.obstacles}) {
        std::sort(cells->begin(), cells->end(), comesFirstInReading);
    }
    return layout;
}

std::vector<std::string> levelFilesIn(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code failure;
    for (fs::directory_iterator entry(folder, failure), end; !failure && entry != end;
         entry.increment(failure)) {
        if (entry->path().extension() == ".level" && entry->is_regular_file(failure)) {
            files.push_back(entry->path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}
