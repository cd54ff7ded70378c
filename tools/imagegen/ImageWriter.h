#pragma once
// Writes a canvas in the format its file extension names: ".png", ".tga" (32-bit with alpha),
// ".bmp" (24-bit, alpha dropped) or ".dds" (uncompressed 32-bit A8R8G8B8).
#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/imagegen/ImagePainter.h"

namespace Orvex::Tools::ImageGen {

// The file bytes; throws RecipeError for an extension it cannot write.
std::vector<uint8_t> encodeImage(const Canvas& canvas, const std::filesystem::path& file);
void writeImage(const Canvas& canvas, const std::filesystem::path& file);

}  // namespace Orvex::Tools::ImageGen
