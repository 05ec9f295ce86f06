// Dear ImGui's OpenGL side of the menus: the menus' font in ImGui's atlas
// and the backend's GL objects, made when the menus start and freed when
// they go, while the context is current.
#pragma once

#include "core/assetFolder.h"

#include <ostream>

class MenuRenderer {
  public:
    // The game's font when FreeType can read it; otherwise one line on
    // `errors` and ImGui's built-in font, so a broken font file never
    // reaches ImGui's own loader.
    MenuRenderer(const AssetRoot& assets, std::ostream& errors);
    ~MenuRenderer();
    MenuRenderer(const MenuRenderer&) = delete;
    MenuRenderer& operator=(const MenuRenderer&) = delete;

    void newFrame();
    // The menus ImGui built this frame, over the picture in the window.
    void draw();
};
