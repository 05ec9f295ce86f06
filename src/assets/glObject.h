// GL names with one owner each. An owner makes its name (or takes over one
// made by glCreateProgram or glCreateShader), deletes it once when it goes,
// and can be moved but never copied; a moved-from or default owner holds the
// name 0 and deletes nothing. Owners convert to their name, so they pass
// straight to GL calls and read like the names they hold.
#pragma once

#include <GL/glew.h>

#include <utility>
#include <vector>

template <class Kind> class GlObject {
  public:
    GlObject() = default;
    explicit GlObject(GLuint name) : name(name) {}
    static GlObject make() { return GlObject(Kind::make()); }

    GlObject(GlObject&& other) noexcept : name(std::exchange(other.name, 0)) {}
    GlObject& operator=(GlObject&& other) noexcept {
        if (this != &other) {
            release();
            name = std::exchange(other.name, 0);
        }
        return *this;
    }
    GlObject(const GlObject&) = delete;
    GlObject& operator=(const GlObject&) = delete;
    ~GlObject() { release(); }

    operator GLuint() const { return name; }

  private:
    void release() {
        if (name != 0) {
            Kind::destroy(name);
        }
    }

    GLuint name = 0;
};

struct BufferNames {
    static GLuint make() {
        GLuint name = 0;
        glGenBuffers(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteBuffers(1, &name); }
};

struct VertexArrayNames {
    static GLuint make() {
        GLuint name = 0;
        glGenVertexArrays(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteVertexArrays(1, &name); }
};

struct TextureNames {
    static GLuint make() {
        GLuint name = 0;
        glGenTextures(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteTextures(1, &name); }
};

struct FramebufferNames {
    static GLuint make() {
        GLuint name = 0;
        glGenFramebuffers(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteFramebuffers(1, &name); }
};

struct RenderbufferNames {
    static GLuint make() {
        GLuint name = 0;
        glGenRenderbuffers(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteRenderbuffers(1, &name); }
};

// Programs and shaders are made by glCreateProgram and glCreateShader, whose
// failure the maker has to see, so their owners only take names over.
struct ProgramNames {
    static void destroy(GLuint name) { glDeleteProgram(name); }
};

struct ShaderNames {
    static void destroy(GLuint name) { glDeleteShader(name); }
};

using GlBuffer = GlObject<BufferNames>;
using GlVertexArray = GlObject<VertexArrayNames>;
using GlTexture = GlObject<TextureNames>;
using GlFramebuffer = GlObject<FramebufferNames>;
using GlRenderbuffer = GlObject<RenderbufferNames>;
using GlProgram = GlObject<ProgramNames>;
using GlShader = GlObject<ShaderNames>;

// Empties a list of owners from its last element to its first: a vector on
// its own destroys first to last, and names are released last made first.
template <class Owner> void releaseLastMadeFirst(std::vector<Owner>& owners) {
    while (!owners.empty()) {
        owners.pop_back();
    }
}
