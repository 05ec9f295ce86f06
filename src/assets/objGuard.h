// A check made before the importer sees an OBJ file: Assimp 5.2.5 crashes on
// a material library with a texture statement before its first newmtl.
#pragma once

#include <string>

// Empty when the file may be imported; otherwise a line naming the file and
// the reason.
std::string objImportHazard(const std::string& objPath);
// The same check on the text of one material library.
std::string mtlTextHazard(const std::string& mtlText);
