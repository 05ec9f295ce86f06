// A model imported from a file into meshes whose data and textures already
// live on the graphics card. The model owns all of it: it can be moved but
// not copied, and its GL objects are deleted when it goes.
#pragma once

#include "assets/glObject.h"
#include "assets/mesh.h"

#include <glm/vec3.hpp>

#include <string>
#include <vector>

// One texture file of a model, decoded once; its meshes name the texture.
struct ModelTexture {
    GlTexture glTexture;
    std::string kind; // the kind it was first named as
    aiString path;
};

class Model {
  public:
    Model() = default;
    // Imports path; a failure prints "ASSIMP-ERROR: ..." and leaves the model
    // empty. path must live for the whole run (it is not copied).
    Model(const char* path, glm::vec3 position);
    Model(Model&&) = default;
    Model& operator=(Model&&) = default;
    // The meshes go before the textures they name, each list last made first.
    ~Model();
    void draw(GLuint program) const;

    const char* sourcePath = nullptr;
    glm::vec3 position = glm::vec3(0.0f);
    std::string directory;
    // A mesh's textures are made just before the mesh itself.
    std::vector<ModelTexture> textureCache;
    std::vector<Mesh> meshes;
};
