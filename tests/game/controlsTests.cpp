// The controls of play through the game's own frame update: keys bound by
// the settings, and a gamepad's sticks, triggers and buttons as synthetic
// states; and the check of a gamepad mappings file.
#include "game/gameState.h"
#include "world/rules.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

GamepadState pad(std::array<float, padAxisCount> axes, std::vector<PadButton> held = {}) {
    GamepadState state;
    state.connected = true;
    state.name = "Test Pad";
    state.axes = axes;
    for (PadButton button : held) {
        state.buttons[std::size_t(button)] = true;
    }
    return state;
}

// Triggers rest at -1.
constexpr float rest = -1.0f;

TEST(Gamepad, SticksAndTriggersPastTheirDeadZones) {
    const struct {
        const char* what;
        GamepadState state;
        glm::vec3 flight;
        glm::vec2 look;
    } cases[] = {
        {"at rest", pad({0.1f, -0.15f, 0.12f, 0.0f, rest, rest}), {0, 0, 0}, {0, 0}},
        {"left stick pushed away flies forward", pad({0, -1, 0, 0, rest, rest}), {0, 0, 1}, {0, 0}},
        {"half past the dead zone", pad({0.6f, 0, 0, -0.6f, rest, rest}), {0.5f, 0, 0}, {0, 0.5f}},
        {"a corner is no faster than full tilt",
         pad({1, 1, -1, 0, rest, rest}),
         {0.7071f, 0, -0.7071f},
         {-1, 0}},
        {"right trigger up, left shoulder down",
         pad({0, 0, 0, 0, rest, 1}, {PadButton::leftBumper}),
         {0, 0, 0},
         {0, 0}},
        {"a trigger part way", pad({0, 0, 0, 0, 0, rest}), {0, -0.5f, 0}, {0, 0}},
        {"a pad gone moves nothing",
         [] {
             GamepadState gone = pad({1, 1, 1, 1, 1, 1}, {PadButton::rightBumper});
             gone.connected = false;
             return gone;
         }(),
         {0, 0, 0},
         {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const glm::vec3 flight = padFlight(c.state);
        const glm::vec2 look = padLook(c.state);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(flight[i], c.flight[i], 1e-4f) << i;
        }
        EXPECT_NEAR(look.x, c.look.x, 1e-4f);
        EXPECT_NEAR(look.y, c.look.y, 1e-4f);
    }
}

TEST(Gamepad, MappingLinesAreCheckedBeforeTheWindowSystemSeesThem) {
    const std::string guid = "030000005e0400008e02000010010000";
    const struct {
        std::string text;
        std::string problem;
    } cases[] = {
        {"", ""},
        {"# pads\n\n" + guid + ",X Pad,a:b0,b:b1,platform:Linux,\r\n", ""},
        {guid + ",X Pad,a:b0\n" + guid.substr(1) + ",Short,a:b0\n",
         "line 2 does not start with a GUID of 32 hex digits"},
        {"0300000g5e0400008e02000010010000,X,a:b0",
         "line 1 does not start with a GUID of 32 hex digits"},
        {guid + ",,a:b0", "line 1 has no name after its GUID"},
        {guid + ",X Pad", "line 1 maps nothing"},
        {guid + ",X Pad,a:b0,b1,", "line 1 has \"b1\" where a key:value pair belongs"},
        {guid + ",X Pad,a:", "line 1 has \"a:\" where a key:value pair belongs"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mappingsProblem(c.text), c.problem) << c.text;
    }
}

class Controls : public ::testing::Test {
  protected:
    Controls() { game.puzzle.enabled = true; }

    FrameOutcome frame(const GamepadState& state, std::vector<InputEvent> events = {}) {
        time += 0.1;
        FrameInput input{time, std::move(events)};
        input.gamepad = state;
        return updateGame(game, input);
    }

    GameState game;
    double time = 0.0;
};

TEST_F(Controls, EachButtonActsOncePerPress) {
    const GamepadState idle = pad({0, 0, 0, 0, rest, rest});
    const GamepadState back = pad({0, 0, 0, 0, rest, rest}, {PadButton::back});
    const GamepadState backAndX = pad({0, 0, 0, 0, rest, rest}, {PadButton::back, PadButton::x});
    const GamepadState start = pad({0, 0, 0, 0, rest, rest}, {PadButton::start});
    const struct {
        GamepadState state;
        bool help;
        bool overview;
    } frames[] = {
        {idle, false, false},   {back, true, false}, {back, true, false}, {backAndX, true, true},
        {backAndX, true, true}, {idle, true, true},  {back, false, true}, {start, false, true},
    };
    for (const auto& f : frames) {
        const FrameOutcome outcome = frame(f.state);
        EXPECT_EQ(game.puzzle.helpShown, f.help);
        EXPECT_EQ(game.overview.active, f.overview);
        EXPECT_FALSE(outcome.quit) << "Start quits nothing without menus";
    }
    game.menu.enabled = true;
    frame(idle);
    frame(start);
    EXPECT_EQ(game.menu.screen, MenuScreen::pause);
    frame(pad({0, 0, 0, 0, rest, rest}, {PadButton::b}));
    EXPECT_EQ(game.menu.screen, MenuScreen::none) << "B goes back from a menu";
}

TEST_F(Controls, PadLinesComeAndGoWithThePad) {
    EXPECT_EQ(frame(pad({})).consoleLines.front(), "Gamepad connected: Test Pad");
    EXPECT_EQ(frame(pad({})).consoleLines.size(), 1u) << "only the trace line";
    EXPECT_EQ(frame(GamepadState()).consoleLines.front(), "Gamepad disconnected: Test Pad");
}

TEST_F(Controls, TheStickFliesByTheRulesOfTheKeys) {
    const Cell start = game.level.player.cell;
    const GamepadState forward = pad({0, -1, 0, 0, rest, rest});
    for (int i = 0; i < 4; ++i) {
        const Cell before = game.level.player.cell;
        time += 0.25; // 1.75 units: a long frame still crosses one cell boundary at most
        frame(forward);
        const Cell after = game.level.player.cell;
        EXPECT_LE(std::abs(after.x - before.x) + std::abs(after.y - before.y) +
                      std::abs(after.z - before.z),
                  1);
    }
    EXPECT_NE(game.level.player.cell, start);
}

TEST_F(Controls, BoundKeysMoveAndTheirOldKeysDoNot) {
    ASSERT_EQ(bindKeys(game.settings.keys, Action::forward, {Key::i}), "");
    const struct {
        bool puzzle;
        Key key;
        bool moves;
    } cases[] = {{true, Key::i, true}, {true, Key::w, false}, {false, Key::w, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(keyName(c.key));
        game.puzzle.enabled = c.puzzle;
        startLevel(game);
        const glm::vec3 from = game.camera.position;
        frame(GamepadState(), {InputEvent::press(c.key)});
        frame(GamepadState(), {InputEvent::release(c.key)});
        EXPECT_EQ(game.camera.position != from, c.moves);
    }
}

TEST_F(Controls, TheKeysScreenBindsTheNextKeyOrSaysWhyNot) {
    game.menu.enabled = true;
    game.menu.screen = MenuScreen::keys;
    const struct {
        Action action;
        Key key;
        const char* message;
        Key forward; // forward's first key after
        bool saved;
    } cases[] = {
        {Action::forward, Key::i, "Forward: I", Key::i, true},
        {Action::hint, Key::i, "Not bound: I is already forward's", Key::i, false},
        {Action::back, Key::tab, "Not bound: TAB is a fixed key", Key::i, false},
        {Action::forward, Key::escape, "Not bound: ESCAPE is already pause's", Key::i, false},
        {Action::forward, Key::up, "Forward: Up", Key::up, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        FrameInput choose{time += 0.1};
        choose.menuActions = {MenuAction::capturing(c.action)};
        updateGame(game, choose);
        const FrameOutcome outcome = frame(GamepadState(), {InputEvent::press(c.key)});
        EXPECT_EQ(game.menu.keyMessage, c.message);
        EXPECT_EQ(outcome.saveSettings, c.saved);
        EXPECT_EQ(game.settings.keys.of(Action::forward).front(), c.forward);
        EXPECT_EQ(game.menu.screen, MenuScreen::keys) << "the key only binds";
        EXPECT_FALSE(game.menu.capturing);
    }
}

} // namespace
