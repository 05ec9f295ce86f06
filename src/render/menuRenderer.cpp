#include "render/menuRenderer.h"

#include "render/textRenderer.h"

#include <backends/imgui_impl_opengl3.h>
#include <imgui.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr float menuFontPixels = 28.0f;

std::vector<unsigned char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// FreeType opens the face and draws a letter from it: a font ImGui's own
// reader can take without tripping its asserts.
bool freeTypeReads(const std::vector<unsigned char>& bytes) {
    FT_Library library = nullptr;
    if (bytes.empty() || FT_Init_FreeType(&library) != 0) {
        return false;
    }
    FT_Face face = nullptr;
    bool readable = FT_New_Memory_Face(library, bytes.data(), FT_Long(bytes.size()), 0, &face) == 0;
    readable = readable && face->num_glyphs > 0 && FT_Set_Pixel_Sizes(face, 0, 28) == 0 &&
               FT_Load_Char(face, 'A', FT_LOAD_RENDER) == 0;
    if (face) {
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return readable;
}

void loadMenuFont(const std::string& path, std::ostream& errors) {
    ImFontAtlas& atlas = *ImGui::GetIO().Fonts;
    const std::vector<unsigned char> bytes = fileBytes(path);
    if (!freeTypeReads(bytes)) {
        errors << "menus: cannot read the font " << path << "; using the built-in font"
               << std::endl;
        atlas.AddFontDefault();
        return;
    }
    // The atlas frees the copy with ImGui's allocator.
    void* copy = ImGui::MemAlloc(bytes.size());
    std::memcpy(copy, bytes.data(), bytes.size());
    atlas.AddFontFromMemoryTTF(copy, int(bytes.size()), menuFontPixels);
}

} // namespace

MenuRenderer::MenuRenderer(const AssetRoot& assets, std::ostream& errors) {
    loadMenuFont(assets.path(gameFontFile), errors);
    ImGui_ImplOpenGL3_Init("#version 330 core");
}

MenuRenderer::~MenuRenderer() {
    ImGui_ImplOpenGL3_Shutdown();
}

void MenuRenderer::newFrame() {
    ImGui_ImplOpenGL3_NewFrame();
}

void MenuRenderer::draw() {
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
}
