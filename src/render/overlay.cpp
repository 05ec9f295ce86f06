// The overlay: green mode lines at the top left over the finished picture,
// drawn filled even in wireframe mode, and the white won message.
#include "render/overlay.h"

#include "render/renderer.h"

#include <GL/glew.h>

namespace {

constexpr float overlayX = 25.0f;
constexpr float overlayY = 708.0f;
constexpr float overlayScale = 0.5f;
const glm::vec3 overlayGreen(0.0f, 1.0f, 0.0f);
// The moves, hint and muted-sound lines stand at the bottom left, the help below the
// mode lines at the top left.
constexpr float movesLineY = 25.0f;
constexpr float hintLineY = 60.0f;
constexpr float soundOffLineY = 95.0f;
constexpr float overviewLineY = 650.0f;
constexpr float helpTopY = 600.0f;
constexpr float helpLineStep = 34.0f;
const glm::vec3 movesColour(1.0f, 1.0f, 1.0f);
const glm::vec3 hintColour(1.0f, 0.85f, 0.2f);
const glm::vec3 helpColour(0.6f, 0.9f, 1.0f);
const glm::vec3 soundOffColour(1.0f, 0.55f, 0.45f);

OverlayLine modeLine(const std::string& text, bool clearsTextureUnits = false) {
    return {text, overlayX, overlayY, overlayScale, overlayGreen, clearsTextureUnits, false};
}

void clearTextureUnitsZeroAndOne() {
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace

std::vector<OverlayLine> overlayLayout(const std::vector<OverlayText>& texts) {
    std::vector<OverlayLine> lines;
    float helpY = helpTopY;
    for (const OverlayText& text : texts) {
        switch (text.kind) {
        case OverlayText::Kind::framerate:
        case OverlayText::Kind::frustumCulling:
            lines.push_back(modeLine(text.text));
            break;
        case OverlayText::Kind::wireframe:
            lines.push_back(modeLine(text.text, true));
            break;
        case OverlayText::Kind::overview:
            lines.push_back(
                {text.text, overlayX, overviewLineY, overlayScale, movesColour, false, false});
            break;
        case OverlayText::Kind::moves:
            lines.push_back(
                {text.text, overlayX, movesLineY, overlayScale, movesColour, false, true});
            break;
        case OverlayText::Kind::hint:
            lines.push_back(
                {text.text, overlayX, hintLineY, overlayScale, hintColour, false, true});
            break;
        case OverlayText::Kind::soundOff:
            lines.push_back(
                {text.text, overlayX, soundOffLineY, overlayScale, soundOffColour, false, true});
            break;
        case OverlayText::Kind::help:
            lines.push_back({text.text, overlayX, helpY, overlayScale, helpColour, false, false});
            helpY -= helpLineStep;
            break;
        }
    }
    return lines;
}

void drawOverlay(Renderer& renderer, const std::vector<OverlayText>& texts, bool wireframe) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    const float bottom = textBottomFor(renderer.targets.size);
    for (const OverlayLine& line : overlayLayout(texts)) {
        const float y = line.fromBottom ? bottom + line.y : line.y;
        renderer.overlay.textRenderer.drawText(renderer.textProgram, line.text, line.x, y,
                                               line.scale, line.colour);
        if (line.clearsTextureUnits) {
            clearTextureUnitsZeroAndOne();
        }
    }
    if (wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
}

void drawWonMessage(Renderer& renderer) {
    // Wireframe mode may have left polygons as lines; the message stays readable.
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    // The colour stays as the last frame left it, but the depth of the
    // previous won frame's message would hide this one's.
    glClear(GL_DEPTH_BUFFER_BIT);
    // It starts in the middle of the picture (512, 384 in the 1024 x 768 one)
    // whatever the window's size.
    const PictureSize picture = renderer.targets.size;
    const float x = 0.5f * float(picture.width);
    const float y = textBottomFor(picture) + 0.5f * float(picture.height);
    renderer.overlay.textRenderer.drawText(renderer.textProgram, "YOU WON!", x, y, 0.5f,
                                           glm::vec3(1.0f, 1.0f, 1.0f));
}
