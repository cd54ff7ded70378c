#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

namespace Orvex::Tools::FontBaker {

// Encodes an RGBA image (4 bytes a pixel, row by row) as PNG. Same pixels, same bytes.
std::vector<uint8_t> encodePngRgba(const std::vector<uint8_t>& pixels, uint32_t width, uint32_t height);

// Writes `bytes` to `path`; throws BakeError naming the file when it cannot be written.
void writeFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

}  // namespace Orvex::Tools::FontBaker
