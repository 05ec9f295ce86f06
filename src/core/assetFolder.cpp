#include "core/assetFolder.h"

std::vector<std::string> assetFolderCandidates(const std::string& executableFolder,
                                               const std::string& installedFolder) {
    std::vector<std::string> candidates{""};
    if (!executableFolder.empty()) {
        candidates.push_back(executableFolder);
        candidates.push_back(executableFolder + "/../share/cellquest");
    }
    candidates.push_back(installedFolder);
    return candidates;
}

std::optional<AssetRoot>
findAssetRoot(const std::vector<std::string>& candidates,
              const std::function<bool(const std::string& path)>& holdsFolder) {
    for (const std::string& candidate : candidates) {
        const AssetRoot root(candidate);
        if (holdsFolder(root.path(assetMarkerFolder))) {
            return root;
        }
    }
    return std::nullopt;
}

std::string assetsNotFoundMessage(const std::vector<std::string>& candidates,
                                  const std::string& workingDirectory) {
    std::string message = std::string("cannot find the game's assets (a folder holding ") +
                          assetMarkerFolder + "/); looked in:";
    const char* separator = " ";
    for (const std::string& candidate : candidates) {
        message += separator;
        message += candidate.empty() ? workingDirectory + " (the working directory)" : candidate;
        separator = ", ";
    }
    return message;
}
