// Where the game's run-time assets (shaders/, objects/, fonts/ and the
// images) are: the first of a list of candidate folders that holds shaders/.
// Pure logic over the candidates and a test for a folder's presence, so it is
// the same for the game, whatever the file system, and for its tests.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The folder the assets are read from. The working directory is the empty
// folder: its files keep the relative names they always had ("shaders/..."),
// so nothing the game prints about them changes when it is run from there.
class AssetRoot {
  public:
    AssetRoot() = default;
    explicit AssetRoot(std::string folder) : root(std::move(folder)) {}

    const std::string& folder() const { return root; }
    std::string path(const std::string& relative) const {
        return root.empty() ? relative : root + "/" + relative;
    }

  private:
    std::string root;
};

// The sub-folder that marks a folder as the one holding the assets.
inline constexpr const char* assetMarkerFolder = "shaders";

// The folders to try, in order: the working directory (""), the executable's
// folder and its ../share/cellquest (both left out when the executable's
// folder is unknown, ""), then the folder the assets are installed to.
std::vector<std::string> assetFolderCandidates(const std::string& executableFolder,
                                               const std::string& installedFolder);

// The first candidate for which holdsFolder(candidate's shaders/) is true.
std::optional<AssetRoot>
findAssetRoot(const std::vector<std::string>& candidates,
              const std::function<bool(const std::string& path)>& holdsFolder);

// The one line telling that no candidate holds the assets, naming them all;
// the working directory is named by workingDirectory.
std::string assetsNotFoundMessage(const std::vector<std::string>& candidates,
                                  const std::string& workingDirectory);
