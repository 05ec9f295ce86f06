// The sounds a frame makes, from the game's own frame update on a small
// level, and the volume arithmetic of the settings and the mute.
#include "game/gameState.h"
#include "world/levelFile.h"

#include <glm/geometric.hpp>
#include <gtest/gtest.h>

#include <functional>

namespace {

// x along a row, z down the rows, played in the lower layer: a red block in the first
// corner, the player and a blue block in the middle row, the trophy and a
// crate in the last.
const char* const smallLevel = R"(title: Sounds
size: 5 2 3

layer 0
R....
..@.B
T..#.

layer 1
.....
.....
.....
)";

Campaign smallCampaign() {
    const LevelLoad load = parseLevelText(smallLevel, "sounds.level");
    EXPECT_TRUE(load.level) << load.error;
    return Campaign({CampaignLevel{"sounds", load.level ? *load.level : LevelFile()}});
}

SoundCue at(SoundKind kind, Cell cell) {
    return {kind, cellCentre(cell)};
}
SoundCue heard(SoundKind kind) {
    return {kind, std::nullopt};
}

struct Play {
    explicit Play(bool menus = false) : game(smallCampaign(), true) {
        game.menu.enabled = menus;
        game.camera.position = cellCentre(Cell{2, 0, 1});
        game.camera.front = glm::vec3(0.0f, 0.0f, -1.0f);
        frame();
    }
    // One frame of 1/60 s; returns its sounds.
    std::vector<SoundCue> frame(std::vector<InputEvent> events = {},
                                std::vector<MenuAction> actions = {}) {
        time += 1.0 / 60.0;
        FrameInput input{time, std::move(events), cameraAspect};
        input.menuActions = std::move(actions);
        return updateGame(game, input).sounds;
    }
    std::vector<SoundCue> stepTo(Cell cell) {
        game.camera.position = cellCentre(cell);
        return frame();
    }
    std::vector<SoundCue> press(Key key) {
        return frame({InputEvent::press(key), InputEvent::release(key)});
    }
    // The key held for `frames` frames, then released; every sound of them.
    std::vector<SoundCue> hold(Key key, int frames) {
        std::vector<SoundCue> all = frame({InputEvent::press(key)});
        for (int i = 1; i < frames; ++i) {
            const std::vector<SoundCue> more = frame();
            all.insert(all.end(), more.begin(), more.end());
        }
        frame({InputEvent::release(key)});
        return all;
    }
    GameState game;
    double time = 0.0;
};

struct CueCase {
    const char* name;
    std::function<std::vector<SoundCue>(Play&)> act;
    std::vector<SoundCue> expected;
};

TEST(SoundCues, EachEventMakesItsSounds) {
    using K = SoundKind;
    const std::vector<CueCase> cases{
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
             std::vector<SoundCue> both = p.hold(Key::d, 10);
             const std::vector<SoundCue> second = p.hold(Key::d, 10);
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
    };
    for (const CueCase& test : cases) {
        Play play;
        EXPECT_EQ(test.act(play), test.expected) << test.name;
    }
}

TEST(SoundCues, MenuChoicesClickButSlidersDoNot) {
    Play play(true);
    play.game.menu.screen = MenuScreen::pause;
    Settings louder = play.game.settings;
    louder.soundMusic = 90;
    EXPECT_EQ(play.frame({}, {MenuAction::changing(louder)}), std::vector<SoundCue>{});
    EXPECT_EQ(play.frame({}, {MenuAction::of(MenuAction::Kind::restart)}),
              (std::vector<SoundCue>{heard(SoundKind::menuClick), heard(SoundKind::restart)}));
}

TEST(SoundVolumes, MasterTimesChannelClampedAndMuted) {
    struct Case {
        int master, channel;
        bool muted;
        float gain;
    };
    for (const Case& c :
         {Case{100, 100, false, 1.0f}, Case{80, 50, false, 0.4f}, Case{50, 0, false, 0.0f},
          Case{0, 100, false, 0.0f}, Case{100, 100, true, 0.0f}, Case{150, 50, false, 0.5f},
          Case{-20, 50, false, 0.0f}}) {
        EXPECT_FLOAT_EQ(channelGain(c.master, c.channel, c.muted), c.gain)
            << c.master << " x " << c.channel << (c.muted ? " muted" : "");
    }
    Settings settings;
    settings.soundMaster = 50;
    settings.soundEffects = 100;
    settings.soundMusic = 40;
    const Volumes volumes = volumesOf(settings, false);
    EXPECT_FLOAT_EQ(volumes.effects, 0.5f);
    EXPECT_FLOAT_EQ(volumes.music, 0.2f);
}

TEST(SoundVolumes, MTogglesTheMuteAndItsLineInRunsOfLevelsOnly) {
    Play play;
    const auto soundOff = [&play] {
        for (const OverlayText& text : overlayTexts(play.game)) {
            if (text.kind == OverlayText::Kind::soundOff) {
                return true;
            }
        }
        return false;
    };
    play.press(Key::m);
    EXPECT_TRUE(play.game.soundMuted);
    EXPECT_TRUE(soundOff());
    play.press(Key::m);
    EXPECT_FALSE(play.game.soundMuted);
    EXPECT_FALSE(soundOff());

    GameState room;
    updateGame(room, FrameInput{0.1, {InputEvent::press(Key::m)}, cameraAspect});
    EXPECT_FALSE(room.soundMuted) << "the plain room has no sound to mute";
}

} // namespace
