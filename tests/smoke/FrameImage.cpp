#include "tests/smoke/FrameImage.h"

#include <cstdlib>

#include <stb_image.h>

namespace SmokeTest {

Image loadPng(const std::filesystem::path& path) {
    Image image;
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &image.width, &image.height, &channels, 3);
    if (pixels != nullptr) {
        image.rgb.assign(pixels, pixels + size_t(image.width) * image.height * 3);
        stbi_image_free(pixels);
    } else {
        image.width = image.height = 0;
    }
    return image;
}

double meanDifference(const Image& a, const Image& b) {
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    }
    return sum / double(a.rgb.size());
}

}  // namespace SmokeTest
