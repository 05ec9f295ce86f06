// The game's run-time assets seen from outside: every shader source echoed
// before it compiles, fatal shader failures, and missing or broken images,
// models and font that the game reports and plays on without. Each fault test
// runs the game in a copy of the assets with one file removed or replaced.
#include "driver/gameLauncher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

const Seconds startTimeout(120);
const Seconds exitTimeout(60);
const Seconds fatalTimeout(60);

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

bool hasLine(const LineLog& log, const std::string& expected) {
    const std::vector<std::string> lines = log.lines();
    return std::find(lines.begin(), lines.end(), expected) != lines.end();
}

bool hasLineStartingWith(const LineLog& log, const std::string& prefix) {
    const std::vector<std::string> lines = log.lines();
    return std::any_of(lines.begin(), lines.end(), [&prefix](const std::string& line) {
        return line.compare(0, prefix.size(), prefix) == 0;
    });
}

// The echo is the file read line by line, each line ending in "\n".
std::string echoedSource(const std::string& fileText) {
    std::istringstream in(fileText);
    std::string echoed;
    for (std::string line; std::getline(in, line);) {
        echoed += line + "\n";
    }
    return echoed;
}

std::string testName(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
}

LaunchOptions inCopy(const AssetCopy& assets) {
    LaunchOptions options;
    options.workingDir = assets.path();
    return options;
}

// Runs the game in the copy until it has drawn a few frames, then quits it
// with Escape; the fault must neither stop nor crash it.
void expectPlaysOn(GameProcess& game, const AssetCopy& assets) {
    ASSERT_EQ(startFocusedGame(game, inCopy(assets), startTimeout), "");
    EXPECT_TRUE(game.waitForTraceLine(10, startTimeout)) << "the game stopped drawing";
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
}

// A fatal start-up failure: status 1 at once (stdin is /dev/null, so the
// pause must not wait) and not a single frame.
void expectFatal(GameProcess& game, const AssetCopy& assets) {
    ASSERT_TRUE(game.start(inCopy(assets))) << game.error();
    EXPECT_EQ(game.waitForExit(fatalTimeout), exitedWith(1));
    EXPECT_EQ(game.traceLineCount(), 0u);
}

TEST(ShaderEcho, everySourceIsEchoedBeforeTheFirstFrame) {
    GameProcess game;
    ASSERT_EQ(startFocusedGame(game, LaunchOptions(), startTimeout), "");
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
    const std::string output = game.out().text();
    const std::size_t firstFrame = output.find(formatTraceLine({{5, 7, 9}, {0, 7, 3}, {1, 3, 4}}));
    ASSERT_NE(firstFrame, std::string::npos);
    AssetCopy sources;
    ASSERT_TRUE(sources.valid());
    for (const std::string& shader : shaderFiles()) {
        const std::string echoed = echoedSource(sources.read(shader));
        ASSERT_FALSE(echoed.empty()) << shader << " is empty";
        const std::size_t at = output.find(echoed);
        EXPECT_NE(at, std::string::npos) << shader << " was not echoed";
        EXPECT_LT(at, firstFrame) << shader << " was echoed after the first frame";
    }
}

class MissingShader : public ::testing::TestWithParam<std::string> {};

TEST_P(MissingShader, isFatalAndNamesThePath) {
    AssetCopy assets;
    ASSERT_TRUE(assets.valid());
    ASSERT_TRUE(assets.remove(GetParam()));
    GameProcess game;
    expectFatal(game, assets);
    EXPECT_TRUE(hasLine(game.err(), "failed to open shader file: " + GetParam()))
        << game.err().text();
}

INSTANTIATE_TEST_SUITE_P(AssetFaults, MissingShader, ::testing::ValuesIn(shaderFiles()),
                         [](const auto& info) { return testName(info.param); });

// A source that does not compile: the message, then the driver's log on the
// next line; its text was echoed before the compile.
TEST(AssetFaults, brokenShaderIsFatalWithTheCompileLog) {
    AssetCopy assets;
    ASSERT_TRUE(assets.valid());
    const std::string broken = "#version 330 core\nthis line is not glsl;\n";
    ASSERT_TRUE(assets.write("shaders/blur.frag", broken));
    GameProcess game;
    expectFatal(game, assets);
    const std::vector<std::string> errors = game.err().lines();
    const auto message = std::find(errors.begin(), errors.end(), "failed to compile shader");
    ASSERT_NE(message, errors.end()) << game.err().text();
    ASSERT_NE(message + 1, errors.end()) << "no compile log after the message";
    EXPECT_FALSE((message + 1)->empty()) << "empty compile log";
    EXPECT_TRUE(contains(game.out().text(), broken));
}

