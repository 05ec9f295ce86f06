// Destroying the renderer deletes every GL object it made, last made first.
// Buffers, vertex arrays, framebuffers, renderbuffers, programs and shaders
// are made and deleted through GLEW's entry points, which the test wraps to
// log each name in order; textures go through GL 1.1 functions that cannot be
// wrapped, so for them only the names GL still knows are compared.
#include "core/console.h"
#include "render/renderer.h"
#include "support/glContext.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <utility>
#include <vector>

namespace {

enum class Kind { buffer, vertexArray, framebuffer, renderbuffer, program, shader, texture };
using Name = std::pair<Kind, GLuint>;

std::vector<Name> madeNames;
std::vector<Name> deletedNames;

// Every name GL knows as an object, up to far more names than one process
// of these tests ever makes.
std::set<Name> namesGlKnows() {
    constexpr GLuint highestName = 1u << 15;
    std::set<Name> names;
    for (GLuint name = 1; name <= highestName; ++name) {
        const std::pair<Kind, bool> known[] = {{Kind::buffer, glIsBuffer(name)},
                                               {Kind::vertexArray, glIsVertexArray(name)},
                                               {Kind::framebuffer, glIsFramebuffer(name)},
                                               {Kind::renderbuffer, glIsRenderbuffer(name)},
                                               {Kind::program, glIsProgram(name)},
                                               {Kind::shader, glIsShader(name)},
                                               {Kind::texture, glIsTexture(name)}};
        for (const auto& [kind, isObject] : known) {
            if (isObject) {
                names.insert({kind, name});
            }
        }
    }
    return names;
}

// Wraps one kind's generate and delete entry points.
template <Kind kind> struct NameLog {
    static inline PFNGLGENBUFFERSPROC realGenerate = nullptr;
    static inline PFNGLDELETEBUFFERSPROC realDelete = nullptr;

    static void GLAPIENTRY generate(GLsizei count, GLuint* names) {
        realGenerate(count, names);
        for (GLsizei i = 0; i < count; ++i) {
            madeNames.push_back({kind, names[i]});
        }
    }
    static void GLAPIENTRY remove(GLsizei count, const GLuint* names) {
        for (GLsizei i = 0; i < count; ++i) {
            deletedNames.push_back({kind, names[i]});
        }
        realDelete(count, names);
    }
    static void install(PFNGLGENBUFFERSPROC& generateEntry, PFNGLDELETEBUFFERSPROC& deleteEntry) {
        realGenerate = std::exchange(generateEntry, generate);
        realDelete = std::exchange(deleteEntry, remove);
    }
    static void uninstall(PFNGLGENBUFFERSPROC& generateEntry, PFNGLDELETEBUFFERSPROC& deleteEntry) {
        generateEntry = realGenerate;
        deleteEntry = realDelete;
    }
};

PFNGLCREATEPROGRAMPROC realCreateProgram = nullptr;
PFNGLDELETEPROGRAMPROC realDeleteProgram = nullptr;
PFNGLCREATESHADERPROC realCreateShader = nullptr;
PFNGLDELETESHADERPROC realDeleteShader = nullptr;

GLuint GLAPIENTRY logCreateProgram() {
    const GLuint name = realCreateProgram();
    madeNames.push_back({Kind::program, name});
    return name;
}
void GLAPIENTRY logDeleteProgram(GLuint name) {
    deletedNames.push_back({Kind::program, name});
    realDeleteProgram(name);
}
GLuint GLAPIENTRY logCreateShader(GLenum type) {
    const GLuint name = realCreateShader(type);
    madeNames.push_back({Kind::shader, name});
    return name;
}
void GLAPIENTRY logDeleteShader(GLuint name) {
    deletedNames.push_back({Kind::shader, name});
    realDeleteShader(name);
}

// Logs every name made and deleted while it lives.
class LoggedNames {
  public:
    LoggedNames() {
        madeNames.clear();
        deletedNames.clear();
        NameLog<Kind::buffer>::install(glGenBuffers, glDeleteBuffers);
        NameLog<Kind::vertexArray>::install(glGenVertexArrays, glDeleteVertexArrays);
        NameLog<Kind::framebuffer>::install(glGenFramebuffers, glDeleteFramebuffers);
        NameLog<Kind::renderbuffer>::install(glGenRenderbuffers, glDeleteRenderbuffers);
        realCreateProgram = std::exchange(glCreateProgram, logCreateProgram);
        realDeleteProgram = std::exchange(glDeleteProgram, logDeleteProgram);
        realCreateShader = std::exchange(glCreateShader, logCreateShader);
        realDeleteShader = std::exchange(glDeleteShader, logDeleteShader);
    }
    ~LoggedNames() {
        NameLog<Kind::buffer>::uninstall(glGenBuffers, glDeleteBuffers);
        NameLog<Kind::vertexArray>::uninstall(glGenVertexArrays, glDeleteVertexArrays);
        NameLog<Kind::framebuffer>::uninstall(glGenFramebuffers, glDeleteFramebuffers);
        NameLog<Kind::renderbuffer>::uninstall(glGenRenderbuffers, glDeleteRenderbuffers);
        glCreateProgram = realCreateProgram;
        glDeleteProgram = realDeleteProgram;
        glCreateShader = realCreateShader;
        glDeleteShader = realDeleteShader;
    }
    LoggedNames(const LoggedNames&) = delete;
    LoggedNames& operator=(const LoggedNames&) = delete;
};

std::size_t countOf(const std::set<Name>& names, Kind kind) {
    return std::count_if(names.begin(), names.end(),
                         [kind](const Name& name) { return name.first == kind; });
}

using RendererLifetime = GlTest;

} // namespace

TEST_F(RendererLifetime, DestroyingItDeletesEveryNameItMadeLastMadeFirst) {
    const std::set<Name> before = namesGlKnows();
    std::set<Name> whileAlive;
    std::vector<Name> made;
    {
        const LoggedNames log;
        {
            testing::internal::CaptureStdout();
            const Renderer renderer(fatalError, [] {});
            testing::internal::GetCapturedStdout();
            made = madeNames;
            whileAlive = namesGlKnows();
        }
        expectNoGlError("destroying the renderer");
        // Every logged name once, in the reverse of the order of making.
        EXPECT_EQ(deletedNames, std::vector<Name>(made.rbegin(), made.rend()));
    }
    std::set<Name> madeByRenderer;
    std::set_difference(whileAlive.begin(), whileAlive.end(), before.begin(), before.end(),
                        std::inserter(madeByRenderer, madeByRenderer.end()));
    // Eight programs of two shaders, the glyphs and images among the textures.
    EXPECT_EQ(countOf(madeByRenderer, Kind::program), 8u);
    EXPECT_EQ(countOf(madeByRenderer, Kind::shader), 16u);
    EXPECT_GT(countOf(madeByRenderer, Kind::texture), 128u);
    EXPECT_GT(countOf(madeByRenderer, Kind::framebuffer), 3u);
    EXPECT_EQ(namesGlKnows(), before);
}
