// The overlay: green mode lines at the top left over the finished picture,
// drawn filled even in wireframe mode, and the white won message.
#include "render/overlay.h"

#include "render/renderer.h"

#include <GL/glew.h>

namespace {

void clearTextureUnitsZeroAndOne() {
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace

void drawOverlay(Renderer& renderer, const std::vector<OverlayLine>& lines, bool wireframe) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    const float bottom = textBottomFor(renderer.targets.size);
    for (const OverlayLine& line : lines) {
        const float y = line.fromBottom ? bottom + line.y : line.y;
        renderer.textRenderer.drawText(renderer.textProgram, line.text, line.x, y, line.scale,
                                       line.colour);
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
    renderer.textRenderer.drawText(renderer.textProgram, "YOU WON!", x, y, 0.5f,
                                   glm::vec3(1.0f, 1.0f, 1.0f));
}
