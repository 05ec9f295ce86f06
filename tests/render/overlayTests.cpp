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

// Where each kind of line stands: the mode lines share the top-left anchor,
// the moves and hint lines keep to the bottom, the help goes down the left.
TEST(OverlayLayout, EachKindHasItsPlace) {
    using Kind = OverlayText::Kind;
    const std::vector<OverlayText> texts = {{Kind::framerate, "Framerate: "},
                                            {Kind::wireframe, "Wireframe: ON"},
                                            {Kind::frustumCulling, "View Frustum Culling: ON"},
                                            {Kind::moves, "Level 1/1  moves 0"},
                                            {Kind::hint, "F1: keys"},
                                            {Kind::help, "first"},
                                            {Kind::help, "second"}};
    const struct {
        float x, y;
        glm::vec3 colour;
        bool clearsTextureUnits, fromBottom;
    } expected[] = {{25.0f, 708.0f, {0.0f, 1.0f, 0.0f}, false, false},
                    {25.0f, 708.0f, {0.0f, 1.0f, 0.0f}, true, false},
                    {25.0f, 708.0f, {0.0f, 1.0f, 0.0f}, false, false},
                    {25.0f, 25.0f, {1.0f, 1.0f, 1.0f}, false, true},
                    {25.0f, 60.0f, {1.0f, 0.85f, 0.2f}, false, true},
                    {25.0f, 600.0f, {0.6f, 0.9f, 1.0f}, false, false},
                    {25.0f, 566.0f, {0.6f, 0.9f, 1.0f}, false, false}};
    const std::vector<OverlayLine> lines = overlayLayout(texts);
    ASSERT_EQ(lines.size(), texts.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(texts[i].text);
        EXPECT_EQ(lines[i].text, texts[i].text);
        EXPECT_EQ(lines[i].x, expected[i].x);
        EXPECT_EQ(lines[i].y, expected[i].y);
        EXPECT_EQ(lines[i].scale, 0.5f);
        EXPECT_EQ(lines[i].colour, expected[i].colour);
        EXPECT_EQ(lines[i].clearsTextureUnits, expected[i].clearsTextureUnits);
        EXPECT_EQ(lines[i].fromBottom, expected[i].fromBottom);
    }
}

// The frame sets its own polygon mode: a normal frame after a wireframe one
// draws filled, with nobody else asked to switch it back.
TEST_F(OverlayTest, AFrameSetsItsOwnPolygonMode) {
    for (const bool wireframeFrame : {true, false, true, false}) {
        wireframe = wireframeFrame;
        drawFrame(renderer, frameView());
        GLint mode[2] = {0, 0};
        glGetIntegerv(GL_POLYGON_MODE, mode);
        EXPECT_EQ(mode[0], wireframeFrame ? GL_LINE : GL_FILL);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

} // namespace
