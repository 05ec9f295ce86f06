// The command line: flags, unknown arguments and the usage text.
#include "app/options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Options, NoArgumentsPlaysFullScreen) {
    const char* argv[] = {"cellquest"};
    const Options options = parseOptions(1, argv);
    EXPECT_EQ(options.windowMode, WindowMode::fullScreen);
    EXPECT_FALSE(options.help);
    EXPECT_TRUE(options.error.empty());
}

TEST(Options, FlagsAndUnknownArguments) {
    const char* help[] = {"cellquest", "--help"};
    EXPECT_TRUE(parseOptions(2, help).help);
    const char* unknown[] = {"cellquest", "--windowed", "--fast"};
    const Options options = parseOptions(3, unknown);
    EXPECT_NE(options.error.find("--fast"), std::string::npos);
    EXPECT_NE(usageText("cellquest").find("Escape"), std::string::npos);
}

struct WindowFlags {
    std::vector<const char*> arguments;
    WindowMode mode;
    bool refused;
};

TEST(Options, WindowFlagsChooseOneModeAndRefuseTwoDifferentOnes) {
    const WindowFlags cases[] = {
        {{"--windowed"}, WindowMode::windowed, false},
        {{"--fullscreen-desktop"}, WindowMode::fullScreenDesktop, false},
        {{"--windowed", "--windowed"}, WindowMode::windowed, false},
        {{"--windowed", "--fullscreen-desktop"}, WindowMode::fullScreenDesktop, true},
        {{"--fullscreen-desktop", "--windowed"}, WindowMode::windowed, true},
    };
    for (const WindowFlags& flags : cases) {
        std::vector<const char*> argv{"cellquest"};
        argv.insert(argv.end(), flags.arguments.begin(), flags.arguments.end());
        const Options options = parseOptions(static_cast<int>(argv.size()), argv.data());
        const std::string given = flags.arguments.front() + std::string(" ...");
        EXPECT_EQ(options.error.empty(), !flags.refused) << given << ": " << options.error;
        if (!flags.refused) {
            EXPECT_EQ(options.windowMode, flags.mode) << given;
        }
    }
    const std::string usage = usageText("cellquest");
    for (const char* documented : {"--windowed", "--fullscreen-desktop", "F11"}) {
        EXPECT_NE(usage.find(documented), std::string::npos) << documented;
    }
}

} // namespace

namespace {

TEST(Options, LevelsAndCampaign) {
    const struct {
        std::vector<const char*> arguments;
        bool campaign;
        std::string folder;
        std::string error; // a part of the error, empty for none
    } cases[] = {
        {{"--campaign"}, true, "", ""},
        {{"--levels", "my/levels"}, true, "my/levels", ""},
        {{"--campaign", "--levels", "x"}, true, "x", ""},
        {{"--levels"}, true, "", "--levels needs a folder"},
        {{"--level", "a.level", "--campaign"}, true, "", "does not go with"},
        {{"--levels", "x", "--level", "a.level"}, true, "x", "does not go with"},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"cellquest"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const Options options = parseOptions(static_cast<int>(argv.size()), argv.data());
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        if (c.error.empty()) {
            EXPECT_EQ(options.error, "");
            EXPECT_EQ(options.campaign, c.campaign);
            EXPECT_EQ(options.levelsFolder, c.folder);
        } else {
            EXPECT_NE(options.error.find(c.error), std::string::npos) << options.error;
        }
    }
}

} // namespace

namespace {

struct EditFlags {
    std::vector<const char*> arguments;
    const char* file;
    bool refused;
};

TEST(Options, EditTakesOneFileAndGoesWithNoOtherLevels) {
    const EditFlags cases[] = {
        {{"--edit", "a.level"}, "a.level", false},
        {{"--windowed", "--edit", "a.level"}, "a.level", false},
        {{"--edit"}, "", true},
        {{"--edit", "a.level", "--level", "b.level"}, "a.level", true},
        {{"--menu", "--edit", "a.level"}, "a.level", true},
    };
    for (const EditFlags& flags : cases) {
        std::vector<const char*> argv{"cellquest"};
        argv.insert(argv.end(), flags.arguments.begin(), flags.arguments.end());
        const Options options = parseOptions(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(options.error.empty(), !flags.refused) << argv.size() << ": " << options.error;
        if (!flags.refused) {
            EXPECT_EQ(options.editFile, flags.file);
        }
    }
    EXPECT_NE(usageText("cellquest").find("--edit FILE"), std::string::npos);
}

} // namespace
