#pragma once
// Writes the test models of the 3-D half as text .x files, each with its ".ocs" material script:
// a textured cube and a skinned, animated two-bone arm.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace Orvex::Tools::ModelGen {

// A unit cube (corners at +-1) of six quads with normals and texture coordinates; the top,
// front and right faces use the textured material 0, the others the plain material 1.
std::string cubeModel();
std::string cubeScript();
// The cube's 8 x 8 checker texture, as PNG bytes.
std::vector<uint8_t> cubeTexture();

// A square column 4 units tall along y, skinned to Bone1 (its lower half) and Bone2 (its upper
// half, starting at y 2), with one animation set "Bend" turning Bone2 about z over one second.
std::string armModel();
std::string armScript();

// Writes cube.x, cube.ocs, cube.png, arm.x and arm.ocs into the folder (made when missing);
// throws std::runtime_error naming the file that could not be written.
void writeModels(const std::filesystem::path& folder);

}  // namespace Orvex::Tools::ModelGen
