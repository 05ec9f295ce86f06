// Assimp 5.2.5 writes every texture statement of a material library, and its
// anisotropy value, into the material opened last; before the first newmtl
// there is none and the import dies on a null pointer. This check reads the
// libraries first and refuses such files, so a bad asset costs one console
// line instead of the game.
#include "assets/objGuard.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

// Assimp 5.2.5 converts an opened library to UTF-8 and throws on 1 to 7 bytes
// before it closes the file again: the import fails either way, and refusing
// such a library first keeps the importer from losing the open file.
constexpr std::size_t smallestReadableLibrary = 8;

// The characters that end a line for Assimp's OBJ and MTL readers.
bool endsLine(char c) {
    return c == '\n' || c == '\r' || c == '\f' || c == '\0';
}

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::vector<std::string> splitLines(const std::string& text) {
    static const std::string byteOrderMark = "\xef\xbb\xbf";
    const std::size_t start = text.compare(0, 3, byteOrderMark) == 0 ? 3 : 0;
    std::vector<std::string> lines(1);
    for (std::size_t i = start; i < text.size(); ++i) {
        if (endsLine(text[i])) {
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trimmed(const std::string& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string firstWord(const std::string& line) {
    const std::string text = trimmed(line);
    return text.substr(0, std::find_if(text.begin(), text.end(), isBlank) - text.begin());
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// What a statement that needs an open material sets ("texture" or
// "anisotropy"), or nothing. Deliberately wide: any case, any indentation, and
// the keyword prefixes that Assimp matches (it reads "bumpy" as "bump", and
// "a0.5" as "a" with its value). Refusing a file that Assimp would have
// survived only costs a model, never the process.
std::string materialStatementKind(const std::string& word) {
    const std::string lower = lowerCase(word);
    for (const char* keyword : {"map_", "bump", "disp", "decal", "refl", "norm"}) {
        if (startsWith(lower, keyword)) {
            return "texture";
        }
    }
    return startsWith(lower, "a") ? "anisotropy" : std::string();
}

// Deliberately narrow: only the exact keyword at the start of the line, which
// Assimp certainly reads as a new material.
bool opensMaterial(const std::string& line) {
    return startsWith(line, "newmtl") && (line.size() == 6 || line[6] == ' ' || line[6] == '\t');
}

bool readRegularFile(const std::string& path, std::string& text) {
    std::error_code error;
    // Devices and pipes could block or never end; Assimp reads files only.
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream stream(text);
    return std::vector<std::string>(std::istream_iterator<std::string>(stream),
                                    std::istream_iterator<std::string>());
}

void addLibraryName(const std::string& folder, const std::string& name,
                    std::vector<std::string>& candidates) {
    std::vector<std::string> paths = {folder + name};
    if (startsWith(name, "/")) {
        paths.push_back(name);
    }
    for (const std::string& path : paths) {
        if (std::find(candidates.begin(), candidates.end(), path) == candidates.end()) {
            candidates.push_back(path);
        }
    }
}

// Assimp takes the whole rest of the line as one name; other readers split it
// into several. Both readings are checked.
bool addNamesOfLibraryLine(const std::string& line, const std::string& folder,
                           std::vector<std::string>& candidates) {
    const std::string text = trimmed(line);
    if (!startsWith(lowerCase(text), "mtllib")) {
        return false;
    }
    const std::string rest = trimmed(text.substr(6));
    if (!rest.empty()) {
        addLibraryName(folder, rest, candidates);
    }
    for (const std::string& name : words(rest)) {
        addLibraryName(folder, name, candidates);
    }
    return true;
}

std::string fallbackLibrary(const std::string& objPath) {
    return objPath.size() < 3 ? objPath + "mtl" : objPath.substr(0, objPath.size() - 3) + "mtl";
}

} // namespace

std::string mtlTextHazard(const std::string& mtlText) {
    if (!mtlText.empty() && mtlText.size() < smallestReadableLibrary) {
        return "only " + std::to_string(mtlText.size()) + " bytes long; the importer needs " +
               std::to_string(smallestReadableLibrary);
    }
    const std::vector<std::string> lines = splitLines(mtlText);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (opensMaterial(lines[i])) {
            return std::string();
        }
        const std::string word = firstWord(lines[i]);
        const std::string kind = materialStatementKind(word);
        if (!kind.empty()) {
            return kind + " statement \"" + word + "\" on line " + std::to_string(i + 1) +
                   " comes before the first newmtl";
        }
    }
    return std::string();
}

std::vector<std::string> materialLibraryCandidates(const std::string& objPath,
                                                   const std::string& objText) {
    const std::string folder = folderOf(objPath);
    std::vector<std::string> candidates;
    bool namesLibrary = false;
    for (const std::string& line : splitLines(objText)) {
        namesLibrary = addNamesOfLibraryLine(line, folder, candidates) || namesLibrary;
    }
    if (namesLibrary) {
        addLibraryName("", fallbackLibrary(objPath), candidates);
    }
    return candidates;
}

std::string objImportHazard(const std::string& objPath) {
    std::string objText;
    if (!readRegularFile(objPath, objText)) {
        return std::string(); // the importer reports a missing or unreadable file itself
    }
    for (const std::string& library : materialLibraryCandidates(objPath, objText)) {
        std::string mtlText;
        if (!readRegularFile(library, mtlText)) {
            continue; // a missing library is skipped by the importer
        }
        const std::string reason = mtlTextHazard(mtlText);
        if (!reason.empty()) {
            return "material library " + library + ": " + reason;
        }
    }
    return std::string();
}
