// The overview of a pack level on the real game: Tab shows the blocks and
// the trophy that first person does not, PageDown and PageUp peel a layer
// off and put it back, Tab returns to the same place, and the blocks' marks
// tell red from blue in a picture without colour.
#include "driver/playDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

const Seconds startTimeout(120);
const Seconds frameTimeout(60);
const Seconds exitTimeout(120);
constexpr std::size_t settleFrames = 4;
const ScreenBox wholeScreen{0, 0, 1024, 768};
// Above the moves and hint lines, whose yellow is not the trophy's gold.
const ScreenBox sceneBox{0, 0, 1024, 660};

bool isBlockBlue(Rgb p) {
    return p.blue >= 120 && p.blue > p.red + 50 && p.blue > p.green + 40;
}
// The trophy's and the stars' gold.
bool isGold(Rgb p) {
    return p.red >= 150 && p.green >= 110 && p.blue < p.green - 50 && p.red > p.blue + 80;
}

int luma(Rgb p) {
    return (2126 * p.red + 7152 * p.green + 722 * p.blue) / 10000;
}

// The share of pixels of two pictures whose grey differs by more than 24.
double differingShare(const Screenshot& a, const Screenshot& b) {
    int differing = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            differing += std::abs(luma(a.at(x, y)) - luma(b.at(x, y))) > 24 ? 1 : 0;
        }
    }
    return double(differing) / double(a.width * a.height);
}

// In the grey of the picture, the bright marks inside the box around the
// pixels of one colour, each a connected patch: a plus is bright at its own
// middle, a ring dark there (its hole). Returns plus-like minus ring-like.
int plusesOverRings(const Screenshot& screen, const PixelTest& colour) {
    int left = screen.width, top = screen.height, right = -1, bottom = -1;
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x) {
            if (colour(screen.at(x, y))) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    }
    const auto bright = [&](int x, int y) { return luma(screen.at(x, y)) >= 200; };
    std::vector<char> seen(std::size_t(screen.width) * screen.height, 0);
    int balance = 0;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            if (!bright(x, y) || seen[std::size_t(y) * screen.width + x]) {
                continue;
            }
            // Flood fill of one bright patch within the box.
            std::vector<std::pair<int, int>> stack{{x, y}};
            seen[std::size_t(y) * screen.width + x] = 1;
            long sumX = 0, sumY = 0, count = 0;
            while (!stack.empty()) {
                const auto [px, py] = stack.back();
                stack.pop_back();
                sumX += px, sumY += py, ++count;
                const int next[4][2] = {{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}};
                for (const auto& [nx, ny] : next) {
                    const std::size_t at = std::size_t(ny) * screen.width + nx;
                    if (nx >= left && nx <= right && ny >= top && ny <= bottom && !seen[at] &&
                        bright(nx, ny)) {
                        seen[at] = 1;
                        stack.push_back({nx, ny});
                    }
                }
            }
            if (count >= 30) {
                balance += bright(int(sumX / count), int(sumY / count)) ? 1 : -1;
            }
        }
    }
    return balance;
}

class Overview : public ::testing::Test {
  protected:
    void SetUp() override {
        LaunchOptions launch;
        launch.arguments = {"--level", defaultAssetDir() + "/levels/10-boxed-in.level"};
        ASSERT_EQ(startFocusedGame(game, launch, startTimeout), "");
    }
    void TearDown() override { EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0)); }

    Screenshot screenAfter(const std::string& key, const std::string& name) {
        if (!key.empty()) {
            EXPECT_TRUE(game.tapKey(key));
        }
        const std::optional<Screenshot> screen =
            screenAfterFrames(game, settleFrames, frameTimeout);
        EXPECT_TRUE(screen);
        if (!screen) {
            return Screenshot{};
        }
        screen->savePng(buildPath("e2e-overview-" + name + ".png"));
        return *screen;
    }

    GameProcess game;
};

TEST_F(Overview, ShowsThePuzzlePeelsLayersAndReturnsToThePlayer) {
    const std::optional<TraceLine> before =
        game.waitForTraceLine(game.traceLineCount() + settleFrames, frameTimeout);
    ASSERT_TRUE(before);
    const Screenshot firstPerson = screenAfter("", "first-person");
    EXPECT_EQ(firstPerson.count(wholeScreen, isBlockRed), 0);
    EXPECT_EQ(firstPerson.count(wholeScreen, isBlockBlue), 0);
    EXPECT_LT(firstPerson.count(sceneBox, isGold), 20);

    const Screenshot overview = screenAfter("Tab", "open");
    EXPECT_GT(overview.count(wholeScreen, isBlockRed), 300);
    EXPECT_GT(overview.count(wholeScreen, isBlockBlue), 300);
    EXPECT_GT(overview.count(sceneBox, isGold), 30);

    // In grey, the red blocks' marks are pluses and the blue blocks' rings.
    EXPECT_GT(plusesOverRings(overview, isBlockRed), 0);
    EXPECT_LT(plusesOverRings(overview, isBlockBlue), 0);

    // Layers 3 and 2 hold crates, layer 1 the blocks, the player and the
    // trophy; layer 4 is empty and goes with layer 3.
    Screenshot peeled;
    for (const char* name : {"peeled-once", "peeled-twice", "peeled-thrice"}) {
        const Screenshot before = peeled.width ? peeled : overview;
        peeled = screenAfter("Next", name);
        EXPECT_GT(differingShare(before, peeled), 0.0002) << name << ": PageDown changed nothing";
    }
    EXPECT_EQ(peeled.count(wholeScreen, isBlockRed), 0) << "the blocks' layer is peeled off";
    EXPECT_EQ(peeled.count(wholeScreen, isBlockBlue), 0);
    Screenshot restored;
    for (const char* name : {"restored-once", "restored-twice", "restored-thrice"}) {
        restored = screenAfter("Prior", name);
    }
    EXPECT_LT(differingShare(overview, restored), 0.002) << "PageUp did not bring it back";

    const Screenshot back = screenAfter("Tab", "back");
    EXPECT_LT(differingShare(firstPerson, back), 0.005);
    EXPECT_EQ(game.waitForTraceLine(game.traceLineCount() + settleFrames, frameTimeout), before);
}

} // namespace
