#include "assets/model.h"
#include "assets/modelData/modelFiles.h"
#include "support/glContext.h"

#include <unistd.h>

#include <cstdint>

namespace {

// Writes a PNG of one colour; the model's textures decode it.
void writeSolidPng(const std::string& path, int width, int height, std::uint8_t r, std::uint8_t g,
                   std::uint8_t b) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::vector<std::uint8_t> rgba(std::size_t(width) * height * 4, 255);
    for (std::size_t pixel = 0; pixel < rgba.size(); pixel += 4) {
        rgba[pixel] = r;
        rgba[pixel + 1] = g;
        rgba[pixel + 2] = b;
    }
    ASSERT_TRUE(writePngRgba(path, width, height, rgba));
}

std::vector<float> firstXOfEachMesh(const Model& model) {
    std::vector<float> xs;
    for (const Mesh& mesh : model.meshes) {
        xs.push_back(mesh.vertices.empty() ? -1.0f : mesh.vertices[0].position.x);
    }
    return xs;
}

// Changes the working directory for one test, to import a path without "/".
class WorkingDirectory {
  public:
    explicit WorkingDirectory(const std::string& folder) {
        char buffer[4096] = {};
        previous = getcwd(buffer, sizeof buffer) ? buffer : "";
        EXPECT_EQ(chdir(folder.c_str()), 0);
    }
    ~WorkingDirectory() { EXPECT_EQ(chdir(previous.c_str()), 0); }

  private:
    std::string previous;
};

class ModelTest : public GlTest {
  protected:
    ScratchFolder scratch;
};

// Three triangles at x = 1, 2, 3 in two objects; the second object has a
// mesh of its own and a group below it.
const char* groupedObj = "v 1 0 0\nv 1 1 0\nv 1 0 1\nv 2 0 0\nv 2 1 0\nv 2 0 1\n"
                         "v 3 0 0\nv 3 1 0\nv 3 0 1\nv 4 0 0\nv 4 1 0\nv 4 0 1\n"
                         "o first\ng alpha\nf 1 2 3\ng beta\nf 4 5 6\n"
                         "o second\nf 7 8 9\ng gamma\nf 10 11 12\n";

// A glTF whose file order of meshes differs from the order of the node walk,
// and whose mesh 2 is used by two nodes.
void writeNodeTree(const ScratchFolder& scratch) {
    std::string bytes;
    for (float x : {0.0f, 1.0f, 2.0f}) {
        const float corners[9] = {x, 0, 0, x, 1, 0, x, 0, 1};
        bytes.append(reinterpret_cast<const char*>(corners), sizeof corners);
    }
    scratch.write("tree.bin", bytes);
    std::string accessors;
    for (int i = 0; i < 3; ++i) {
        const std::string x = std::to_string(i);
        accessors += std::string(i ? "," : "") +
                     "{\"bufferView\":0,\"byteOffset\":" + std::to_string(36 * i) +
                     ",\"componentType\":5126,\"count\":3,\"type\":\"VEC3\",\"min\":[" + x +
                     ",0,0],\"max\":[" + x + ",1,1]}";
    }
    scratch.write("tree.gltf",
                  R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],
"nodes":[{"name":"top","mesh":2,"children":[1,2]},{"name":"left","mesh":1,"children":[3]},
         {"name":"right","mesh":0},{"name":"leaf","mesh":2}],
"meshes":[{"primitives":[{"attributes":{"POSITION":0}}]},
          {"primitives":[{"attributes":{"POSITION":1}}]},
          {"primitives":[{"attributes":{"POSITION":2}}]}],
"accessors":[)" + accessors +
                      R"(],
"bufferViews":[{"buffer":0,"byteLength":108}],
"buffers":[{"uri":"tree.bin","byteLength":108}]})");
}

} // namespace

