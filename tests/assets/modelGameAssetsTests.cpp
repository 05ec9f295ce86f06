// The trophy and star files the game ships: they import with their textures
// and fit the places the scene draws them in.
#include "assets/model.h"
#include "assets/modelData/modelFiles.h"
#include "support/glContext.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>

#include <cstdlib>
#include <fstream>

namespace {

struct Bounds {
    glm::vec3 min = glm::vec3(1e9f);
    glm::vec3 max = glm::vec3(-1e9f);
    float widestRadius = 0.0f; // from the vertical axis, for a model turning about it

    glm::vec3 size() const { return max - min; }
    glm::vec3 centre() const { return (min + max) * 0.5f; }
};

Bounds boundsOf(const Model& model) {
    Bounds bounds;
    for (const Mesh& mesh : model.meshes) {
        for (const Vertex& vertex : mesh.vertices) {
            bounds.min = glm::min(bounds.min, vertex.position);
            bounds.max = glm::max(bounds.max, vertex.position);
            bounds.widestRadius = std::max(
                bounds.widestRadius, glm::length(glm::vec2(vertex.position.x, vertex.position.z)));
        }
    }
    return bounds;
}

class GameModelTest : public GlTest {
  protected:
    // Imports as the game does, from the repository root, and checks what
    // every shipped model must have: meshes, unit normals, texture
    // coordinates in range, and a decoded diffuse and specular map each.
    CapturedImport importShipped(const char* path) {
        CapturedImport import = importCapturingOutput(path);
        EXPECT_EQ(import.output, "") << path;
        EXPECT_FALSE(import.model.meshes.empty()) << path;
        for (const Mesh& mesh : import.model.meshes) {
            EXPECT_EQ(mesh.indices.size() % 3, 0u);
            for (const Vertex& vertex : mesh.vertices) {
                EXPECT_NEAR(glm::length(vertex.normal), 1.0f, 1e-3f) << path;
                EXPECT_TRUE(vertex.uv.x >= 0 && vertex.uv.x <= 1 && vertex.uv.y >= 0 &&
                            vertex.uv.y <= 1)
                    << path;
            }
            EXPECT_EQ(mesh.textures.size(), 2u) << path;
            if (mesh.textures.size() != 2) {
                continue;
            }
            EXPECT_EQ(mesh.textures[0].kind, "texture_diffuse");
            EXPECT_EQ(mesh.textures[1].kind, "texture_specular");
            for (const MeshTexture& texture : mesh.textures) {
                EXPECT_FALSE(holdsPlaceholder(texture.glTexture)) << texture.path.C_Str();
            }
        }
        EXPECT_EQ(import.model.textureCache.size(), 2u) << path;
        return import;
    }
};

} // namespace

// Drawn at (0.5, 0, 0.75) inside the goal cell and turning about its own
// vertical axis, so it must stay within 0.25 of that axis.
TEST_F(GameModelTest, TheTrophyStandsOnItsBaseAndFitsItsCell) {
    const CapturedImport trophy = importShipped("objects/trophy.obj");
    const Bounds bounds = boundsOf(trophy.model);
    EXPECT_NEAR(bounds.min.y, 0.0f, 1e-4f);
    EXPECT_NEAR(bounds.size().y, 0.6f, 0.05f);
    EXPECT_NEAR(bounds.size().x, 0.4f, 0.05f);
    EXPECT_LT(bounds.size().z, 0.45f);
    EXPECT_LT(bounds.widestRadius, 0.25f);
    EXPECT_NEAR(bounds.centre().x, 0.0f, 0.01f);
    EXPECT_NEAR(bounds.centre().z, 0.0f, 0.01f);
    EXPECT_STREQ(trophy.model.textureCache[0].path.C_Str(), "textures/trophy_diffuse.png");
}

TEST_F(GameModelTest, TheStarIsAboutAThirdOfACellAcrossAndCentredOnItsAxis) {
    const CapturedImport star = importShipped("objects/star.obj");
    const Bounds bounds = boundsOf(star.model);
    EXPECT_NEAR(std::max(bounds.size().x, bounds.size().y), 0.3f, 0.04f);
    EXPECT_LT(bounds.size().z, 0.1f);
    EXPECT_NEAR(bounds.centre().x, 0.0f, 0.01f);
    EXPECT_NEAR(bounds.centre().y, 0.0f, 0.03f);
    EXPECT_LT(bounds.widestRadius, 0.17f);
}

// The shipped files are the generator's output: a stale or hand-edited file
// shows up here.
TEST(GameModelFiles, MatchWhatMakeModelsWrites) {
    const std::string tool = std::string(CELLQUEST_BINARY_DIR) + "/makeModels";
    if (!std::ifstream(tool)) {
        GTEST_SKIP() << "build the makeModels target to compare the shipped models";
    }
    ScratchFolder scratch;
    ASSERT_EQ(std::system((tool + " " + scratch.folder()).c_str()), 0);
    for (const char* name : {"trophy.obj", "trophy.mtl", "star.obj", "star.mtl",
                             "textures/trophy_diffuse.png", "textures/trophy_specular.png",
                             "textures/star_diffuse.png", "textures/star_specular.png"}) {
        const std::string shipped = fileBytes(sourcePath(std::string("objects/") + name));
        EXPECT_FALSE(shipped.empty()) << name;
        EXPECT_TRUE(shipped == fileBytes(scratch.path(name))) << name;
    }
}
