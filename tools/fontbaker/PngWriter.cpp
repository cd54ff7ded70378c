#include "tools/fontbaker/PngWriter.h"

#include <fstream>
#include <string>

#include "tools/fontbaker/BakeError.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace Orvex::Tools::FontBaker {

namespace {

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> encodePngRgba(const std::vector<uint8_t>& pixels, uint32_t width, uint32_t height) {
    if (pixels.size() != static_cast<size_t>(width) * height * 4) throw BakeError("page image of the wrong size");
    std::vector<uint8_t> png;
    if (stbi_write_png_to_func(appendBytes, &png, static_cast<int>(width), static_cast<int>(height), 4, pixels.data(),
                               static_cast<int>(width * 4)) == 0) {
        throw BakeError("PNG encoding of a " + std::to_string(width) + "x" + std::to_string(height) + " page failed");
    }
    return png;
}

void writeFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw BakeError(path.string() + ": cannot create the file");
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw BakeError(path.string() + ": cannot write the file");
}

}  // namespace Orvex::Tools::FontBaker
