// The overlay over a finished frame: the full-screen combine leaves its own
// depth in the window, and the text must still show; the won message must
// show in every won frame, not only the first.
#include "render/drawFrame.h"
#include "render/overlay.h"
#include "render/sceneFixture.h"

#include <GL/glew.h>

namespace {

int pixelsMatching(int x, int y, int width, int height, bool (*matches)(const std::uint8_t*)) {
    const std::vector<std::uint8_t> rgba = readPixelsRgba(x, y, width, height);
    int count = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        count += matches(&rgba[i]) ? 1 : 0;
    }
    return count;
}

bool isOverlayGreen(const std::uint8_t* p) {
    return p[1] > 200 && p[0] < 100 && p[2] < 100;
}
bool isWhite(const std::uint8_t* p) {
    return p[0] > 235 && p[1] > 235 && p[2] > 235;
}

class OverlayTest : public SceneTest {
  protected:
    void TearDown() override { SceneTest::TearDown(); }
};

TEST_F(OverlayTest, ModeLineShowsOverTheCombinedPicture) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    deltaTime = 1.0f / 60.0f;
    FrameView plain = frameView();
    drawFrame(renderer, plain);
    EXPECT_EQ(pixelsMatching(20, 700, 300, 40, isOverlayGreen), 0);

    frustumCulling = true;
    FrameView withModeLine = frameView();
    drawFrame(renderer, withModeLine);
    EXPECT_GT(pixelsMatching(20, 700, 300, 40, isOverlayGreen), 200)
        << "\"View Frustum Culling: ON\" hidden behind the combine's depth";
}

TEST_F(OverlayTest, WonMessageShowsInConsecutiveWonFrames) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    deltaTime = 1.0f / 60.0f;
    FrameView view = frameView();
    drawFrame(renderer, view);
    for (int wonFrame = 1; wonFrame <= 3; ++wonFrame) {
        // Each won frame draws over what the back buffer holds; start from a
        // plain picture so only this frame's message can light the pixels.
        glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        drawWonMessage(renderer);
        EXPECT_GT(pixelsMatching(500, 375, 200, 40, isWhite), 200) << "won frame " << wonFrame;
    }
}

// In a smaller window the message starts in the middle of its picture.
TEST_F(OverlayTest, WonMessageKeepsToTheMiddleOfAResizedPicture) {
    renderer.fitPicture(PictureSize{800, 600});
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawWonFrame(renderer);
    const int middle = pixelsMatching(390, 291, 200, 40, isWhite);
    const int whereTheFullPictureHasIt = pixelsMatching(500, 375, 200, 40, isWhite);
    renderer.fitPicture(PictureSize{1024, 768});
    EXPECT_GT(middle, 200);
    EXPECT_LT(whereTheFullPictureHasIt, 20);
}

} // namespace
