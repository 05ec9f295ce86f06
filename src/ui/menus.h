// The menus of a run with --menu: the title screen, the levels, the
// settings, the pause menu and the panel after a win. They are drawn with
// Dear ImGui from the game's state, and what the player chose comes back as
// actions for the frame's update; nothing here changes the game.
#pragma once

#include "game/gameState.h"
#include "game/screen.h"

#include <vector>

// The ImGui context of a run with menus, styled in the game's colours, with
// keyboard navigation on and no settings file of its own.
class MenuContext {
  public:
    MenuContext();
    ~MenuContext();
    MenuContext(const MenuContext&) = delete;
    MenuContext& operator=(const MenuContext&) = delete;
};

// ImGui's frame of the menus, after both backends' new frames: the open
// screen's window over the whole picture, scaled with its height, and what
// the player chose in it. Its draw data is ready for the renderer after.
std::vector<MenuAction> runMenus(const GameState& game);
