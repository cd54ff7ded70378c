#include "tools/imagegen/ImageWriter.h"

#include <stb_image_write.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <string>

#include "tools/imagegen/RecipeError.h"

namespace Orvex::Tools::ImageGen {

namespace {

void appendU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

// Uncompressed 32-bit DDS: the magic, the 124-byte header, then the pixels as B, G, R, A.
std::vector<uint8_t> encodeDds(const Canvas& canvas) {
    std::vector<uint8_t> out = {'D', 'D', 'S', ' '};
    appendU32(out, 124);
    appendU32(out, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000);  // caps, height, width, pitch, pixel format
    appendU32(out, canvas.height);
    appendU32(out, canvas.width);
    appendU32(out, canvas.width * 4);  // pitch
    appendU32(out, 0);                 // depth
    appendU32(out, 0);                 // mipmap count
    for (int i = 0; i < 11; ++i) appendU32(out, 0);
    appendU32(out, 32);           // pixel format size
    appendU32(out, 0x40 | 0x1);   // RGB with alpha
    appendU32(out, 0);            // no four-character code
    appendU32(out, 32);           // bits per pixel
    appendU32(out, 0x00FF0000u);  // red mask
    appendU32(out, 0x0000FF00u);  // green mask
    appendU32(out, 0x000000FFu);  // blue mask
    appendU32(out, 0xFF000000u);  // alpha mask
    appendU32(out, 0x1000);       // caps: texture
    for (int i = 0; i < 4; ++i) appendU32(out, 0);
    for (uint32_t pixel : canvas.pixels) appendU32(out, pixel);
    return out;
}

// The file formats want R, G, B, A bytes.
std::vector<uint8_t> rgbaBytes(const Canvas& canvas) {
    std::vector<uint8_t> rgba;
    rgba.reserve(canvas.pixels.size() * 4);
    for (uint32_t pixel : canvas.pixels) {
        rgba.push_back(uint8_t(pixel >> 16));
        rgba.push_back(uint8_t(pixel >> 8));
        rgba.push_back(uint8_t(pixel));
        rgba.push_back(uint8_t(pixel >> 24));
    }
    return rgba;
}

void appendU32BigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 3; i >= 0; --i) out.push_back(uint8_t(value >> (8 * i)));
}

void appendChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    appendU32BigEndian(out, uint32_t(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    appendU32BigEndian(out, uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}

// 8-bit RGBA PNG with every row unfiltered and zlib's best compression. The game decodes these
// whenever it enters a floor: unfiltered rows with long matches inflate about twice as fast as
// the stb writer's adaptive filters, and the files come out smaller as well (flat-coloured art).
std::vector<uint8_t> encodePng(const Canvas& canvas, const std::filesystem::path& file) {
    const std::vector<uint8_t> rgba = rgbaBytes(canvas);
    const size_t rowBytes = size_t(canvas.width) * 4;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * canvas.height);
    for (uint32_t y = 0; y < canvas.height; ++y) {
        raw.push_back(0);  // filter type: none
        raw.insert(raw.end(), rgba.begin() + std::ptrdiff_t(y * rowBytes),
                   rgba.begin() + std::ptrdiff_t((y + 1) * rowBytes));
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), Z_BEST_COMPRESSION) != Z_OK) {
        throw RecipeError(file.string() + ": the image could not be compressed");
    }
    packed.resize(packedSize);
    std::vector<uint8_t> header;
    appendU32BigEndian(header, canvas.width);
    appendU32BigEndian(header, canvas.height);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, adaptive filtering, no interlace
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    appendChunk(out, "IHDR", header);
    appendChunk(out, "IDAT", packed);
    appendChunk(out, "IEND", {});
    return out;
}

void collect(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> encodeImage(const Canvas& canvas, const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (extension == ".dds") return encodeDds(canvas);
    if (extension == ".png") return encodePng(canvas, file);
    const std::vector<uint8_t> rgba = rgbaBytes(canvas);
    const int w = int(canvas.width), h = int(canvas.height);
    std::vector<uint8_t> out;
    int written = 0;
    if (extension == ".tga") {
        stbi_write_tga_with_rle = 0;
        written = stbi_write_tga_to_func(collect, &out, w, h, 4, rgba.data());
    } else if (extension == ".bmp") {
        std::vector<uint8_t> rgb;
        rgb.reserve(canvas.pixels.size() * 3);
        for (size_t i = 0; i < rgba.size(); i += 4) rgb.insert(rgb.end(), rgba.begin() + i, rgba.begin() + i + 3);
        written = stbi_write_bmp_to_func(collect, &out, w, h, 3, rgb.data());
    } else {
        throw RecipeError(file.string() + ": no image format for the extension \"" + extension + "\"");
    }
    if (written == 0 || out.empty()) throw RecipeError(file.string() + ": the image could not be encoded");
    return out;
}

void writeImage(const Canvas& canvas, const std::filesystem::path& file) {
    const std::vector<uint8_t> bytes = encodeImage(canvas, file);
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw RecipeError(file.string() + ": cannot be written");
}

}  // namespace Orvex::Tools::ImageGen
