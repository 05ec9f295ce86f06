// Shader programs from small source files written by each test: the echo of
// the sources, the release of the GL objects, and every fatal failure with its
// exact message and exit status.
#include "core/console.h"
#include "render/shaderProgram.h"
#include "support/glContext.h"

#include <GLFW/glfw3.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string vertexSource = "#version 330 core\n"
                                 "layout (location = 0) in vec3 position;\n"
                                 "uniform mat4 model;\n"
                                 "void main() { gl_Position = model * vec4(position, 1.0); }\n";

const std::string fragmentSource = "#version 330 core\n"
                                   "uniform vec3 tint;\n"
                                   "out vec4 colour;\n"
                                   "void main() { colour = vec4(tint, 1.0); }\n";

// A folder of its own per test; the same path in a death test's child, which
// runs the test again from the start.
fs::path testDirectory() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path directory = fs::temp_directory_path() / "cellquest-shader-tests" /
                               (std::string(info->test_suite_name()) + "." + info->name());
    fs::create_directories(directory);
    return directory;
}

std::string writeSource(const std::string& name, const std::string& text) {
    const fs::path path = testDirectory() / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path.string();
}

// Regular expression matching text literally.
std::string literal(const std::string& text) {
    std::string pattern;
    for (char c : text) {
        if (std::string(".[]{}()\\*+?^$|").find(c) != std::string::npos) {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern;
}

// In a death test's child: never wait at the console, and send the echo of
// the sources to the stream the test can match.
void detachConsole(bool echoToStderr) {
    const int devNull = open("/dev/null", O_RDONLY);
    dup2(devNull, STDIN_FILENO);
    if (echoToStderr) {
        // What the test runner already buffered must not land in the match.
        std::fflush(stdout);
        dup2(STDERR_FILENO, STDOUT_FILENO);
    }
}

GLint programValue(GLuint program, GLenum name) {
    GLint value = 0;
    glGetProgramiv(program, name, &value);
    return value;
}

GLint shaderValue(GLuint shader, GLenum name) {
    GLint value = 0;
    glGetShaderiv(shader, name, &value);
    return value;
}

int deleteProgramCalls = 0;
PFNGLDELETEPROGRAMPROC realDeleteProgram = nullptr;
void APIENTRY countDeleteProgram(GLuint program) {
    ++deleteProgramCalls;
    realDeleteProgram(program);
}

class ShaderProgramDeathTest : public GlTest {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        GlTest::SetUp();
    }
};

using ShaderProgramTest = GlTest;

} // namespace

TEST_F(ShaderProgramTest, BuildsALinkedProgramAndEchoesEachSourceBeforeCompiling) {
    const std::string vertexPath = writeSource("a.vert", vertexSource);
    const std::string fragmentPath = writeSource("a.frag", fragmentSource);
    testing::internal::CaptureStdout();
    ShaderProgram program(vertexPath, fragmentPath, fatalError);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), vertexSource + "\n" + fragmentSource + "\n");
    expectNoGlError("building");

    EXPECT_EQ(programValue(program.program, GL_LINK_STATUS), GL_TRUE);
    EXPECT_EQ(shaderValue(program.vertexShader, GL_SHADER_TYPE), GL_VERTEX_SHADER);
    EXPECT_EQ(shaderValue(program.fragmentShader, GL_SHADER_TYPE), GL_FRAGMENT_SHADER);
    // Both shaders stay attached for the program's whole life.
    GLuint attached[4] = {0, 0, 0, 0};
    GLsizei count = 0;
    glGetAttachedShaders(program.program, 4, &count, attached);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(attached[0] + attached[1], program.vertexShader + program.fragmentShader);
    EXPECT_NE(glGetUniformLocation(program.program, "model"), -1);
    EXPECT_NE(glGetUniformLocation(program.program, "tint"), -1);
}

TEST_F(ShaderProgramTest, ALastLineWithoutNewlineIsReadAsIfItHadOne) {
    const std::string vertexPath = writeSource("b.vert", vertexSource + "// end of file");
    const std::string fragmentPath =
        writeSource("b.frag", fragmentSource.substr(0, fragmentSource.size() - 1));
    testing::internal::CaptureStdout();
    ShaderProgram program(vertexPath, fragmentPath, fatalError);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              vertexSource + "// end of file\n\n" + fragmentSource + "\n");
    EXPECT_EQ(programValue(program.program, GL_LINK_STATUS), GL_TRUE);
}

