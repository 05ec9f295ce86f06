#include "assets/mesh.h"
#include "assets/modelData/modelFiles.h"
#include "support/glContext.h"

#include <cstdint>
#include <cstdlib>

namespace {

using Rgb = std::vector<unsigned char>;
const Rgb red = {255, 0, 0};
const Rgb green = {0, 255, 0};
const Rgb blue = {0, 0, 255};

// A quad covering the whole target, texture coordinates 0..1 left to right
// and bottom to top.
Mesh screenQuad(std::vector<MeshTexture> textures, glm::vec3 normal = glm::vec3(0, 0, 1)) {
    std::vector<Vertex> vertices = {{{-1, -1, 0}, normal, {0, 0}},
                                    {{1, -1, 0}, normal, {1, 0}},
                                    {{1, 1, 0}, normal, {1, 1}},
                                    {{-1, 1, 0}, normal, {0, 1}}};
    return Mesh(vertices, {0, 1, 2, 0, 2, 3}, std::move(textures));
}

MeshTexture meshTexture(GLuint name, const std::string& kind) {
    MeshTexture texture;
    texture.glTexture = name;
    texture.kind = kind;
    return texture;
}

GLint integer(GLenum what) {
    GLint value = -1;
    glGetIntegerv(what, &value);
    return value;
}

GLint boundOnUnit(int unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    return integer(GL_TEXTURE_BINDING_2D);
}

Rgb rgbOf(const std::vector<unsigned char>& rgba) {
    return Rgb(rgba.begin(), rgba.begin() + 3);
}

// Colours computed in the shader may round either way.
bool closeTo(const Rgb& actual, const Rgb& expected) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(actual[i] - expected[i]) > 1) {
            return false;
        }
    }
    return true;
}

class MeshTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        program = buildProbeProgram();
        ASSERT_NE(program, 0u);
        glUseProgram(program);
        redTexture = makeRowTexture({red});
        greenTexture = makeRowTexture({green});
        blueTexture = makeRowTexture({blue});
        redGreenTexture = makeRowTexture({red, green});
    }
    void TearDown() override {
        glUseProgram(0);
        glDeleteProgram(program);
        for (GLuint texture : {redTexture, greenTexture, blueTexture, redGreenTexture}) {
            glDeleteTextures(1, &texture);
        }
        glActiveTexture(GL_TEXTURE0);
    }

    void show(int input) { glUniform1i(glGetUniformLocation(program, "shown"), input); }
    GLint sampler(const char* name) {
        GLint value = -1;
        glGetUniformiv(program, glGetUniformLocation(program, name), &value);
        return value;
    }
    void setAllSamplers(GLint unit) {
        for (const char* name : {"texture_diffuse1", "texture_diffuse2", "texture_specular1"}) {
            glUniform1i(glGetUniformLocation(program, name), unit);
        }
    }

    GLuint program = 0;
    GLuint redTexture = 0;
    GLuint greenTexture = 0;
    GLuint blueTexture = 0;
    GLuint redGreenTexture = 0;
};

} // namespace

TEST_F(MeshTest, UploadRecordsBothBuffersAndTheThreeAttributesInTheVertexArray) {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    const Mesh mesh = screenQuad({});
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), static_cast<GLint>(mesh.vertexBuffer));
    EXPECT_NE(mesh.vertexBuffer, mesh.indexBuffer);

    glBindVertexArray(mesh.vertexArray);
    EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<GLint>(mesh.indexBuffer));
    const struct {
        GLuint location;
        GLint floats;
        std::uintptr_t offset;
    } attributes[] = {{0, 3, 0}, {1, 3, 12}, {2, 2, 24}};
    for (const auto& expected : attributes) {
        GLint enabled = 0, size = 0, stride = 0, type = 0, normalised = 1, buffer = 0;
        glGetVertexAttribiv(expected.location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        glGetVertexAttribiv(expected.location, GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
        glGetVertexAttribiv(expected.location, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &stride);
        glGetVertexAttribiv(expected.location, GL_VERTEX_ATTRIB_ARRAY_TYPE, &type);
        glGetVertexAttribiv(expected.location, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED, &normalised);
        glGetVertexAttribiv(expected.location, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
        void* pointer = nullptr;
        glGetVertexAttribPointerv(expected.location, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
        EXPECT_EQ(enabled, 1) << expected.location;
        EXPECT_EQ(size, expected.floats) << expected.location;
        EXPECT_EQ(stride, 32) << expected.location;
        EXPECT_EQ(type, GL_FLOAT) << expected.location;
        EXPECT_EQ(normalised, 0) << expected.location;
        EXPECT_EQ(buffer, static_cast<GLint>(mesh.vertexBuffer)) << expected.location;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(pointer), expected.offset) << expected.location;
    }
    GLint fourthEnabled = 1;
    glGetVertexAttribiv(3, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &fourthEnabled);
    EXPECT_EQ(fourthEnabled, 0);
    glBindVertexArray(0);
    expectNoGlError("upload");
}

TEST_F(MeshTest, DrawFeedsPositionsNormalsAndTextureCoordinatesToTheProgram) {
    OffscreenTarget target;
    const Mesh mesh =
        screenQuad({meshTexture(redGreenTexture, "texture_diffuse")}, glm::vec3(1.0f, 0.0f, 0.0f));
    show(0);
    mesh.draw(program);
    EXPECT_EQ(rgbOf(target.pixel(2, 8)), red);
    EXPECT_EQ(rgbOf(target.pixel(13, 8)), green);

    show(3);
    mesh.draw(program);
    EXPECT_TRUE(closeTo(rgbOf(target.pixel(8, 8)), Rgb{255, 128, 128}));

    show(4);
    mesh.draw(program);
    const Rgb bottomLeft = rgbOf(target.pixel(0, 0));
    const Rgb topRight = rgbOf(target.pixel(15, 15));
    EXPECT_LT(bottomLeft[0], 16);
    EXPECT_LT(bottomLeft[1], 16);
    EXPECT_GT(topRight[0], 239);
    EXPECT_GT(topRight[1], 239);
    expectNoGlError("draw");
}

TEST_F(MeshTest, SamplerNamesCountPerKindWhileUnitsFollowTheListPosition) {
    const struct {
        const char* name;
        std::vector<const char*> kinds;
        std::vector<std::pair<const char*, GLint>> samplers;
    } cases[] = {
        {"diffuse and specular",
         {"texture_diffuse", "texture_specular"},
         {{"texture_diffuse1", 0}, {"texture_specular1", 1}, {"texture_diffuse2", 9}}},
        {"two diffuse",
         {"texture_diffuse", "texture_diffuse"},
         {{"texture_diffuse1", 0}, {"texture_diffuse2", 1}, {"texture_specular1", 9}}},
        {"specular alone",
         {"texture_specular"},
         {{"texture_specular1", 0}, {"texture_diffuse1", 9}}},
        {"specular first",
         {"texture_specular", "texture_diffuse", "texture_diffuse"},
         {{"texture_specular1", 0}, {"texture_diffuse1", 1}, {"texture_diffuse2", 2}}},
        {"unknown kind takes a unit but no number",
         {"texture_normal", "texture_diffuse"},
         {{"texture_diffuse1", 1}, {"texture_diffuse2", 9}, {"texture_specular1", 9}}},
    };
    for (const auto& testCase : cases) {
        std::vector<MeshTexture> textures;
        for (const char* kind : testCase.kinds) {
            textures.push_back(meshTexture(redTexture, kind));
        }
        const Mesh mesh = screenQuad(textures);
        setAllSamplers(9);
        mesh.draw(program);
        const GLint lastUnit = static_cast<GLint>(GL_TEXTURE0 + textures.size() - 1);
        EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), lastUnit) << testCase.name;
        for (const auto& [samplerName, unit] : testCase.samplers) {
            EXPECT_EQ(sampler(samplerName), unit) << testCase.name << ": " << samplerName;
        }
        for (std::size_t unit = 0; unit < textures.size(); ++unit) {
            EXPECT_EQ(boundOnUnit(static_cast<int>(unit)), 0) << testCase.name << " unit " << unit;
        }
    }
    expectNoGlError("sampler cases");
}

