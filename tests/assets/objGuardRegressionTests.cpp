// Material libraries too short for Assimp 5.2.5: it throws after opening one
// and never frees the open file. Found by fuzzing the model import.
#include "assets/model.h"
#include "assets/modelData/modelFiles.h"
#include "assets/objGuard.h"
#include "support/glContext.h"

#include <string>

TEST(MtlTextHazard, LibrariesOfOneToSevenBytesAreRefused) {
    for (const char* text : {"#", "\n", "newmtl", "Kd 1 1\n", "newmtl\x01"}) {
        const std::string hazard = mtlTextHazard(text);
        EXPECT_NE(hazard.find("bytes long"), std::string::npos) << '"' << text << '"';
    }
    // An empty library is skipped by the importer, eight bytes are read.
    EXPECT_EQ(mtlTextHazard(""), "");
    EXPECT_EQ(mtlTextHazard("newmtl a"), "");
    EXPECT_EQ(mtlTextHazard("Kd 1 1 1"), "");
}

class ShortLibraryTest : public GlTest {
  protected:
    ScratchFolder scratch;
};

// Refused before the importer runs: the line names the library, and (under
// LeakSanitizer) nothing the importer opened is left behind.
TEST_F(ShortLibraryTest, AModelWithAShortLibraryFailsWithTheGuardsLine) {
    const std::string obj = scratch.write("m.obj", "mtllib m.mtl\n" + objTriangleVertices(0.0f) +
                                                       "usemtl a\nf 1 2 3\n");
    scratch.write("m.mtl", "newmtl");
    const CapturedImport import = importCapturingOutput(obj);
    EXPECT_EQ(import.output.rfind("ASSIMP-ERROR: material library " + scratch.path("m.mtl"), 0), 0u)
        << import.output;
    EXPECT_NE(import.output.find("6 bytes long"), std::string::npos) << import.output;
    EXPECT_TRUE(import.model.meshes.empty());
}

TEST_F(ShortLibraryTest, AnEmptyLibraryStillImportsTheMeshUntextured) {
    const std::string obj = scratch.write("m.obj", "mtllib m.mtl\n" + objTriangleVertices(0.0f) +
                                                       "usemtl a\nf 1 2 3\n");
    scratch.write("m.mtl", "");
    const CapturedImport import = importCapturingOutput(obj);
    EXPECT_EQ(import.output.find("ASSIMP-ERROR"), std::string::npos) << import.output;
    ASSERT_EQ(import.model.meshes.size(), 1u);
    EXPECT_TRUE(import.model.meshes[0].textures.empty());
}
