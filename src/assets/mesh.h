// One drawable piece of a model: interleaved vertices, indices and the
// textures its material names. The mesh owns its vertex array and buffers;
// the textures belong to whoever made them (the model's texture cache).
#pragma once

#include "assets/glObject.h"

#include <GL/glew.h>
#include <assimp/types.h>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <string>
#include <vector>

struct Vertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
};
static_assert(sizeof(Vertex) == 32, "Vertex is uploaded as 32-byte records");

struct MeshTexture {
    GLuint glTexture = 0;
    std::string kind; // "texture_diffuse" or "texture_specular"
    aiString path;
};

class Mesh {
  public:
    Mesh(std::vector<Vertex> vertices, std::vector<GLuint> indices,
         std::vector<MeshTexture> textures);
    // Binds the textures to units 0.. with their running sampler names, draws,
    // then clears those units. program is already current.
    void draw(GLuint program) const;

    std::vector<Vertex> vertices;
    std::vector<GLuint> indices;
    std::vector<MeshTexture> textures;
    // In the order they are made, so they are deleted in the reverse.
    GlVertexArray vertexArray;
    GlBuffer vertexBuffer;
    GlBuffer indexBuffer;
};
