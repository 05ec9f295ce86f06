// The level editor's panel (--edit), drawn with Dear ImGui from the game's
// state: title, author and size, the palette, and the editor's commands;
// the question before leaving with unsaved changes. What the player chose
// comes back as actions; nothing here changes the game.
#pragma once

#include "game/gameState.h"

#include <vector>

// The editor is shown (not while its level is play-tested).
bool editorPanelShown(const GameState& game);
// Inside ImGui's frame: the panel's windows and the actions chosen there.
void drawEditorPanel(const GameState& game, std::vector<MenuAction>& actions);
