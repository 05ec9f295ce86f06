#include "app/assetLocation.h"

#include <filesystem>
#include <system_error>

#ifndef CELLQUEST_INSTALLED_DATA_DIR
#error "CELLQUEST_INSTALLED_DATA_DIR names the folder the assets are installed to"
#endif

namespace {

namespace fs = std::filesystem;

// Empty when the link cannot be read (no /proc): the search then skips it.
std::string executableFolder() {
    std::error_code failure;
    const fs::path executable = fs::read_symlink("/proc/self/exe", failure);
    return failure ? std::string() : executable.parent_path().string();
}

std::string workingDirectory() {
    std::error_code failure;
    const fs::path current = fs::current_path(failure);
    return failure ? std::string(".") : current.string();
}

} // namespace

std::optional<AssetRoot> locateAssets(std::ostream& errors) {
    const auto candidates = assetFolderCandidates(executableFolder(), CELLQUEST_INSTALLED_DATA_DIR);
    const auto root = findAssetRoot(candidates, [](const std::string& path) {
        std::error_code failure;
        return fs::is_directory(path, failure);
    });
    if (!root) {
        errors << assetsNotFoundMessage(candidates, workingDirectory()) << std::endl;
    }
    return root;
}
