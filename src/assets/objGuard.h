// A check made before the importer sees a model file: Assimp 5.2.5 crashes on
// a material library with a texture or anisotropy statement before its first
// newmtl, and loses the open file of a library of 1 to 7 bytes.
#pragma once

#include <string>
#include <vector>

// Empty when the file may be imported; otherwise a line naming the material
// library and the reason. Every file is checked, whatever its extension,
// because Assimp reads OBJ text under any name it does not otherwise claim.
std::string objImportHazard(const std::string& objPath);
// The same check on the text of one material library.
std::string mtlTextHazard(const std::string& mtlText);
// Every material library Assimp might open for the OBJ text: each name of each
// mtllib line, the whole rest of that line as one name, and the file Assimp
// falls back to when a named library is missing (the model path with its last
// three characters replaced by "mtl"). Paths are relative to the OBJ's folder.
std::vector<std::string> materialLibraryCandidates(const std::string& objPath,
                                                   const std::string& objText);