// Both shaders compile but the program has no entry point in its fragment
// stage, which only the link finds.
TEST(AssetFaults, shaderThatDoesNotLinkIsFatal) {
    AssetCopy assets;
    ASSERT_TRUE(assets.valid());
    ASSERT_TRUE(assets.write("shaders/lamp.frag", "#version 330 core\nvoid helper() {}\n"));
    GameProcess game;
    expectFatal(game, assets);
    EXPECT_TRUE(hasLine(game.err(), "failed to link shader program")) << game.err().text();
}

TEST(AssetFaults, missingFontIsReportedAndTheGamePlaysOn) {
    AssetCopy assets;
    ASSERT_TRUE(assets.valid());
    ASSERT_TRUE(assets.remove("fonts/arial.ttf"));
    GameProcess game;
    expectPlaysOn(game, assets);
    EXPECT_TRUE(hasLine(game.out(), "ERROR::FREETYPE: Failed to load font")) << game.out().text();
}

TEST(AssetFaults, fontThatIsNotAFontIsReportedAndTheGamePlaysOn) {
    AssetCopy assets;
    ASSERT_TRUE(assets.valid());
    ASSERT_TRUE(assets.write("fonts/arial.ttf", std::string(4096, '\x7f')));
    GameProcess game;
    expectPlaysOn(game, assets);
    EXPECT_TRUE(hasLine(game.out(), "ERROR::FREETYPE: Failed to load font")) << game.out().text();
}

class BadImage : public ::testing::TestWithParam<std::string> {};

TEST_P(BadImage, missingImageIsReportedAndTheGamePlaysOn) {
    AssetCopy assets;
    ASSERT_TRUE(assets.valid());
    ASSERT_TRUE(assets.remove(GetParam()));
    GameProcess game;
    expectPlaysOn(game, assets);
    const std::string report = "failed to load texture: " + GetParam();
    EXPECT_TRUE(hasLineStartingWith(game.out(), report) || hasLineStartingWith(game.err(), report))
        << game.err().text();
}

// A file that claims to be an image but holds garbage must not crash the
// decoder or hand undefined sizes to the GPU.
TEST_P(BadImage, corruptImageIsReportedAndTheGamePlaysOn) {
    AssetCopy assets;
    ASSERT_TRUE(assets.valid());
    std::string garbage = assets.read(GetParam()).substr(0, 64);
    garbage += std::string(1024, '\xff');
    ASSERT_TRUE(assets.write(GetParam(), garbage));
    GameProcess game;
    expectPlaysOn(game, assets);
    const std::string report = "failed to load texture: " + GetParam();
    EXPECT_TRUE(hasLineStartingWith(game.out(), report) || hasLineStartingWith(game.err(), report))
        << game.err().text();
}

INSTANTIATE_TEST_SUITE_P(AssetFaults, BadImage,
                         ::testing::Values("container2.png", "container2_specular.png",
                                           "tilewall.jpg"),
                         [](const auto& info) { return testName(info.param); });

class MissingModel : public ::testing::TestWithParam<std::string> {};

TEST_P(MissingModel, isReportedAndTheGamePlaysOn) {
    AssetCopy assets;
    ASSERT_TRUE(assets.valid());
    ASSERT_TRUE(assets.remove(GetParam()));
    GameProcess game;
    expectPlaysOn(game, assets);
    EXPECT_TRUE(hasLineStartingWith(game.out(), "ASSIMP-ERROR: ")) << game.out().text();
}

INSTANTIATE_TEST_SUITE_P(AssetFaults, MissingModel,
                         ::testing::Values("objects/trophy.obj", "objects/star.obj"),
                         [](const auto& info) { return testName(info.param); });

// Garbage where a model should be: whatever the importer makes of it, the
// game must not crash.
TEST(AssetFaults, garbageModelDoesNotStopTheGame) {
    AssetCopy assets;
    ASSERT_TRUE(assets.valid());
    std::string garbage = "v 1 2\nf 1 99 -7\nvt\nusemtl nowhere\nmtllib ../../etc/passwd\n";
    garbage += std::string(512, '\x01');
    ASSERT_TRUE(assets.write("objects/trophy.obj", garbage));
    GameProcess game;
    expectPlaysOn(game, assets);
}

} // namespace
