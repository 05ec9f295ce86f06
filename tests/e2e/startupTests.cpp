// Starting and ending the game as a player does: the window, the flags, the
// fatal start-up failures and the exit statuses.
#include "driver/gameLauncher.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

const Seconds startTimeout(120);
const Seconds exitTimeout(60);
// Without the window system the game must end at once; this only guards
// against a game that waits for a key.
const Seconds fatalTimeout(30);

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// xwininfo tells whether the window bypasses the window manager, as a
// full-screen window does on a display without one.
std::string overrideRedirectState(const std::string& windowId) {
    const CommandResult info = runCommand({"xwininfo", "-id", windowId}, Seconds(20));
    const std::string label = "Override Redirect State: ";
    const std::size_t at = info.output.find(label);
    if (at == std::string::npos) {
        return "";
    }
    const std::size_t start = at + label.size();
    return info.output.substr(start, info.output.find('\n', start) - start);
}

// The game keeps drawing frames, one trace line each, while nobody touches it.
void expectKeepsRunning(GameProcess& game) {
    const std::size_t before = game.traceLineCount();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    ASSERT_TRUE(game.waitForTraceLine(before + 5, startTimeout))
        << "the game stopped writing trace lines";
    EXPECT_TRUE(game.running());
}

TEST(Startup, opensFullScreenWindowRunsAndEscapeEndsWithStatusZero) {
    GameProcess game;
    ASSERT_EQ(startFocusedGame(game, LaunchOptions(), startTimeout), "");
    const auto geometry = game.windowGeometry();
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 1024);
    EXPECT_EQ(geometry->height, 768);
    EXPECT_EQ(geometry->x, 0);
    EXPECT_EQ(geometry->y, 0);
    EXPECT_EQ(overrideRedirectState(*game.windowId()), "yes");
    expectKeepsRunning(game);

    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
    EXPECT_EQ(game.err().text(), "");
}

TEST(Startup, windowedFlagOpensOrdinaryWindowThatRuns) {
    GameProcess game;
    LaunchOptions options;
    options.arguments = {"--windowed"};
    ASSERT_EQ(startFocusedGame(game, options, startTimeout), "");
    const auto geometry = game.windowGeometry();
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, 1024);
    EXPECT_EQ(geometry->height, 768);
    EXPECT_EQ(overrideRedirectState(*game.windowId()), "no");
    expectKeepsRunning(game);
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
}

// The flags are read before the window system is touched, so neither needs a
// display.
TEST(Startup, helpPrintsUsageAndControlsWithStatusZero) {
    GameProcess game;
    LaunchOptions options;
    options.arguments = {"--help"};
    options.environment["DISPLAY"] = std::nullopt;
    ASSERT_TRUE(game.start(options)) << game.error();
    EXPECT_EQ(game.waitForExit(exitTimeout), exitedWith(0));
    const std::string usage = game.out().text();
    EXPECT_TRUE(contains(usage, "Usage:")) << usage;
    EXPECT_TRUE(contains(usage, "--windowed")) << usage;
    for (const char* control : {"W", "S", "A", "D", "Q", "E", "F2", "F3", "F8", "Escape"}) {
        EXPECT_TRUE(contains(usage, control)) << "no " << control << " in\n" << usage;
    }
    EXPECT_EQ(game.traceLineCount(), 0u);
    EXPECT_EQ(game.err().text(), "");
}

TEST(Startup, unknownFlagPrintsUsageOnErrorStreamWithStatusTwo) {
    GameProcess game;
    LaunchOptions options;
    options.arguments = {"--level=7"};
    options.environment["DISPLAY"] = std::nullopt;
    ASSERT_TRUE(game.start(options)) << game.error();
    EXPECT_EQ(game.waitForExit(exitTimeout), exitedWith(2));
    EXPECT_TRUE(contains(game.err().text(), "Usage:")) << game.err().text();
    EXPECT_TRUE(contains(game.err().text(), "--level=7")) << game.err().text();
    EXPECT_EQ(game.out().text(), "");
}

TEST(Startup, unknownFlagAfterAKnownOneIsStillRefused) {
    GameProcess game;
    LaunchOptions options;
    options.arguments = {"--windowed", "extra"};
    options.environment["DISPLAY"] = std::nullopt;
    ASSERT_TRUE(game.start(options)) << game.error();
    EXPECT_EQ(game.waitForExit(exitTimeout), exitedWith(2));
    EXPECT_TRUE(contains(game.err().text(), "Usage:")) << game.err().text();
}

// With stdin at /dev/null nobody can press a key, so the fatal pause must not
// wait: the game reports and ends with status 1.
class WithoutDisplay : public ::testing::TestWithParam<std::optional<std::string>> {};

TEST_P(WithoutDisplay, windowSystemFailureIsReportedAndEndsWithStatusOne) {
    GameProcess game;
    LaunchOptions options;
    options.environment["DISPLAY"] = GetParam();
    options.environment["WAYLAND_DISPLAY"] = std::nullopt;
    ASSERT_TRUE(game.start(options)) << game.error();
    EXPECT_EQ(game.waitForExit(fatalTimeout), exitedWith(1));
    const std::vector<std::string> errors = game.err().lines();
    EXPECT_TRUE(std::find(errors.begin(), errors.end(), "glfw init failed") != errors.end())
        << game.err().text();
    EXPECT_EQ(game.traceLineCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Startup, WithoutDisplay,
                         ::testing::Values(std::nullopt, std::optional<std::string>(":7913")),
                         [](const auto& info) {
                             return info.param ? std::string("absentDisplay")
                                               : std::string("unsetDisplay");
                         });

} // namespace