TEST_F(ModelTest, AMissingFileGivesOneErrorLineAndAnEmptyModelAtItsPosition) {
    const std::string path = scratch.path("absent.obj");
    const CapturedImport import = importCapturingOutput(path, glm::vec3(2.0f, 2.0f, 0.0f));
    EXPECT_EQ(import.output.rfind("ASSIMP-ERROR: ", 0), 0u) << import.output;
    EXPECT_GT(import.output.size(), std::string("ASSIMP-ERROR: \n").size());
    EXPECT_EQ(countOccurrences(import.output, "\n"), 1);
    EXPECT_EQ(import.output.back(), '\n');
    EXPECT_TRUE(import.model.meshes.empty());
    EXPECT_TRUE(import.model.textureCache.empty());
    EXPECT_EQ(import.model.directory, "");
    EXPECT_EQ(import.model.position, glm::vec3(2.0f, 2.0f, 0.0f));
    EXPECT_EQ(import.model.sourcePath, path.c_str());
}

TEST_F(ModelTest, DirectoryIsThePathUpToTheLastSlashOrTheWholePath) {
    scratch.write("deep/er/m.mtl", "newmtl a\nmap_Kd t.png\n");
    const std::string deep = scratch.write("deep/er/tri.obj", objTexturedTriangle());
    EXPECT_EQ(importCapturingOutput(deep).model.directory, scratch.path("deep/er"));

    scratch.write("m.mtl", "newmtl a\nmap_Kd t.png\n");
    scratch.write("tri.obj", objTexturedTriangle());
    const WorkingDirectory inScratch(scratch.folder());
    const CapturedImport bare = importCapturingOutput("tri.obj");
    EXPECT_EQ(bare.model.directory, "tri.obj");
    EXPECT_NE(bare.output.find("failed to load texture: tri.obj/t.png\n"), std::string::npos)
        << bare.output;
    ASSERT_EQ(bare.model.meshes.size(), 1u);
}

TEST_F(ModelTest, MeshesFollowTheNodeWalkOfAnObjFile) {
    const std::string path = scratch.write("grouped.obj", groupedObj);
    const CapturedImport import = importCapturingOutput(path);
    EXPECT_EQ(import.output, "");
    EXPECT_EQ(firstXOfEachMesh(import.model), (std::vector<float>{1, 2, 3, 4}));
}

TEST_F(ModelTest, MeshesFollowTheNodeWalkNotTheFileOrder) {
    writeNodeTree(scratch);
    const std::string path = scratch.path("tree.gltf");
    const CapturedImport import = importCapturingOutput(path);
    ASSERT_EQ(import.output, "");
    // top (mesh 2), left (mesh 1), left's child leaf (mesh 2 again), right (mesh 0)
    EXPECT_EQ(firstXOfEachMesh(import.model), (std::vector<float>{2, 1, 2, 0}));
    ASSERT_EQ(import.model.meshes.size(), 4u);
    EXPECT_NE(import.model.meshes[0].vertexArray, import.model.meshes[2].vertexArray);
}

TEST_F(ModelTest, VerticesAndIndicesComeFromTheFileUnchanged) {
    const std::string path =
        scratch.write("quad.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                                  "vt 0.25 0.75\nvt 0.5 0.75\nvt 0.5 1\nvt 0.25 1\n"
                                  "vn 0 0 1\nf 1/1/1 2/2/1 3/3/1 4/4/1\n");
    const Model model = importCapturingOutput(path).model;
    ASSERT_EQ(model.meshes.size(), 1u);
    const Mesh& mesh = model.meshes[0];
    ASSERT_EQ(mesh.vertices.size(), 4u);
    EXPECT_EQ(mesh.vertices[2].position, glm::vec3(1, 1, 0));
    EXPECT_EQ(mesh.vertices[0].uv, glm::vec2(0.25f, 0.75f)); // not flipped
    EXPECT_EQ(mesh.vertices[3].uv, glm::vec2(0.25f, 1.0f));
    EXPECT_EQ(mesh.vertices[1].normal, glm::vec3(0, 0, 1));
    // The quad arrives as two triangles; every index names one of its corners.
    ASSERT_EQ(mesh.indices.size(), 6u);
    for (GLuint index : mesh.indices) {
        EXPECT_LT(index, 4u);
    }
}