TEST_F(ShaderProgramTest, ItsObjectsAreDeletedOnceByTheirLastOwner) {
    const std::string vertexPath = writeSource("c.vert", vertexSource);
    const std::string fragmentPath = writeSource("c.frag", fragmentSource);
    testing::internal::CaptureStdout();
    auto built = std::make_unique<ShaderProgram>(vertexPath, fragmentPath, fatalError);
    testing::internal::GetCapturedStdout();
    const GLuint program = built->program;
    const GLuint vertexShader = built->vertexShader;
    const GLuint fragmentShader = built->fragmentShader;

    realDeleteProgram = glDeleteProgram;
    glDeleteProgram = countDeleteProgram;
    deleteProgramCalls = 0;
    // A move hands the objects over: the moved-from program deletes nothing.
    auto moved = std::make_unique<ShaderProgram>(std::move(*built));
    built.reset();
    EXPECT_EQ(deleteProgramCalls, 0);
    EXPECT_TRUE(glIsProgram(program));
    EXPECT_EQ(moved->program, program);

    moved.reset();
    glDeleteProgram = realDeleteProgram;
    EXPECT_EQ(deleteProgramCalls, 1);
    EXPECT_FALSE(glIsProgram(program));
    EXPECT_FALSE(glIsShader(vertexShader));
    EXPECT_FALSE(glIsShader(fragmentShader));
}

TEST_F(ShaderProgramDeathTest, AMissingVertexFileIsTheOnlyOneNamed) {
    const std::string vertexPath = (testDirectory() / "missing.vert").string();
    const std::string fragmentPath = (testDirectory() / "missing.frag").string();
    EXPECT_EXIT(
        {
            detachConsole(true);
            ShaderProgram program(vertexPath, fragmentPath, fatalError);
        },
        ::testing::ExitedWithCode(1),
        "^" + literal("failed to open shader file: " + vertexPath) + "\n$");
}

TEST_F(ShaderProgramDeathTest, AMissingFragmentFileStopsAfterTheVertexShader) {
    const std::string vertexPath = writeSource("d.vert", vertexSource);
    const std::string fragmentPath = (testDirectory() / "missing.frag").string();
    EXPECT_EXIT(
        {
            detachConsole(true);
            ShaderProgram program(vertexPath, fragmentPath, fatalError);
        },
        ::testing::ExitedWithCode(1),
        "^" + literal(vertexSource + "\n" + "failed to open shader file: " + fragmentPath) + "\n$");
}

TEST_F(ShaderProgramDeathTest, ACompileErrorPrintsTheLogAfterTheEchoedSource) {
    const std::string vertexPath = writeSource("e.vert", vertexSource);
    const std::string brokenSource = "#version 330 core\nvoid main() { notDeclared = 1; }\n";
    const std::string fragmentPath = writeSource("e.frag", brokenSource);
    EXPECT_EXIT(
        {
            detachConsole(true);
            ShaderProgram program(vertexPath, fragmentPath, fatalError);
        },
        ::testing::ExitedWithCode(1),
        "^" + literal(vertexSource + "\n" + brokenSource + "\n") +
            "failed to compile shader\n.*notDeclared.*\n$");
}

TEST_F(ShaderProgramDeathTest, ALinkErrorPrintsTheLog) {
    const std::string vertexPath = writeSource("f.vert", vertexSource);
    // Declared, so it compiles; defined nowhere, so it cannot link.
    const std::string fragmentPath =
        writeSource("f.frag", "#version 330 core\n"
                              "vec3 definedNowhere();\n"
                              "out vec4 colour;\n"
                              "void main() { colour = vec4(definedNowhere(), 1.0); }\n");
    EXPECT_EXIT(
        {
            detachConsole(false);
            ShaderProgram program(vertexPath, fragmentPath, fatalError);
        },
        ::testing::ExitedWithCode(1), "^failed to link shader program\n.*definedNowhere.*\n$");
}

TEST_F(ShaderProgramDeathTest, AnEmptyFileEchoesAnEmptyLineAndFails) {
    const std::string vertexPath = writeSource("g.vert", "");
    const std::string fragmentPath = writeSource("g.frag", fragmentSource);
    EXPECT_EXIT(
        {
            detachConsole(true);
            ShaderProgram program(vertexPath, fragmentPath, fatalError);
        },
        ::testing::ExitedWithCode(1),
        "^\n(" + literal(fragmentSource) +
            "\nfailed to link shader program|failed to compile shader)\n");
}

TEST_F(ShaderProgramDeathTest, TheProgramObjectIsCreatedBeforeAnyFileIsRead) {
    // Without a context glCreateProgram gives 0; the missing files are never reached.
    const std::string missing = (testDirectory() / "missing.vert").string();
    EXPECT_EXIT(
        {
            detachConsole(true);
            glfwMakeContextCurrent(nullptr);
            ShaderProgram program(missing, missing, fatalError);
        },
        ::testing::ExitedWithCode(1), "^failed to create shader program\n$");
}

TEST_F(ShaderProgramDeathTest, AShaderObjectThatCannotBeCreatedIsFatalBeforeTheEcho) {
    const std::string vertexPath = writeSource("h.vert", vertexSource);
    const std::string fragmentPath = writeSource("h.frag", fragmentSource);
    testing::internal::CaptureStdout();
    ShaderProgram program(vertexPath, fragmentPath, fatalError);
    testing::internal::GetCapturedStdout();
    GlShader shader;
    EXPECT_EXIT(
        {
            detachConsole(true);
            // Not a shader type: glCreateShader answers 0.
            program.loadShader(vertexPath, GL_TEXTURE_2D, shader);
        },
        ::testing::ExitedWithCode(1), "^failed to create shader\n$");
}
