// Loads arbitrary bytes as the overlay font through the game's text renderer
// and lays out every glyph it produced.
#include "fuzzSupport.h"
#include "render/textRenderer.h"

#include <GL/glew.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void checkGlyph(signed char code, const Glyph& glyph) {
    if (code < 0) {
        invariantBroken("glyph for code " + std::to_string(int(code)) + " outside 0..127");
    }
    if (glyph.size.x < 0 || glyph.size.y < 0) {
        invariantBroken("glyph " + std::to_string(int(code)) + " has a negative size");
    }
    if (glyph.size.x > maxGlyphSide || glyph.size.y > maxGlyphSide) {
        invariantBroken("glyph " + std::to_string(int(code)) + " is larger than the limit");
    }
    if (!glIsTexture(glyph.texture)) {
        invariantBroken("glyph " + std::to_string(int(code)) + " has no GL texture");
    }
}

// The overlay's own placement, at both scales it uses; the arithmetic runs
// under the undefined-behaviour checks with whatever metrics the font gave.
void layOut(const Glyph& glyph) {
    for (float scale : {0.5f, 1.0f}) {
        const std::array<float, 24> quad = glyphQuad(glyph, 25.0f, 708.0f, scale);
        for (float value : quad) {
            if (!std::isfinite(value)) {
                invariantBroken("glyph quad with a non-finite coordinate");
            }
        }
        if (advancePen(glyph, 25.0f, scale) < 25.0f) {
            invariantBroken("the pen moved backwards");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ensureHiddenGlContext();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeScratchFile("font.ttf", data, size);
    TextRenderer renderer;
    renderer.loadFont(path.c_str());
    if (!glIsVertexArray(renderer.vertexArray) || !glIsBuffer(renderer.vertexBuffer)) {
        invariantBroken("the quad's vertex array or buffer is missing");
    }
    for (const auto& [code, glyph] : renderer.glyphs) {
        checkGlyph(code, glyph);
        layOut(glyph);
    }
    // The text renderer deletes its GL objects as it goes, which keeps the
    // process small.
    return 0;
}