TEST_F(ModelTest, MissingTextureCoordinatesAndNormalsBecomeZero) {
    const std::string path = scratch.write("bare.obj", objTriangleVertices(5) + "f 1 2 3\n");
    const Model model = importCapturingOutput(path).model;
    ASSERT_EQ(model.meshes.size(), 1u);
    ASSERT_EQ(model.meshes[0].vertices.size(), 3u);
    for (const Vertex& vertex : model.meshes[0].vertices) {
        EXPECT_EQ(vertex.uv, glm::vec2(0.0f));
        EXPECT_EQ(vertex.normal, glm::vec3(0.0f));
        EXPECT_EQ(vertex.position.x, 5.0f);
    }
}

TEST_F(ModelTest, DiffuseTexturesComeBeforeSpecularOnesAndDecodeFromTheModelFolder) {
    writeSolidPng(scratch.path("maps/d.png"), 4, 2, 200, 150, 50);
    writeSolidPng(scratch.path("maps/s.png"), 2, 2, 90, 90, 90);
    scratch.write("m.mtl", "newmtl a\nmap_Ks maps/s.png\nmap_Kd maps/d.png\n");
    const std::string path = scratch.write("tri.obj", objTexturedTriangle());
    const CapturedImport import = importCapturingOutput(path);
    EXPECT_EQ(import.output, "");
    ASSERT_EQ(import.model.meshes.size(), 1u);
    const std::vector<MeshTexture>& textures = import.model.meshes[0].textures;
    ASSERT_EQ(textures.size(), 2u);
    EXPECT_EQ(textures[0].kind, "texture_diffuse");
    EXPECT_STREQ(textures[0].path.C_Str(), "maps/d.png");
    EXPECT_EQ(textures[1].kind, "texture_specular");
    int width = 0;
    int height = 0;
    const std::vector<unsigned char> rgb = textureRgb(textures[0].glTexture, width, height);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(std::vector<unsigned char>(rgb.begin(), rgb.begin() + 3),
              (std::vector<unsigned char>{200, 150, 50}));
    ASSERT_EQ(import.model.textureCache.size(), 2u);
    EXPECT_EQ(import.model.textureCache[0].glTexture, textures[0].glTexture);
    expectNoGlError("texture read-back");
}

TEST_F(ModelTest, ATexturePathNamedTwiceIsDecodedOnceAndKeepsItsFirstKind) {
    scratch.write("m.mtl", "newmtl one\nmap_Kd shared.png\n"
                           "newmtl two\nmap_Kd shared.png\n"
                           "newmtl three\nmap_Ks shared.png\n");
    const std::string path =
        scratch.write("three.obj", "mtllib m.mtl\n" + objTriangleVertices(1) +
                                       objTriangleVertices(2) + objTriangleVertices(3) +
                                       "g a\nusemtl one\nf 1 2 3\ng b\nusemtl two\nf 4 5 6\n"
                                       "g c\nusemtl three\nf 7 8 9\n");
    const CapturedImport import = importCapturingOutput(path);
    EXPECT_EQ(countOccurrences(import.output, "failed to load texture: "), 1) << import.output;
    ASSERT_EQ(import.model.meshes.size(), 3u);
    ASSERT_EQ(import.model.textureCache.size(), 1u);
    const GLuint shared = import.model.textureCache[0].glTexture;
    for (const Mesh& mesh : import.model.meshes) {
        ASSERT_EQ(mesh.textures.size(), 1u);
        EXPECT_EQ(mesh.textures[0].glTexture, shared);
        EXPECT_STREQ(mesh.textures[0].path.C_Str(), "shared.png");
        // The third names it as a specular map but gets the cached diffuse entry.
        EXPECT_EQ(mesh.textures[0].kind, "texture_diffuse");
    }
}

