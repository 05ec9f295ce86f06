// The menus' actions and Escape through the game's own frame update: where
// each leads, that nothing moves while a menu is open, and the won panel's
// new best.
#include "core/scratchFolder.h"
#include "game/gameState.h"
#include "world/levelState.h"

#include <gtest/gtest.h>

namespace {

Campaign twoLevels() {
    Campaign room = builtInRoomCampaign();
    std::vector<CampaignLevel> levels = room.all();
    levels.push_back(levels.front());
    levels[0].name = "a.level";
    levels[1].name = "b.level";
    return Campaign(levels);
}

class MenuPlay : public ::testing::Test {
  protected:
    MenuPlay() : game(twoLevels(), true) {
        game.menu.enabled = true;
        openTitle(game);
    }
    FrameOutcome frame(std::vector<MenuAction> actions, std::vector<InputEvent> events = {}) {
        time += 0.1;
        FrameInput input(time, std::move(events));
        input.menuActions = std::move(actions);
        return updateGame(game, input);
    }
    FrameOutcome escape() { return frame({}, {InputEvent::press(Key::escape)}); }

    GameState game;
    double time = 0.0;
};

TEST_F(MenuPlay, EachActionAndEscapeLeadsWhereItSays) {
    using Kind = MenuAction::Kind;
    EXPECT_EQ(game.menu.screen, MenuScreen::title);
    const struct {
        std::vector<MenuAction> actions;
        bool escape;
        MenuScreen screen;
    } steps[] = {
        {{MenuAction::opening(MenuScreen::levels)}, false, MenuScreen::levels},
        {{}, true, MenuScreen::title},
        {{MenuAction::opening(MenuScreen::settings)}, false, MenuScreen::settings},
        {{MenuAction::of(Kind::back)}, false, MenuScreen::title},
        {{MenuAction::starting(1)}, false, MenuScreen::none},
        {{}, true, MenuScreen::pause},
        {{MenuAction::opening(MenuScreen::levels)}, false, MenuScreen::levels},
        {{}, true, MenuScreen::pause},
        {{}, true, MenuScreen::none},
        {{}, true, MenuScreen::pause},
        {{MenuAction::of(Kind::title)}, false, MenuScreen::title},
        {{MenuAction::of(Kind::continuePlay)}, false, MenuScreen::none},
    };
    int number = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE("step " + std::to_string(++number));
        const FrameOutcome outcome = step.escape ? escape() : frame(step.actions);
        EXPECT_EQ(game.menu.screen, step.screen);
        EXPECT_EQ(outcome.cursorFree, step.screen != MenuScreen::none);
        EXPECT_FALSE(outcome.quit) << "Escape never quits a run with menus";
    }
    EXPECT_TRUE(frame({MenuAction::of(Kind::quit)}).quit);
}

TEST_F(MenuPlay, NothingMovesBehindAMenuAndSettingsAreSavedWhenChanged) {
    frame({MenuAction::of(MenuAction::Kind::continuePlay)});
    escape();
    const LevelState before = captureLevelState(game.level);
    const glm::vec3 camera = game.camera.position;
    frame({}, {InputEvent::press(Key::w), InputEvent::press(Key::a)});
    for (int i = 0; i < 10; ++i) {
        frame({});
    }
    EXPECT_EQ(captureLevelState(game.level), before);
    EXPECT_EQ(game.camera.position, camera);

    Settings changed = game.settings;
    changed.invertY = true;
    const FrameOutcome outcome = frame({MenuAction::changing(changed)});
    EXPECT_TRUE(outcome.saveSettings);
    EXPECT_TRUE(game.settings.invertY);
}

TEST_F(MenuPlay, AWinOpensItsPanelWithTheNewBestAndNextLevelGoesOn) {
    frame({MenuAction::starting(0)});
    game.progress["a.level"] = LevelRecord{true, 3};
    const struct {
        int movesToWin;
        bool newBest;
    } wins[] = {{5, false}, {2, true}};
    for (const auto& win : wins) {
        frame({MenuAction::of(MenuAction::Kind::replay)});
        game.camera.position = cellCentre(game.level.goal());
        for (int move = 1; move < win.movesToWin; ++move) {
            game.puzzle.history.recordCellChange(captureLevelState(game.level));
        }
        const FrameOutcome outcome = frame({});
        ASSERT_TRUE(outcome.win);
        EXPECT_EQ(game.menu.screen, MenuScreen::won);
        EXPECT_EQ(game.menu.newBest, win.newBest) << win.movesToWin << " moves";
    }
    EXPECT_EQ(game.progress.at("a.level").bestMoves, 2);
    frame({MenuAction::of(MenuAction::Kind::nextLevel)});
    EXPECT_EQ(game.campaign.currentIndex(), 1u);
    EXPECT_EQ(game.menu.screen, MenuScreen::none);
}

// The player's own levels are read each time their list opens, play like
// the pack's with their own names in the progress, and leave the pack as it
// was once the title shows again.
TEST_F(MenuPlay, MyLevelsAreReadAfreshPlayedAndRecordedUnderTheirOwnNames) {
    const ScratchFolder folder;
    game.myLevels.folder = folder.path("levels");
    const std::string room = formatLevelText(game.campaign.current().file);
    folder.write("levels/a.level", room);
    folder.write("levels/broken.level", "title: Broken\n");

    frame({MenuAction::opening(MenuScreen::myLevels)});
    ASSERT_EQ(game.myLevels.levels.size(), 1u);
    EXPECT_EQ(game.myLevels.levels[0].name, "mine:a.level");
    ASSERT_EQ(game.myLevels.problems.size(), 1u);
    EXPECT_NE(game.myLevels.problems[0].find("broken.level"), std::string::npos);

    folder.write("levels/b.level", room);
    frame({}, {InputEvent::press(Key::escape)});
    frame({MenuAction::opening(MenuScreen::myLevels)});
    EXPECT_EQ(game.myLevels.levels.size(), 2u) << "a level made since is there";

    frame({MenuAction::startingMine(1)});
    EXPECT_EQ(game.campaign.current().name, "mine:b.level");
    game.camera.position = cellCentre(game.level.goal());
    const FrameOutcome outcome = frame({});
    ASSERT_TRUE(outcome.win);
    EXPECT_EQ(outcome.win->levelName, "mine:b.level");
    EXPECT_EQ(game.progress.count("b.level"), 0u);

    frame({MenuAction::of(MenuAction::Kind::title)});
    ASSERT_EQ(game.campaign.size(), 2u);
    EXPECT_EQ(game.campaign.all()[1].name, "b.level") << "the pack is back";
}

} // namespace
