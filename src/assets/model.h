// A model imported from a file into meshes whose data and textures already
// live on the graphics card. Copies share their GL objects.
#pragma once

#include "assets/mesh.h"

#include <glm/vec3.hpp>

#include <string>
#include <vector>

class Model {
  public:
    Model() = default;
    // Imports path; a failure prints "ASSIMP-ERROR: ..." and leaves the model
    // empty. path must live for the whole run (it is not copied).
    Model(const char* path, glm::vec3 position);
    void draw(GLuint program) const;

    const char* sourcePath = nullptr;
    glm::vec3 position = glm::vec3(0.0f);
    std::string directory;
    std::vector<Mesh> meshes;
    std::vector<MeshTexture> textureCache;
};
