// Uploads one mesh once and draws it with the textures of its material. Draw
// leaves units 0..n-1 without a 2-D texture and unit n-1 active; a mesh
// without textures touches no texture state at all.
#include "assets/mesh.h"

#include <cstddef>
#include <utility>

namespace {

void pointAttribute(GLuint location, GLint floats, std::size_t offset) {
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, floats, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offset));
}

} // namespace

Mesh::Mesh(std::vector<Vertex> vertices, std::vector<GLuint> indices,
           std::vector<MeshTexture> textures)
    : vertices(std::move(vertices)), indices(std::move(indices)), textures(std::move(textures)) {
    vertexArray = GlVertexArray::make();
    vertexBuffer = GlBuffer::make();
    indexBuffer = GlBuffer::make();
    glBindVertexArray(vertexArray);

    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, this->vertices.size() * sizeof(Vertex), this->vertices.data(),
                 GL_STATIC_DRAW);
    // Recorded in the vertex array, so drawing needs no buffer binds.
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, this->indices.size() * sizeof(GLuint),
                 this->indices.data(), GL_STATIC_DRAW);

    pointAttribute(0, 3, offsetof(Vertex, position));
    pointAttribute(1, 3, offsetof(Vertex, normal));
    pointAttribute(2, 2, offsetof(Vertex, uv));
    glBindVertexArray(0);
}

void Mesh::draw(GLuint program) const {
    unsigned diffuseNumber = 1;
    unsigned specularNumber = 1;
    for (std::size_t i = 0; i < textures.size(); ++i) {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
        const std::string& kind = textures[i].kind;
        std::string number;
        if (kind == "texture_diffuse") {
            number = std::to_string(diffuseNumber++);
        } else if (kind == "texture_specular") {
            number = std::to_string(specularNumber++);
        }
        glUniform1i(glGetUniformLocation(program, (kind + number).c_str()), static_cast<GLint>(i));
        glBindTexture(GL_TEXTURE_2D, textures[i].glTexture);
    }

    glBindVertexArray(vertexArray);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);

    for (std::size_t i = 0; i < textures.size(); ++i) {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}