TEST_F(ModelTest, ATextureThatCannotBeDecodedGetsThePlaceholderAndStaysCached) {
    scratch.write("broken.png", "not a picture");
    scratch.write("m.mtl", "newmtl a\nmap_Kd missing.png\nmap_Ks broken.png\n");
    const std::string path = scratch.write("tri.obj", objTexturedTriangle());
    const CapturedImport import = importCapturingOutput(path);
    EXPECT_NE(import.output.find("failed to load texture: " + scratch.path("missing.png") + "\n"),
              std::string::npos)
        << import.output;
    EXPECT_NE(import.output.find("failed to load texture: " + scratch.path("broken.png") + "\n"),
              std::string::npos)
        << import.output;
    ASSERT_EQ(import.model.textureCache.size(), 2u);
    for (const ModelTexture& texture : import.model.textureCache) {
        EXPECT_TRUE(glIsTexture(texture.glTexture));
        EXPECT_TRUE(holdsPlaceholder(texture.glTexture));
    }
    expectNoGlError("placeholder");
}

TEST_F(ModelTest, AMoveHandsTheGlObjectsOverAndTheLastOwnerDeletesThem) {
    writeSolidPng(scratch.path("t.png"), 2, 2, 10, 20, 30);
    scratch.write("m.mtl", "newmtl a\nmap_Kd t.png\n");
    const std::string path = scratch.write("tri.obj", objTexturedTriangle());
    Model kept;
    GLuint vertexArray = 0;
    GLuint texture = 0;
    {
        Model temporary(path.c_str(), glm::vec3(1.0f));
        ASSERT_EQ(temporary.meshes.size(), 1u);
        vertexArray = temporary.meshes[0].vertexArray;
        texture = temporary.textureCache[0].glTexture;
        kept = std::move(temporary);
    }
    ASSERT_EQ(kept.meshes.size(), 1u);
    EXPECT_EQ(kept.meshes[0].vertexArray, vertexArray);
    EXPECT_EQ(kept.meshes[0].textures[0].glTexture, texture);
    EXPECT_TRUE(glIsVertexArray(kept.meshes[0].vertexArray));
    EXPECT_TRUE(glIsBuffer(kept.meshes[0].vertexBuffer));
    EXPECT_TRUE(glIsBuffer(kept.meshes[0].indexBuffer));
    EXPECT_TRUE(glIsTexture(kept.textureCache[0].glTexture));
    EXPECT_EQ(kept.position, glm::vec3(1.0f));

    const GLuint vertexBuffer = kept.meshes[0].vertexBuffer;
    const GLuint indexBuffer = kept.meshes[0].indexBuffer;
    kept = Model();
    EXPECT_FALSE(glIsVertexArray(vertexArray));
    EXPECT_FALSE(glIsBuffer(vertexBuffer));
    EXPECT_FALSE(glIsBuffer(indexBuffer));
    EXPECT_FALSE(glIsTexture(texture));
}

TEST_F(ModelTest, DrawDrawsEveryMeshAndAnEmptyModelDrawsNothing) {
    // Two triangles in clip space, one on each half of the target.
    const std::string path = scratch.write(
        "halves.obj", "v -1 -1 0\nv -0.1 -1 0\nv -1 1 0\nv 0.1 -1 0\nv 1 -1 0\nv 1 1 0\n"
                      "vn 1 0 0\nvn 0 1 0\ng left\nf 1//1 2//1 3//1\ng right\nf 4//2 5//2 6//2\n");
    const Model model = importCapturingOutput(path).model;
    ASSERT_EQ(model.meshes.size(), 2u);
    const GLuint program = buildProbeProgram();
    ASSERT_NE(program, 0u);
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "shown"), 3);
    OffscreenTarget target;
    Model().draw(program);
    EXPECT_EQ(target.pixel(2, 4), (std::vector<unsigned char>{0, 0, 0, 0}));
    model.draw(program);
    EXPECT_GT(target.pixel(2, 4)[0], 250);  // normal (1, 0, 0)
    EXPECT_GT(target.pixel(13, 4)[1], 250); // normal (0, 1, 0)
    glUseProgram(0);
    glDeleteProgram(program);
    expectNoGlError("model draw");
}
