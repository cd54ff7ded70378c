#include "tests/smoke/FrameImage.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include <stb_image.h>
#include <stb_image_write.h>

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

double meanDifference(const Image& a, const Image& b, const Region& region) {
    const int left = std::max(region.x, 0);
    const int top = std::max(region.y, 0);
    const int right = std::min({region.x + region.width, a.width, b.width});
    const int bottom = std::min({region.y + region.height, a.height, b.height});
    double sum = 0;
    size_t count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const size_t ia = (size_t(y) * a.width + x) * 3;
            const size_t ib = (size_t(y) * b.width + x) * 3;
            for (int c = 0; c < 3; ++c) {
                sum += std::abs(int(a.rgb[ia + c]) - int(b.rgb[ib + c]));
            }
            count += 3;
        }
    }
    return count == 0 ? 255.0 : sum / double(count);
}

namespace {

// The frames, each as `shown` makes it, against `expected` over `region`.
template <typename Shown>
double closestOf(const std::filesystem::path& folder, const std::vector<int>& numbers, const Image& expected,
                 const Region& region, const std::string& reference, Shown shown) {
    double best = 255.0;
    Image closest;
    for (const int number : numbers) {
        Image frame = shown(loadPng(folder / ("frame" + std::to_string(number) + ".png")));
        if (frame.width == expected.width && frame.height == expected.height) {
            if (const double difference = meanDifference(frame, expected, region); difference < best) {
                best = difference;
                closest = std::move(frame);
            }
        }
    }
    offerForRenewal(reference, closest);
    return best;
}

}  // namespace

double closestFrame(const std::filesystem::path& folder, const std::vector<int>& numbers, const Image& expected,
                    const Region& region, const std::string& reference) {
    return closestOf(folder, numbers, expected, region, reference, [](Image frame) { return frame; });
}

double closestCutFrame(const std::filesystem::path& folder, const std::vector<int>& numbers, const Image& expected,
                       const Region& area, const std::string& reference) {
    return closestOf(folder, numbers, expected, {0, 0, area.width, area.height}, reference,
                     [&area](const Image& frame) { return cut(frame, area); });
}

Image cut(const Image& image, const Region& region) {
    Image part;
    if (region.x < 0 || region.y < 0 || region.x + region.width > image.width ||
        region.y + region.height > image.height) {
        return part;
    }
    part.width = region.width;
    part.height = region.height;
    for (int y = region.y; y < region.y + region.height; ++y) {
        const auto row = image.rgb.begin() + (std::ptrdiff_t(y) * image.width + region.x) * 3;
        part.rgb.insert(part.rgb.end(), row, row + std::ptrdiff_t(region.width) * 3);
    }
    return part;
}

void offerForRenewal(const std::string& reference, const Image& closest) {
    const char* folder = std::getenv("ORVEX_SMOKE_RENEW_DIR");
    if (folder == nullptr || reference.empty() || closest.width == 0) {
        return;
    }
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = std::filesystem::path(folder) / reference;
    stbi_write_png(path.c_str(), closest.width, closest.height, 3, closest.rgb.data(), closest.width * 3);
}

}  // namespace SmokeTest
