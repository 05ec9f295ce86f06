// Remaking the off-screen targets when the picture changes size: the new set
// is complete at the new size and the old names are gone; a size the targets
// cannot be made at, or a minimised window's 0 x 0, keeps the old set.
#include "sceneFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TargetNames {
    std::vector<GLuint> textures;
    std::vector<GLuint> framebuffers;
    GLuint renderbuffer = 0;
};

TargetNames namesOf(const PictureTargets& targets) {
    return {{targets.hdrColor[0], targets.hdrColor[1], targets.blurColor[0], targets.blurColor[1]},
            {targets.hdrTarget, targets.blurTargets[0], targets.blurTargets[1]},
            targets.hdrDepth};
}

bool sameNames(const TargetNames& a, const TargetNames& b) {
    return a.textures == b.textures && a.framebuffers == b.framebuffers &&
           a.renderbuffer == b.renderbuffer;
}

GLenum statusOf(GLuint framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return status;
}

void expectCompleteAt(const PictureTargets& targets, PictureSize size) {
    EXPECT_EQ(targets.size, size);
    for (GLuint framebuffer : namesOf(targets).framebuffers) {
        EXPECT_EQ(statusOf(framebuffer), GLenum(GL_FRAMEBUFFER_COMPLETE)) << framebuffer;
    }
    for (GLuint texture : namesOf(targets).textures) {
        EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_WIDTH), size.width) << texture;
        EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_HEIGHT), size.height) << texture;
    }
    GLint width = 0;
    GLint height = 0;
    glBindRenderbuffer(GL_RENDERBUFFER, targets.hdrDepth);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &width);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    EXPECT_EQ(width, size.width);
    EXPECT_EQ(height, size.height);
}

void expectDeleted(const TargetNames& names) {
    for (GLuint texture : names.textures) {
        EXPECT_FALSE(glIsTexture(texture)) << "texture " << texture << " outlived its resize";
    }
    for (GLuint framebuffer : names.framebuffers) {
        EXPECT_FALSE(glIsFramebuffer(framebuffer)) << "framebuffer " << framebuffer;
    }
    EXPECT_FALSE(glIsRenderbuffer(names.renderbuffer));
}

// The scene target still takes a clear and gives it back.
void expectSceneTargetDraws(const PictureTargets& targets) {
    glBindFramebuffer(GL_FRAMEBUFFER, targets.hdrTarget);
    glViewport(0, 0, targets.size.width, targets.size.height);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    const std::vector<std::uint8_t> corner =
        readPixelsRgba(targets.size.width - 1, targets.size.height - 1, 1, 1);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    EXPECT_EQ(corner, (std::vector<std::uint8_t>{0, 255, 0, 255}));
}

// The shared renderer goes back to the picture every other test expects.
class PictureTargetsTest : public SceneTest {
  protected:
    void TearDown() override {
        renderer.fitPicture(PictureSize());
        SceneTest::TearDown();
    }
};

TEST_F(PictureTargetsTest, newSizeGivesCompleteTargetsAtItAndDeletesTheOldOnes) {
    for (const PictureSize size : {PictureSize{800, 600}, PictureSize{1280, 720}, PictureSize{1, 1},
                                   PictureSize{1024, 768}}) {
        const TargetNames old = namesOf(renderer.targets);
        renderer.fitPicture(size);
        expectCompleteAt(renderer.targets, size);
        expectDeleted(old);
        EXPECT_EQ(renderer.overlay.textProjection, textProjectionFor(size));
        expectSceneTargetDraws(renderer.targets);
        expectNoGlError("after the resize");
    }
}

TEST_F(PictureTargetsTest, sameSizeRemakesNothing) {
    const TargetNames before = namesOf(renderer.targets);
    renderer.fitPicture(renderer.targets.size);
    EXPECT_TRUE(sameNames(namesOf(renderer.targets), before));
}

TEST_F(PictureTargetsTest, impossibleOrEmptySizeKeepsTheLastGoodTargets) {
    renderer.fitPicture(PictureSize{640, 480});
    const TargetNames good = namesOf(renderer.targets);
    GLint maxTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    struct Refusal {
        PictureSize size;
        const char* why;
        bool reported;
    };
    const Refusal refusals[] = {
        {{maxTexture + 1, 480}, "wider than any texture", true},
        {{maxTexture + 1, 480}, "the same size again", false},
        {{640, maxTexture + 1}, "taller than any texture", true},
        {{0, 0}, "a minimised window", false},
        {{0, 480}, "no width", false},
    };
    for (const Refusal& refusal : refusals) {
        testing::internal::CaptureStderr();
        renderer.fitPicture(refusal.size);
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(sameNames(namesOf(renderer.targets), good)) << refusal.why;
        expectCompleteAt(renderer.targets, PictureSize{640, 480});
        expectSceneTargetDraws(renderer.targets);
        EXPECT_EQ(renderer.overlay.textProjection, textProjectionFor(PictureSize{640, 480})) << refusal.why;
        const bool oneLine = !errors.empty() && errors.find('\n') == errors.size() - 1;
        EXPECT_EQ(oneLine, refusal.reported) << refusal.why << ": \"" << errors << "\"";
        expectNoGlError(refusal.why);
    }
}

// The overlay's lines keep their distance from the top (or, for the lines
// kept at the bottom, from the bottom) and their pixel size whatever the
// picture's height.
TEST_F(PictureTargetsTest, textProjectionKeepsTheTopAndThePixelSize) {
    for (const PictureSize size :
         {PictureSize{1024, 768}, PictureSize{800, 600}, PictureSize{1920, 1080}}) {
        const glm::mat4 projection = textProjectionFor(size);
        const glm::vec4 lineStart = projection * glm::vec4(25.0f, 708.0f, 0.0f, 1.0f);
        const float fromTop = (1.0f - lineStart.y) * 0.5f * float(size.height);
        const float fromLeft = (lineStart.x + 1.0f) * 0.5f * float(size.width);
        EXPECT_NEAR(fromTop, 60.0f, 1e-3f) << size.width << " x " << size.height;
        EXPECT_NEAR(fromLeft, 25.0f, 1e-3f) << size.width << " x " << size.height;
        const glm::vec4 bottomLine =
            projection * glm::vec4(25.0f, textBottomFor(size) + 25.0f, 0.0f, 1.0f);
        EXPECT_NEAR((bottomLine.y + 1.0f) * 0.5f * float(size.height), 25.0f, 1e-3f);
        EXPECT_NEAR(projection[0][0] * 0.5f * float(size.width), 1.0f, 1e-6f);
        EXPECT_NEAR(projection[1][1] * 0.5f * float(size.height), 1.0f, 1e-6f);
    }
}

} // namespace
