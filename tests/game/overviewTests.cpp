// The overview through the game's own frame update: it opens and closes on
// Tab in puzzle play only, nothing of the level moves meanwhile while the
// puzzle keys still act, and the way back is exactly where the player was.
#include "game/gameState.h"
#include "world/levelState.h"

#include <gtest/gtest.h>

namespace {

class OverviewPlay : public ::testing::Test {
  protected:
    OverviewPlay() : game(builtInRoomCampaign(), true) {}

    void frame(std::vector<InputEvent> events = {}) {
        time += 0.1;
        updateGame(game, FrameInput{time, std::move(events), cameraAspect});
    }
    void tap(Key key) { frame({InputEvent::press(key), InputEvent::release(key)}); }

    GameState game;
    double time = 0.0;
};

TEST_F(OverviewPlay, NothingMovesAndTabReturnsExactlyWhereThePlayerWas) {
    frame({InputEvent::cursorAt(500.0, 400.0)});
    frame({InputEvent::cursorAt(620.0, 380.0), InputEvent::wheel(3.0)});
    const Camera player = game.camera;
    const LevelState level = captureLevelState(game.level);

    tap(Key::tab);
    ASSERT_TRUE(game.overview.active);
    EXPECT_NE(viewingCamera(game).position, player.position);
    // Every way of moving or looking turns or zooms the overview instead.
    frame({InputEvent::press(Key::w), InputEvent::press(Key::a), InputEvent::press(Key::q),
           InputEvent::buttonDown(0), InputEvent::cursorAt(700.0, 300.0),
           InputEvent::wheel(-2.0)});
    for (int i = 0; i < 20; ++i) {
        frame();
    }
    frame({InputEvent::release(Key::w), InputEvent::release(Key::a), InputEvent::release(Key::q),
           InputEvent::buttonUp(0)});
    EXPECT_EQ(captureLevelState(game.level), level);
    EXPECT_EQ(game.puzzle.history.moves(), 0);

    tap(Key::tab);
    EXPECT_FALSE(game.overview.active);
    EXPECT_EQ(game.camera.position, player.position);
    EXPECT_EQ(game.camera.front, player.front);
    EXPECT_EQ(game.camera.fov, player.fov);
    EXPECT_EQ(viewingCamera(game).position, player.position);
}

TEST_F(OverviewPlay, PuzzleKeysActInTheOverviewAndThePlainRoomHasNone) {
    game.camera.position = cellCentre(neighbourOf(game.level.player.cell, -1));
    frame();
    ASSERT_EQ(game.puzzle.history.moves(), 1);
    tap(Key::tab);
    tap(Key::z);
    EXPECT_EQ(game.puzzle.history.moves(), 0) << "undo works in the overview";
    EXPECT_TRUE(game.overview.active);
    const std::vector<OverlayText> texts = overlayTexts(game);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front().text, "Overview: Tab to return");

    GameState plain;
    updateGame(plain, FrameInput{0.1, {InputEvent::press(Key::tab)}, cameraAspect});
    EXPECT_FALSE(plain.overview.active) << "Tab does nothing in the plain room";
}

// Layers that hold pieces are peeled one press each, empty ones go with the
// layer below them, and the floor layer stays.
TEST(OverviewLayers, PeelAndRestoreStepOverEmptyLayers) {
    const LayerPieces pieces = {true, true, false, true, false};
    Overview overview;
    overview.firstHiddenLayer = 5;
    const int peeled[] = {3, 1, 1};
    for (int expected : peeled) {
        peelLayer(overview, pieces);
        EXPECT_EQ(overview.firstHiddenLayer, expected);
    }
    const int restored[] = {3, 5, 5};
    for (int expected : restored) {
        restoreLayer(overview, pieces);
        EXPECT_EQ(overview.firstHiddenLayer, expected);
    }
}

} // namespace
