// The window's picture at sizes other than the game's 1024 x 768, read off
// the X screen of a virtual server larger than that (1600 x 1000, not 4:3 as
// the game's own picture is): the picture fills a resized window to every
// edge, the blocks stand where the camera's projection at the window's aspect
// puts them, and the game goes on drawing; F11 and --fullscreen-desktop fill
// the whole screen.
#include "driver/gameLauncher.h"
#include "world/cell.h"
#include "world/levelLayout.h"

#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include <cstdlib>
#include <iostream>
#include <thread>
#include <tuple>

namespace {

const Seconds startTimeout(120);
const Seconds frameTimeout(60);
const Seconds exitTimeout(60);
// Frames drawn after a change of size before the picture is read: the first
// few may still show the old size.
constexpr std::size_t settleFrames = 10;

// What the game clears its picture with, (0.2, 0.3, 0.4): where it shows at
// an edge, the picture does not reach it.
bool isClearColour(Rgb p) {
    return std::abs(p.red - 51) <= 3 && std::abs(p.green - 76) <= 3 && std::abs(p.blue - 102) <= 3;
}
// The root window behind the game's, or a frame never drawn.
bool isBlack(Rgb p) {
    return p.red + p.green + p.blue < 12;
}
// The outermost two rows and columns of the window show the scene: neither
// the clear colour nor black anywhere along them.
void expectPictureReachesEveryEdge(const Screenshot& screen, const WindowGeometry& window) {
    const PixelTest scene = [](Rgb p) { return !isClearColour(p) && !isBlack(p); };
    const int right = window.x + window.width - 2;
    const int bottom = window.y + window.height - 2;
    const std::pair<const char*, ScreenBox> edges[] = {
        {"top", {window.x, window.y, window.width, 2}},
        {"bottom", {window.x, bottom, window.width, 2}},
        {"left", {window.x, window.y, 2, window.height}},
        {"right", {right, window.y, 2, window.height}},
    };
    for (const auto& [name, box] : edges) {
        EXPECT_GE(screen.share(box, scene), 0.99)
            << "a band of background at the " << name << " edge of the " << window.width << " x "
            << window.height << " window";
    }
}

// Where a cell's centre lands in the window, in pixels from its top left,
// for the camera at the level's start (looking down -z, 45 degrees high)
// and the window's aspect; nothing when it is behind the camera.
std::optional<glm::ivec2> projectedCentre(Cell cell, const WindowGeometry& window) {
    const glm::vec3 eye = cellCorner(builtInLayout().playerStart);
    const glm::mat4 view = glm::lookAt(eye, eye + glm::vec3(0, 0, -1), glm::vec3(0, 1, 0));
    const glm::mat4 projection = glm::perspective(
        glm::radians(45.0f), float(window.width) / float(window.height), 0.1f, 100.0f);
    const glm::vec4 clip = projection * view * glm::vec4(cellCentre(cell), 1.0f);
    if (clip.w <= 0.0f) {
        return std::nullopt;
    }
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2(int((ndc.x + 1.0f) * 0.5f * window.width),
                      int((1.0f - ndc.y) * 0.5f * window.height));
}

struct Landmark {
    const char* name;
    Cell cell;
    PixelTest looksRight;
};

// The two red blocks in front of the start and the three crates of the row
// at the far wall: the crates sit far enough to the left that a picture at
// the wrong aspect puts their centres on the floor.
const Landmark landmarks[] = {
    {"red block (4,7,7)", {4, 7, 7}, isBlockRed}, {"red block (5,7,7)", {5, 7, 7}, isBlockRed},
    {"crate (0,4,0)", {0, 4, 0}, isCrateWood},    {"crate (1,4,0)", {1, 4, 0}, isCrateWood},
    {"crate (2,4,0)", {2, 4, 0}, isCrateWood},
};

// A box around each centre, most of it of the landmark's colour: the
// fountain's particles, spawned at random, may cover a few of its pixels.
void expectBlocksWhereProjected(const Screenshot& screen, const WindowGeometry& window) {
    constexpr int half = 4;
    for (const Landmark& landmark : landmarks) {
        const auto centre = projectedCentre(landmark.cell, window);
        ASSERT_TRUE(centre) << landmark.name;
        const int x = window.x + centre->x;
        const int y = window.y + centre->y;
        ASSERT_TRUE(x >= half && y >= half && x < screen.width - half && y < screen.height - half)
            << landmark.name << " projects outside the screen";
        const double share = screen.share(ScreenBox{x - half, y - half, 2 * half + 1, 2 * half + 1},
                                          landmark.looksRight);
        EXPECT_GE(share, 0.5) << landmark.name << " is not at (" << centre->x << ", " << centre->y
                              << ") of the " << window.width << " x " << window.height << " window";
    }
}

// A few frames drawn after the change, then the screen.
Screenshot screenAfterChange(const GameProcess& game) {
    const std::optional<Screenshot> screen = screenAfterFrames(game, settleFrames, frameTimeout);
    EXPECT_TRUE(screen) << "the game stopped drawing after the window changed";
    return screen.value_or(Screenshot());
}

WindowGeometry waitForGeometry(GameProcess& game, int width, int height) {
    WindowGeometry geometry;
    for (int attempt = 0; attempt < 100; ++attempt) {
        geometry = game.windowGeometry().value_or(WindowGeometry());
        if (geometry.width == width && geometry.height == height) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(geometry.width, width);
    EXPECT_EQ(geometry.height, height);
    return geometry;
}

void expectFilledPicture(GameProcess& game, int width, int height) {
    const WindowGeometry window = waitForGeometry(game, width, height);
    const Screenshot screen = screenAfterChange(game);
    ASSERT_GT(screen.width, 0);
    expectPictureReachesEveryEdge(screen, window);
    expectBlocksWhereProjected(screen, window);
    if (::testing::Test::HasFailure()) {
        const std::string path = buildPath("windowSize-" + std::to_string(width) + "x" +
                                           std::to_string(height) + ".png");
        std::cout << "screen saved as " << path << (screen.savePng(path) ? "" : " (failed)")
                  << std::endl;
    }
}

TEST(WindowSize, resizedWindowIsFilledWithTheSceneAtItsAspectAndF11SwitchesFullScreen) {
    GameProcess game;
    LaunchOptions options;
    options.arguments = {"--windowed"};
    ASSERT_EQ(startFocusedGame(game, options, startTimeout), "");
    expectFilledPicture(game, 1024, 768);
    for (const glm::ivec2 size : {glm::ivec2(800, 600), glm::ivec2(1280, 720)}) {
        ASSERT_TRUE(game.resizeWindow(size.x, size.y));
        expectFilledPicture(game, size.x, size.y);
    }
    ASSERT_TRUE(game.tapKey("F11"));
    expectFilledPicture(game, 1600, 1000);
    ASSERT_TRUE(game.tapKey("F11"));
    expectFilledPicture(game, 1280, 720);
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
    EXPECT_EQ(game.err().text(), "");
}

TEST(WindowSize, desktopFullScreenTakesTheScreensOwnSizeAndF11LeavesItForAWindow) {
    GameProcess game;
    LaunchOptions options;
    options.arguments = {"--fullscreen-desktop"};
    ASSERT_EQ(startFocusedGame(game, options, startTimeout), "");
    expectFilledPicture(game, 1600, 1000);
    ASSERT_TRUE(game.tapKey("F11"));
    expectFilledPicture(game, 1024, 768);
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
    EXPECT_EQ(game.err().text(), "");
}

// Without a flag F11 changes nothing: the window stays as it opened.
TEST(WindowSize, plainGameIgnoresF11) {
    GameProcess game;
    ASSERT_EQ(startFocusedGame(game, LaunchOptions(), startTimeout), "");
    const auto opened = game.windowGeometry();
    ASSERT_TRUE(opened);
    ASSERT_TRUE(game.tapKey("F11"));
    screenAfterChange(game);
    const auto after = game.windowGeometry();
    ASSERT_TRUE(after);
    EXPECT_EQ(std::tie(after->x, after->y, after->width, after->height),
              std::tie(opened->x, opened->y, opened->width, opened->height));
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
}

} // namespace