TEST_F(MeshTest, EachTextureIsBoundOnItsUnitForTheDraw) {
    OffscreenTarget target;
    const Mesh mesh = screenQuad(
        {meshTexture(blueTexture, "texture_diffuse"), meshTexture(redTexture, "texture_specular")});
    show(0);
    mesh.draw(program);
    EXPECT_EQ(rgbOf(target.pixel(8, 8)), blue);
    show(2);
    mesh.draw(program);
    EXPECT_EQ(rgbOf(target.pixel(8, 8)), red);
}

TEST_F(MeshTest, AMeshWithoutTexturesDrawsWithTheCallersTexturesAndLeavesThemBound) {
    OffscreenTarget target;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, greenTexture);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, redTexture);
    setAllSamplers(0);
    show(0);

    screenQuad({}).draw(program);
    EXPECT_EQ(rgbOf(target.pixel(8, 8)), green);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_EQ(boundOnUnit(1), static_cast<GLint>(redTexture));
    EXPECT_EQ(boundOnUnit(0), static_cast<GLint>(greenTexture));

    // One texture of its own: unit 0 is cleared afterwards, unit 1 is not.
    screenQuad({meshTexture(blueTexture, "texture_diffuse")}).draw(program);
    EXPECT_EQ(rgbOf(target.pixel(8, 8)), blue);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(boundOnUnit(0), 0);
    EXPECT_EQ(boundOnUnit(1), static_cast<GLint>(redTexture));
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(MeshTest, AMeshWithoutIndicesDrawsNothing) {
    OffscreenTarget target;
    const Mesh full = screenQuad({meshTexture(redTexture, "texture_diffuse")});
    const Mesh empty(full.vertices, {}, full.textures);
    show(0);
    empty.draw(program);
    EXPECT_EQ(target.pixel(8, 8), (std::vector<unsigned char>{0, 0, 0, 0}));
    expectNoGlError("empty draw");
}

TEST_F(MeshTest, AMoveHandsTheGlObjectsOverAndTheLastOwnerDeletesThem) {
    OffscreenTarget target;
    std::vector<Mesh> meshes;
    meshes.push_back(screenQuad({meshTexture(redTexture, "texture_diffuse")}));
    const GLuint vertexArray = meshes[0].vertexArray;
    const GLuint vertexBuffer = meshes[0].vertexBuffer;
    const GLuint indexBuffer = meshes[0].indexBuffer;
    for (int i = 0; i < 8; ++i) {
        meshes.push_back(screenQuad({})); // reallocation moves the first mesh
    }
    EXPECT_EQ(meshes[0].vertexArray, vertexArray);
    EXPECT_EQ(meshes[0].vertexBuffer, vertexBuffer);
    EXPECT_EQ(meshes[0].indexBuffer, indexBuffer);
    show(0);
    meshes[0].draw(program);
    EXPECT_EQ(rgbOf(target.pixel(8, 8)), red);

    meshes.clear();
    EXPECT_FALSE(glIsVertexArray(vertexArray));
    EXPECT_FALSE(glIsBuffer(vertexBuffer));
    EXPECT_FALSE(glIsBuffer(indexBuffer));
    // The textures it named are not its own.
    EXPECT_TRUE(glIsTexture(redTexture));
}
