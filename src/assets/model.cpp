// Imports a model file through Assimp into meshes already on the graphics
// card. Every texture file is decoded at most once per model, which owns the
// texture; its meshes only name it.
#include "assets/model.h"

#include "assets/objGuard.h"
#include "assets/texture.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>

#include <algorithm>
#include <iostream>
#include <utility>

namespace {

// Tangent space, triangulation and sorting by primitive type: no generated
// normals, no joined vertices, no flipped texture coordinates.
constexpr unsigned importFlags = 0x8009;

bool importFailed(const aiScene* scene) {
    return !scene || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode;
}

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

glm::vec3 toVec3(const aiVector3D& v) {
    return glm::vec3(v.x, v.y, v.z);
}

// The importer does not generate normals, so a file without them gets zeros
// rather than a read through a null array.
std::vector<Vertex> verticesOf(const aiMesh& mesh) {
    std::vector<Vertex> vertices(mesh.mNumVertices);
    const aiVector3D* uvs = mesh.mTextureCoords[0];
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        vertices[i].position = toVec3(mesh.mVertices[i]);
        vertices[i].normal = mesh.mNormals ? toVec3(mesh.mNormals[i]) : glm::vec3(0.0f);
        vertices[i].uv = uvs ? glm::vec2(uvs[i].x, uvs[i].y) : glm::vec2(0.0f);
    }
    return vertices;
}

bool namesOnlyOwnVertices(const aiFace& face, unsigned vertexCount) {
    return std::all_of(face.mIndices, face.mIndices + face.mNumIndices,
                       [vertexCount](unsigned index) { return index < vertexCount; });
}

// Some importers (PLY among them) pass a face's indices on unchecked; a face
// naming a vertex the mesh lacks is left out, as the draw would read past the
// vertex buffer.
std::vector<GLuint> indicesOf(const aiMesh& mesh) {
    std::vector<GLuint> indices;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (namesOnlyOwnVertices(face, mesh.mNumVertices)) {
            indices.insert(indices.end(), face.mIndices, face.mIndices + face.mNumIndices);
        }
    }
    return indices;
}

GlTexture textureFromFile(const aiString& path, const std::string& directory) {
    GlTexture texture = GlTexture::make();
    fillTextureFromFile(texture, directory + "/" + std::string(path.data, path.length));
    return texture;
}

MeshTexture meshTextureOf(const ModelTexture& texture) {
    MeshTexture named;
    named.glTexture = texture.glTexture;
    named.kind = texture.kind;
    named.path = texture.path;
    return named;
}

// A file first named as a diffuse map and later as a specular one keeps the
// kind it was loaded with.
MeshTexture cachedOrLoaded(Model& model, const aiString& path, const std::string& kind) {
    for (const ModelTexture& cached : model.textureCache) {
        if (cached.path == path) {
            return meshTextureOf(cached);
        }
    }
    model.textureCache.push_back(ModelTexture{textureFromFile(path, model.directory), kind, path});
    return meshTextureOf(model.textureCache.back());
}

std::vector<MeshTexture> loadMaterialTextures(Model& model, const aiMaterial* material,
                                              aiTextureType type, const std::string& kind) {
    std::vector<MeshTexture> textures;
    for (unsigned i = 0; i < aiGetMaterialTextureCount(material, type); ++i) {
        aiString path;
        aiGetMaterialTexture(material, type, i, &path, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr);
        textures.push_back(cachedOrLoaded(model, path, kind));
    }
    return textures;
}

Mesh buildMesh(Model& model, const aiMesh& mesh, const aiScene& scene) {
    const aiMaterial* material = scene.mMaterials[mesh.mMaterialIndex];
    std::vector<MeshTexture> textures =
        loadMaterialTextures(model, material, aiTextureType_DIFFUSE, "texture_diffuse");
    const std::vector<MeshTexture> specular =
        loadMaterialTextures(model, material, aiTextureType_SPECULAR, "texture_specular");
    textures.insert(textures.end(), specular.begin(), specular.end());
    return Mesh(verticesOf(mesh), indicesOf(mesh), std::move(textures));
}

// Depth first, a node's own meshes before those of its children. Node
// transforms are ignored: meshes keep the file's coordinates.
void walkNode(Model& model, const aiNode& node, const aiScene& scene) {
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        model.meshes.push_back(buildMesh(model, *scene.mMeshes[node.mMeshes[i]], scene));
    }
    for (unsigned i = 0; i < node.mNumChildren; ++i) {
        walkNode(model, *node.mChildren[i], scene);
    }
}

void importInto(Model& model) {
    const std::string hazard = objImportHazard(model.sourcePath);
    if (!hazard.empty()) {
        std::cout << "ASSIMP-ERROR: " << hazard << std::endl;
        return;
    }
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(model.sourcePath, importFlags);
    if (importFailed(scene)) {
        std::cout << "ASSIMP-ERROR: " << importer.GetErrorString() << std::endl;
        return;
    }
    model.directory = directoryOf(model.sourcePath);
    walkNode(model, *scene->mRootNode, *scene);
}

} // namespace

Model::Model(const char* path, glm::vec3 position) : sourcePath(path), position(position) {
    importInto(*this);
}

Model::~Model() {
    releaseLastMadeFirst(meshes);
    releaseLastMadeFirst(textureCache);
}

void Model::draw(GLuint program) const {
    for (const Mesh& mesh : meshes) {
        mesh.draw(program);
    }
}
