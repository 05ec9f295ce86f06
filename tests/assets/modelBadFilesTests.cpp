// Broken model files must cost one console line and an empty (or partial)
// model, never the process.
#include "assets/model.h"
#include "assets/modelData/modelFiles.h"
#include "support/glContext.h"

namespace {

class ModelBadFilesTest : public GlTest {
  protected:
    void expectCleanFailure(const std::string& name, const std::string& bytes) {
        const std::string path = scratch.write(name, bytes);
        const CapturedImport import = importCapturingOutput(path);
        EXPECT_EQ(import.output.rfind("ASSIMP-ERROR: ", 0), 0u) << name << ": " << import.output;
        EXPECT_EQ(countOccurrences(import.output, "\n"), 1) << name << ": " << import.output;
        EXPECT_TRUE(import.model.meshes.empty()) << name;
        EXPECT_EQ(import.model.directory, "") << name;
    }

    ScratchFolder scratch;
};

} // namespace

TEST_F(ModelBadFilesTest, UnreadableFilesFailWithTheImportersLine) {
    expectCleanFailure("empty.obj", "");
    expectCleanFailure("garbage.obj", std::string("\x01\x02\x03garbage\xff\xfe", 12));
    expectCleanFailure("short.obj", "f 1 2 3\n");
    expectCleanFailure("unknown.xyz", "\x7f\x45\x4c\x46 not a model in any format");
}

TEST_F(ModelBadFilesTest, FacesNamingMissingVerticesFailCleanly) {
    const std::string triangle = objTriangleVertices(0);
    expectCleanFailure("beyond.obj", triangle + "f 1 2 9\n");
    expectCleanFailure("zero.obj", triangle + "f 0 1 2\n");
    expectCleanFailure("negative.obj", triangle + "f -1 -2 -9\n");
    expectCleanFailure("huge.obj", triangle + "f 1 2 3\nf 1 2 100000000000\n");
}

// Assimp's PLY reader passes such a face on; the model leaves it out so no
// draw reads past the vertex buffer.
TEST_F(ModelBadFilesTest, APlyFaceNamingAMissingVertexIsLeftOut) {
    const std::string path = scratch.write("bad.ply", "ply\nformat ascii 1.0\nelement vertex 4\n"
                                                      "property float x\nproperty float y\n"
                                                      "property float z\nelement face 2\n"
                                                      "property list uchar int vertex_indices\n"
                                                      "end_header\n0 0 0\n1 0 0\n0 1 0\n1 1 0\n"
                                                      "3 0 1 99\n3 1 3 2\n");
    const CapturedImport import = importCapturingOutput(path);
    EXPECT_EQ(import.output, "");
    ASSERT_EQ(import.model.meshes.size(), 1u);
    const Mesh& mesh = import.model.meshes[0];
    ASSERT_EQ(mesh.indices.size(), 3u);
    for (GLuint index : mesh.indices) {
        EXPECT_LT(index, mesh.vertices.size());
    }
}

TEST_F(ModelBadFilesTest, TextThatIsNoModelImportsAsNothing) {
    const std::string path = scratch.write("prose.obj", "hello world\nthis is not a model\n");
    const CapturedImport import = importCapturingOutput(path);
    EXPECT_TRUE(import.model.meshes.empty());
    EXPECT_TRUE(import.output.empty() || import.output.rfind("ASSIMP-ERROR: ", 0) == 0)
        << import.output;
}

TEST_F(ModelBadFilesTest, AMissingMaterialLibraryLeavesTheMeshUntextured) {
    const std::string path = scratch.write("tri.obj", objTexturedTriangle());
    const CapturedImport import = importCapturingOutput(path);
    EXPECT_EQ(import.output, "");
    ASSERT_EQ(import.model.meshes.size(), 1u);
    EXPECT_TRUE(import.model.meshes[0].textures.empty());
}

TEST_F(ModelBadFilesTest, ATextureStatementBeforeNewmtlIsRefusedBeforeTheImporterRuns) {
    const std::string mtl = scratch.write("m.mtl", "Ka 1 1 1\nmap_Kd t.png\nnewmtl a\n");
    const std::string path = scratch.write("tri.obj", objTexturedTriangle());
    const CapturedImport import = importCapturingOutput(path);
    EXPECT_EQ(import.output, "ASSIMP-ERROR: material library " + mtl +
                                 ": texture statement \"map_Kd\" on line 2 comes before the first "
                                 "newmtl\n");
    EXPECT_TRUE(import.model.meshes.empty());
    EXPECT_EQ(import.model.directory, "");
}

// The material's text is used as written: no separator is rewritten and no
// space trimmed, so such a name finds no file and gets the placeholder.
TEST_F(ModelBadFilesTest, OddTexturePathsGetThePlaceholderAndTheirLine) {
    std::vector<std::uint8_t> white(4 * 4, 255);
    std::filesystem::create_directories(scratch.path("tex"));
    ASSERT_TRUE(writePngRgba(scratch.path("tex/a.png"), 2, 2, white));
    ASSERT_TRUE(writePngRgba(scratch.path("a.png"), 2, 2, white));
    scratch.write("m.mtl", "newmtl a\nmap_Kd tex\\a.png\nmap_Ks a.png   \n");
    const std::string path = scratch.write("tri.obj", objTexturedTriangle());
    const CapturedImport import = importCapturingOutput(path);
    EXPECT_NE(import.output.find("failed to load texture: " + scratch.path("tex\\a.png") + "\n"),
              std::string::npos)
        << import.output;
    EXPECT_NE(import.output.find("failed to load texture: " + scratch.path("a.png   ") + "\n"),
              std::string::npos)
        << import.output;
    ASSERT_EQ(import.model.meshes.size(), 1u);
    ASSERT_EQ(import.model.meshes[0].textures.size(), 2u);
    for (const MeshTexture& texture : import.model.meshes[0].textures) {
        EXPECT_TRUE(holdsPlaceholder(texture.glTexture)) << texture.path.C_Str();
    }
}
