// The asset-folder search: which candidate wins for each set of folders that
// hold shaders/, and the message naming every folder tried.
#include "core/assetFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct SearchCase {
    const char* name;
    const char* executableFolder;
    std::set<std::string> foldersPresent;
    std::optional<std::string> expectedRoot; // nothing: no candidate holds the assets
};

std::ostream& operator<<(std::ostream& out, const SearchCase& search) {
    return out << search.name;
}

const SearchCase searchCases[] = {
    {"workingDirectoryBeatsEverything",
     "/opt/game/bin",
     {"shaders", "/opt/game/bin/shaders", "/usr/share/cellquest/shaders"},
     std::string("")},
    {"executableFolderBeforeItsShare",
     "/opt/game/bin",
     {"/opt/game/bin/shaders", "/opt/game/bin/../share/cellquest/shaders"},
     std::string("/opt/game/bin")},
    {"shareBesideExecutableBeforeInstalled",
     "/opt/game/bin",
     {"/opt/game/bin/../share/cellquest/shaders", "/usr/share/cellquest/shaders"},
     std::string("/opt/game/bin/../share/cellquest")},
    {"installedFolderLast",
     "/opt/game/bin",
     {"/usr/share/cellquest/shaders"},
     std::string("/usr/share/cellquest")},
    {"unknownExecutableFolderSkipsItsCandidates",
     "",
     {"/shaders", "/../share/cellquest/shaders", "/usr/share/cellquest/shaders"},
     std::string("/usr/share/cellquest")},
    {"otherFoldersDoNotCount", "/opt/game/bin", {"objects", "/opt/game/bin/fonts"}, std::nullopt},
};

class AssetSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(AssetSearch, firstCandidateHoldingShadersWins) {
    const SearchCase& search = GetParam();
    const auto candidates = assetFolderCandidates(search.executableFolder, "/usr/share/cellquest");
    const auto root = findAssetRoot(candidates, [&](const std::string& path) {
        return search.foldersPresent.count(path) == 1;
    });
    ASSERT_EQ(root.has_value(), search.expectedRoot.has_value());
    if (root) {
        EXPECT_EQ(root->folder(), *search.expectedRoot);
    }
}

INSTANTIATE_TEST_SUITE_P(AssetFolder, AssetSearch, ::testing::ValuesIn(searchCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AssetFolder, rootInWorkingDirectoryKeepsRelativeNamesOthersArePrefixed) {
    EXPECT_EQ(AssetRoot().path("shaders/basic.vert"), "shaders/basic.vert");
    EXPECT_EQ(AssetRoot("/usr/share/cellquest").path("fonts/arial.ttf"),
              "/usr/share/cellquest/fonts/arial.ttf");
}

TEST(AssetFolder, messageIsOneLineNamingEveryFolderInOrder) {
    const auto candidates = assetFolderCandidates("/opt/game/bin", "/usr/share/cellquest");
    const std::string message = assetsNotFoundMessage(candidates, "/home/player");
    EXPECT_EQ(message.find('\n'), std::string::npos);
    std::size_t previous = 0;
    for (const std::string& folder :
         {std::string("/home/player (the working directory)"), std::string("/opt/game/bin, "),
          std::string("/opt/game/bin/../share/cellquest"), std::string("/usr/share/cellquest")}) {
        const std::size_t at = message.find(folder, previous);
        ASSERT_NE(at, std::string::npos) << folder << " missing or out of order in " << message;
        previous = at + folder.size();
    }
}

} // namespace
