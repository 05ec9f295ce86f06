// A campaign folder: its level files in name order, and entries that cannot
// be read skipped with a line each instead of ending the scan.
#include "core/scratchFolder.h"
#include "game/campaign.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <unistd.h>

namespace {

const char* const smallLevel = "title: Small\nsize: 3 2 2\nlayer 0\n@.T\nR.B\nlayer 1\n...\n...\n";

std::vector<std::string> namesOf(const std::vector<CampaignLevel>& levels) {
    std::vector<std::string> names;
    for (const CampaignLevel& level : levels) {
        names.push_back(level.name);
    }
    return names;
}

// Links whose target cannot be looked at: one to nothing, one to itself.
TEST(CampaignFolder, EntriesThatCannotBeReadAreSkippedWithALineEach) {
    const ScratchFolder scratch("cellquestCampaign.");
    std::vector<std::string> expected;
    for (int i = 0; i < 12; ++i) {
        const std::string name = "level-" + std::to_string(10 + i) + ".level";
        scratch.write(name, smallLevel);
        expected.push_back(name);
    }
    const std::string dangling = scratch.path("level-15a.level");
    const std::string looping = scratch.path("level-17a.level");
    ASSERT_EQ(symlink(scratch.path("gone.level").c_str(), dangling.c_str()), 0);
    ASSERT_EQ(symlink(looping.c_str(), looping.c_str()), 0);

    std::ostringstream errors;
    const CampaignLoad load = loadCampaignFolder(scratch.folder(), errors);
    EXPECT_EQ(load.error, "");
    EXPECT_EQ(namesOf(load.levels), expected);
    const std::string lines = errors.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;
    for (const std::string& skipped : {dangling, looping}) {
        EXPECT_NE(lines.find(skipped + ":"), std::string::npos) << lines;
    }
}

} // namespace
