#include "render/pictureTargets.h"

namespace {

void setClampedLinear(GLenum firstFilter, GLenum secondFilter) {
    glTexParameteri(GL_TEXTURE_2D, firstFilter, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, secondFilter, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void attachHdrColor(GLuint texture, int index, PictureSize size) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, size.width, size.height, 0, GL_RGB, GL_FLOAT,
                 nullptr);
    setClampedLinear(GL_TEXTURE_MAG_FILTER, GL_TEXTURE_MIN_FILTER);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + index, GL_TEXTURE_2D, texture, 0);
}

void attachBlurColor(GLuint target, GLuint texture, PictureSize size) {
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size.width, size.height, 0, GL_RGB, GL_FLOAT, nullptr);
    setClampedLinear(GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
}

void makeHdrTarget(PictureTargets& targets) {
    targets.hdrTarget = GlFramebuffer::make();
    glBindFramebuffer(GL_FRAMEBUFFER, targets.hdrTarget);
    targets.hdrColor = {GlTexture::make(), GlTexture::make()};
    attachHdrColor(targets.hdrColor[0], 0, targets.size);
    attachHdrColor(targets.hdrColor[1], 1, targets.size);
    targets.hdrDepth = GlRenderbuffer::make();
    glBindRenderbuffer(GL_RENDERBUFFER, targets.hdrDepth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, targets.size.width,
                          targets.size.height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              targets.hdrDepth);
    const GLenum drawBuffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, drawBuffers);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void makeBlurTargets(PictureTargets& targets) {
    targets.blurTargets = {GlFramebuffer::make(), GlFramebuffer::make()};
    targets.blurColor = {GlTexture::make(), GlTexture::make()};
    attachBlurColor(targets.blurTargets[0], targets.blurColor[0], targets.size);
    attachBlurColor(targets.blurTargets[1], targets.blurColor[1], targets.size);
}

bool framebufferComplete(GLuint framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

} // namespace

PictureTargets makePictureTargets(PictureSize size) {
    PictureTargets targets;
    targets.size = size;
    makeHdrTarget(targets);
    makeBlurTargets(targets);
    return targets;
}

bool boundTargetComplete() {
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

bool pictureTargetsComplete(const PictureTargets& targets) {
    const bool complete = framebufferComplete(targets.hdrTarget) &&
                          framebufferComplete(targets.blurTargets[0]) &&
                          framebufferComplete(targets.blurTargets[1]);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete;
}
