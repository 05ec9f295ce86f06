// The command line: flags, unknown arguments and the usage text.
#include "app/options.h"

#include <gtest/gtest.h>

namespace {

TEST(Options, NoArgumentsPlaysFullScreen) {
    const char* argv[] = {"cellquest"};
    const Options options = parseOptions(1, argv);
    EXPECT_FALSE(options.windowed);
    EXPECT_FALSE(options.help);
    EXPECT_TRUE(options.error.empty());
}

TEST(Options, FlagsAndUnknownArguments) {
    const char* windowed[] = {"cellquest", "--windowed"};
    EXPECT_TRUE(parseOptions(2, windowed).windowed);
    const char* help[] = {"cellquest", "--help"};
    EXPECT_TRUE(parseOptions(2, help).help);
    const char* unknown[] = {"cellquest", "--windowed", "--fast"};
    const Options options = parseOptions(3, unknown);
    EXPECT_NE(options.error.find("--fast"), std::string::npos);
    EXPECT_NE(usageText("cellquest").find("Escape"), std::string::npos);
}

} // namespace
