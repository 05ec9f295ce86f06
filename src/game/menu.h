// The menus of a run started with --menu: which screen is open, and the
// actions the menu code returns for the frame's update to apply. The menus
// themselves are drawn elsewhere; nothing here draws.
#pragma once

#include "game/editorCommand.h"
#include "game/settings.h"

#include <cstddef>

enum class MenuScreen { none, title, levels, settings, pause, won };

struct MenuState {
    // A run with menus: Escape pauses instead of quitting.
    bool enabled = false;
    MenuScreen screen = MenuScreen::none;
    // Where Back from the levels or the settings returns: the title or the
    // pause menu.
    MenuScreen backTo = MenuScreen::title;
    // The last win, for its panel.
    int wonMoves = 0;
    bool newBest = false;
};

struct MenuAction {
    enum class Kind {
        continuePlay, // the first unsolved level
        startLevel,   // `level`, from its start
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
        edit,           // `edit` in the level editor
        makeLevel,      // the editor on a new level among the player's own
    };
    Kind kind = Kind::resume;
    std::size_t level = 0;
    MenuScreen screen = MenuScreen::none;
    Settings settings;
    EditorCommand edit;

    static MenuAction of(Kind kind) {
        return MenuAction{kind, 0, MenuScreen::none, Settings(), {}};
    }
    static MenuAction opening(MenuScreen screen) {
        return MenuAction{Kind::open, 0, screen, Settings(), {}};
    }
    static MenuAction starting(std::size_t level) {
        return MenuAction{Kind::startLevel, level, MenuScreen::none, Settings(), {}};
    }
    static MenuAction changing(const Settings& settings) {
        return MenuAction{Kind::changeSettings, 0, MenuScreen::none, settings, {}};
    }
    static MenuAction editing(EditorCommand command) {
        return MenuAction{Kind::edit, 0, MenuScreen::none, Settings(), std::move(command)};
    }
};

inline bool menuOpen(const MenuState& menu) {
    return menu.screen != MenuScreen::none;
}
