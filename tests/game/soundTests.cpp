// The sounds a frame makes, from the game's own frame update on a small
// level, and the volume arithmetic of the settings and the mute.
#include "game/gameState.h"
#include "world/levelFile.h"

#include <glm/geometric.hpp>
#include <gtest/gtest.h>

#include <functional>

namespace {

// x along a row, z down the rows, in the lower layer: a red block in the
// first corner, the player and a blue block in the middle row, the trophy
// and a crate in the last.
const char* const smallLevel = "title: Sounds\nsize: 5 2 3\n\nlayer 0\nR....\n..@.B\nT..#.\n\n"
                               "layer 1\n.....\n.....\n.....\n";

using Cues = std::vector<SoundCue>;
using K = SoundKind;

SoundCue at(K kind, Cell cell) {
    return {kind, cellCentre(cell)};
}
SoundCue heard(K kind) {
    return {kind, std::nullopt};
}

// A run of the level at 60 frames a second, looking down -z from the middle
// of the player's cell.
struct Play {
    explicit Play(bool menus = false)
        : game(Campaign({{"sounds", *parseLevelText(smallLevel, "sounds.level").level}}), true) {
        game.menu.enabled = menus;
        game.camera.position = cellCentre(Cell{2, 0, 1});
        frame();
    }
    Cues frame(std::vector<InputEvent> events = {}, std::vector<MenuAction> actions = {}) {
        time += 1.0 / 60.0;
        FrameInput input{time, std::move(events), cameraAspect};
        input.menuActions = std::move(actions);
        return updateGame(game, input).sounds;
    }
    Cues stepTo(Cell cell) {
        game.camera.position = cellCentre(cell);
        return frame();
    }
    Cues press(Key key) { return frame({InputEvent::press(key), InputEvent::release(key)}); }
    // The key held for `frames` frames, then released: all their sounds.
    Cues hold(Key key, int frames) {
        Cues all = frame({InputEvent::press(key)});
        for (int i = 1; i < frames; ++i) {
            const Cues more = frame();
            all.insert(all.end(), more.begin(), more.end());
        }
        frame({InputEvent::release(key)});
        return all;
    }
    GameState game;
    double time = 0.0;
};

TEST(SoundCues, EachEventMakesItsSounds) {
    const std::vector<std::tuple<const char*, std::function<Cues(Play&)>, Cues>> cases{
        {"a step: the player, the red block with it, the blue block against it",
         [](Play& p) {
             return p.stepTo({2, 0, 2});
         },
         {heard(K::playerStep), at(K::redStep, {0, 0, 1}), at(K::blueStep, {4, 0, 0})}},
        {"blocks that cannot step are silent",
         [](Play& p) {
             return p.stepTo({1, 0, 1});
         },
         {heard(K::playerStep)}},
        {"a push into the wall bumps once however long it lasts",
         [](Play& p) { return p.hold(Key::w, 40); },
         {heard(K::playerStep), at(K::blueStep, {4, 0, 2}), heard(K::bump)}},
        {"a push into a block bumps",
         [](Play& p) { return p.hold(Key::d, 30); },
         {heard(K::playerStep), at(K::redStep, {1, 0, 0}), heard(K::bump)}},
        {"each new push into a crate bumps again",
         [](Play& p) {
             p.stepTo({2, 0, 2});
             Cues both = p.hold(Key::d, 10);
             const Cues second = p.hold(Key::d, 10);
             both.insert(both.end(), second.begin(), second.end());
             return both;
         },
         {heard(K::bump), heard(K::bump)}},
        {"walking along a wall with a hair's drift into it is silent",
         [](Play& p) {
             p.stepTo({1, 0, 1});
             p.stepTo({0, 0, 1});
             p.game.camera.position.x = 0.1f; // within the wall's margin
             p.game.camera.front = glm::normalize(glm::vec3(-1e-6f, 0.0f, -1.0f));
             return p.hold(Key::w, 5);
         },
         {}},
        {"a long frame's move cut short at the second boundary is no bump",
         [](Play& p) {
             p.frame({InputEvent::press(Key::a)});
             p.time += 0.4; // two cells' way: stops just short of (0, 0, 1)
             return p.frame();
         },
         {heard(K::playerStep)}},
        {"undo after a step",
         [](Play& p) {
             p.stepTo({1, 0, 1});
             return p.press(Key::z);
         },
         {heard(K::undo)}},
        {"undo with nothing to undo is silent", [](Play& p) { return p.press(Key::z); }, {}},
        {"restart", [](Play& p) { return p.press(Key::r); }, {heard(K::restart)}},
        {"the winning step",
         [](Play& p) {
             p.stepTo({1, 0, 1});
             p.stepTo({1, 0, 2});
             return p.stepTo({0, 0, 2});
         },
         {heard(K::playerStep), heard(K::win)}},
        {"a menu's choice clicks; its slider does not",
         [](Play& p) {
             p.game.menu.screen = MenuScreen::pause;
             Settings louder = p.game.settings;
             louder.soundMusic = 90;
             p.frame({}, {MenuAction::changing(louder)});
             return p.frame({}, {MenuAction::of(MenuAction::Kind::restart)});
         },
         {heard(K::menuClick), heard(K::restart)}},
    };
    for (const auto& [name, act, expected] : cases) {
        Play play(true);
        EXPECT_EQ(act(play), expected) << name;
    }
}

TEST(SoundVolumes, MasterTimesChannelClampedAndMuted) {
    for (const auto& [master, channel, muted, gain] :
         std::vector<std::tuple<int, int, bool, float>>{{100, 100, false, 1.0f},
                                                        {80, 50, false, 0.4f},
                                                        {50, 0, false, 0.0f},
                                                        {100, 100, true, 0.0f},
                                                        {150, 50, false, 0.5f},
                                                        {-20, 50, false, 0.0f}}) {
        EXPECT_FLOAT_EQ(channelGain(master, channel, muted), gain) << master << " " << channel;
    }
    Settings settings;
    settings.soundMaster = 50;
    settings.soundMusic = 40;
    EXPECT_FLOAT_EQ(volumesOf(settings, false).effects, 0.4f);
    EXPECT_FLOAT_EQ(volumesOf(settings, false).music, 0.2f);
}

TEST(SoundVolumes, MMutesRunsOfLevelsWithALineAndNotTheRoom) {
    Play play;
    play.press(Key::m);
    EXPECT_TRUE(play.game.soundMuted);
    EXPECT_EQ(overlayTexts(play.game).at(0).text, "Sound off");
    play.press(Key::m);
    EXPECT_FALSE(play.game.soundMuted);
    GameState room;
    updateGame(room, FrameInput{0.1, {InputEvent::press(Key::m)}, cameraAspect});
    EXPECT_FALSE(room.soundMuted);
}

} // namespace
