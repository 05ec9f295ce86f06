// The renderer: the one owner of every GL object the game makes at start-up.
// They are made in start-up order when the renderer is made and deleted in
// the reverse order when it goes, which must be while the context is still
// current. The passes read them from here; the member names are the game's.
#pragma once

#include "assets/glObject.h"
#include "assets/model.h"
#include "render/particleRenderer.h"
#include "render/shaderProgram.h"
#include "render/shadowMap.h"
#include "render/textRenderer.h"

#include <glm/mat4x4.hpp>

#include <array>
#include <functional>

class Renderer {
  public:
    // Stage one (the eight programs, the text renderer with its font, the
    // text projection), then afterStageOne (the app's global GL state and
    // input callbacks), then the models and stage two (built-in geometry,
    // image textures, sampler units, particle buffers, off-screen targets,
    // quad, shadow map). A program that cannot be built ends the run through
    // fatalExit.
    Renderer(FatalExit fatalExit, const std::function<void()>& afterStageOne);
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;
    ~Renderer();

    // Every member is declared in the order it is made, so the members'
    // destructors delete the GL objects last made first.

    // The eight programs, in build order.
    ShaderProgram basicProgram;
    ShaderProgram lampProgram;
    ShaderProgram textProgram;
    ShaderProgram toonProgram;
    ShaderProgram shadowProgram;
    ShaderProgram particleProgram;
    ShaderProgram blurProgram;
    ShaderProgram bloomCombineProgram;

    TextRenderer textRenderer;
    glm::mat4 textProjection = glm::mat4(1.0f);

    // The trophy and its two stars, loaded at the origin: each frame places
    // them at the trophy's position in the frame view.
    Model trophyModel;
    std::array<Model, 2> starModels;

    // Built-in geometry; the light marker reads the cube's buffer.
    GlVertexArray cubeVao;
    GlBuffer cubeVbo;
    GlVertexArray lightVao;
    GlVertexArray planeVao;
    GlBuffer planeVbo;

    // Image textures.
    GlTexture diffuseMap;
    GlTexture specularMap;
    GlTexture wallTexture;

    ParticleBuffers particleBuffers;

    // Off-screen targets: the lit scene (scene colour and bright colour,
    // depth) and the two ping-pong blur targets.
    GlFramebuffer hdrTarget;
    std::array<GlTexture, 2> hdrColor;
    GlRenderbuffer hdrDepth;
    std::array<GlFramebuffer, 2> blurTargets;
    std::array<GlTexture, 2> blurColor;

    GlVertexArray quadVao;
    GlBuffer quadVbo;

    ShadowMap shadowMap;

  private:
    void setTextProjection();
    void loadGameModels();
    void createCubeGeometry();
    void createLightMarkerGeometry();
    void createPlaneGeometry();
    void loadImageTextures();
    void setSamplerUnits();
    void createHdrTarget();
    void createBlurTargets();
    void createQuadGeometry();
};
