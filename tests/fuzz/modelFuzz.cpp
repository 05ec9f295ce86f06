// Imports arbitrary OBJ and MTL text through the game's model loader, import
// guard included. The input holds both files: the OBJ text up to the first
// record separator byte (0x1E), the material library after it. Without a
// separator there is no library file at all.
#include "assets/model.h"
#include "fuzzSupport.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

namespace {

constexpr std::uint8_t partSeparator = 0x1E;

// The seeds name tex.png and tex.jpg; two small images of the image corpus
// serve, so the decode and upload path of model textures is reached.
void copySeedImage(const std::string& seed, const std::string& name) {
    std::error_code error;
    std::filesystem::copy_file(std::string(CELLQUEST_IMAGE_SEEDS) + "/" + seed,
                               scratchFolder() + "/" + name,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        invariantBroken("cannot copy the seed image " + seed + ": " + error.message());
    }
}

std::string writeModelFiles(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t* end = data + size;
    const std::uint8_t* separator = std::find(data, end, partSeparator);
    const std::string objText = "mtllib model.mtl\n" + std::string(data, separator);
    const std::string mtlPath = scratchFolder() + "/model.mtl";
    if (separator == end) {
        std::error_code ignored;
        std::filesystem::remove(mtlPath, ignored);
    } else {
        writeScratchFile("model.mtl", separator + 1, std::size_t(end - separator - 1));
    }
    return writeScratchFile("model.obj", reinterpret_cast<const std::uint8_t*>(objText.data()),
                            objText.size());
}

// A draw would read past the vertex buffer.
void checkIndices(const Mesh& mesh) {
    for (GLuint index : mesh.indices) {
        if (index >= mesh.vertices.size()) {
            invariantBroken("index " + std::to_string(index) + " of a mesh with " +
                            std::to_string(mesh.vertices.size()) + " vertices");
        }
    }
}

void checkTextures(const Model& model) {
    std::set<std::string> paths;
    for (const ModelTexture& texture : model.textureCache) {
        if (!glIsTexture(texture.glTexture)) {
            invariantBroken("cached texture without a GL texture");
        }
        if (!paths.insert(std::string(texture.path.data, texture.path.length)).second) {
            invariantBroken("texture file cached twice: " + std::string(texture.path.C_Str()));
        }
    }
}

void checkModel(const Model& model) {
    if (model.directory.empty() && (!model.meshes.empty() || !model.textureCache.empty())) {
        invariantBroken("a failed import kept meshes or textures");
    }
    for (const Mesh& mesh : model.meshes) {
        checkIndices(mesh);
    }
    checkTextures(model);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ensureHiddenGlContext();
    copySeedImage("containerRgba.png", "tex.png");
    copySeedImage("tilewall.jpg", "tex.jpg");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string objPath = writeModelFiles(data, size);
    const Model model(objPath.c_str(), glm::vec3(0.0f));
    // The model deletes its GL objects as it goes, which keeps the process small.
    checkModel(model);
    return 0;
}
