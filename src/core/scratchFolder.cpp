#include "core/scratchFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const char* prefix) {
    std::error_code failure;
    std::string pattern = (fs::temp_directory_path(failure) / (std::string(prefix) + "XXXXXX")).string();
    if (!failure && mkdtemp(pattern.data()) != nullptr) {
        root = pattern;
    }
}

ScratchFolder::ScratchFolder(FixedRoot, const std::string& fixedRoot) : root(fixedRoot) {
    std::error_code ignored;
    fs::create_directories(root, ignored);
}

ScratchFolder ScratchFolder::at(const std::string& fixedRoot) {
    return ScratchFolder(FixedRoot{}, fixedRoot);
}

ScratchFolder::ScratchFolder(ScratchFolder&& other) noexcept : root(std::move(other.root)) {
    other.root.clear();
}

ScratchFolder::~ScratchFolder() {
    if (valid()) {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
}

std::string ScratchFolder::write(const std::string& name, const std::string& bytes) const {
    const std::string target = path(name);
    std::error_code ignored;
    fs::create_directories(fs::path(target).parent_path(), ignored);
    std::ofstream(target, std::ios::binary) << bytes;
    return target;
}
