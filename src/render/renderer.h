// The renderer: the one owner of every GL object the game makes at start-up.
// They are made in start-up order when the renderer is made and deleted in
// the reverse order when it goes, which must be while the context is still
// current. The passes read them from here; the member names are the game's.
#pragma once

#include "assets/glObject.h"
#include "assets/model.h"
#include "core/assetFolder.h"
#include "render/particleRenderer.h"
#include "render/pictureTargets.h"
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
    // fatalExit. Every file is read from the asset root; the off-screen
    // targets and the text projection start at the picture size.
    Renderer(FatalExit fatalExit, const std::function<void()>& afterStageOne,
             const AssetRoot& assets = AssetRoot(), PictureSize picture = PictureSize());
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

    // The objects of each pass, grouped by pass and declared in the order
    // they are made (the programs above come first: each prints its sources
    // as it is built, in the game's order).
    struct OverlayObjects {
        TextRenderer textRenderer;
        glm::mat4 textProjection = glm::mat4(1.0f);
    } overlay;

    // The lit and shadow passes: the trophy and its two stars (loaded at the
    // origin and placed at the trophy's position each frame), the built-in
    // geometry (the light marker reads the cube's buffer) and the image
    // textures.
    struct SceneObjects {
        Model trophyModel;
        std::array<Model, 2> starModels;
        GlVertexArray cubeVao;
        GlBuffer cubeVbo;
        GlVertexArray lightVao;
        GlVertexArray planeVao;
        GlBuffer planeVbo;
        GlTexture diffuseMap;
        GlTexture specularMap;
        GlTexture wallTexture;
    } scene;

    ParticleBuffers particleBuffers;

    // Off-screen targets at the picture's size, which the lit pass draws
    // into and bloom reads; their size is the picture's.
    PictureTargets targets;

    // Bloom's full-screen quad.
    struct BloomObjects {
        GlVertexArray quadVao;
        GlBuffer quadVbo;
    } bloom;

    ShadowMap shadowMap;

    // The outline that marks the cell a hint points to.
    struct HintMarkerObjects {
        GlVertexArray cellOutlineVao;
        GlBuffer cellOutlineVbo;
    } hintMarker;

    // Follows the framebuffer's size: when it differs from the picture's,
    // new targets are made at it and, once all are complete, replace the old
    // ones (deleting them) and the text projection follows. A 0 x 0
    // framebuffer (a minimised window) is skipped. A size the targets cannot
    // be made at gets one line on standard error and the last good targets
    // stay; it is not tried again until the size changes.
    void fitPicture(PictureSize framebuffer);

  private:
    void setTextProjection();
    void loadGameModels(const AssetRoot& assets);
    void createCubeGeometry();
    void createLightMarkerGeometry();
    void createPlaneGeometry();
    void loadImageTextures(const AssetRoot& assets);
    void setSamplerUnits();
    void createPictureTargets(PictureSize picture);
    void createQuadGeometry();
    void createCellOutlineGeometry();

    PictureSize refusedSize{0, 0};
};

// The text projection of a picture: pixels with the origin at the bottom
// left, the top kept at the 768-pixel picture's top so that the overlay's
// lines stay the same distance below it whatever the window's height.
glm::mat4 textProjectionFor(PictureSize picture);
// The y of the picture's bottom edge in the text projection.
float textBottomFor(PictureSize picture);
