// The menus of a run started with --menu: which screen is open, and the
// actions the menu code returns for the frame's update to apply. The menus
// themselves are drawn elsewhere; nothing here draws.
#pragma once

#include "game/editorCommand.h"
#include "game/settings.h"

#include <cstddef>
#include <optional>
#include <string>

enum class MenuScreen { none, title, levels, settings, pause, won, keys, myLevels };

struct MenuState {
    // A run with menus: Escape pauses instead of quitting.
    bool enabled = false;
    MenuScreen screen = MenuScreen::none;
    // Where Back from a list of levels or the settings returns: the title or the
    // pause menu.
    MenuScreen backTo = MenuScreen::title;
    // The last win, for its panel.
    int wonMoves = 0;
    bool newBest = false;
    // The keys screen waits for the key to bind to this action.
    std::optional<Action> capturing;
    // What became of the last key pressed there: bound, or refused and why.
    std::string keyMessage;
};

struct MenuAction {
    enum class Kind {
        continuePlay, // the first unsolved level
        startLevel,   // `level`, from its start
        startMyLevel, // the player's own level number `level`
        open,         // `screen`, remembering where Back goes
        back,
        resume,
        restart,
        overview,
        title,
        quit,
        nextLevel,
        replay,
        changeSettings, // `settings` from now on, saved
        captureKey,     // the next key pressed is `action`'s
        edit,           // `edit` in the level editor
        makeLevel,      // the editor on a new level among the player's own
    };
    Kind kind = Kind::resume;
    std::size_t level = 0;
    MenuScreen screen = MenuScreen::none;
    Settings settings;
    Action action = Action::forward;
    EditorCommand edit;

    static MenuAction of(Kind kind) {
        MenuAction action;
        action.kind = kind;
        return action;
    }
    static MenuAction opening(MenuScreen screen) {
        MenuAction action = of(Kind::open);
        action.screen = screen;
        return action;
    }
    static MenuAction starting(std::size_t level) {
        MenuAction action = of(Kind::startLevel);
        action.level = level;
        return action;
    }
    static MenuAction startingMine(std::size_t level) {
        MenuAction action = of(Kind::startMyLevel);
        action.level = level;
        return action;
    }
    static MenuAction changing(const Settings& settings) {
        MenuAction action = of(Kind::changeSettings);
        action.settings = settings;
        return action;
    }
    static MenuAction capturing(Action key) {
        MenuAction action = of(Kind::captureKey);
        action.action = key;
        return action;
    }
    static MenuAction editing(EditorCommand command) {
        MenuAction action = of(Kind::edit);
        action.edit = std::move(command);
        return action;
    }
};

inline bool menuOpen(const MenuState& menu) {
    return menu.screen != MenuScreen::none;
}
