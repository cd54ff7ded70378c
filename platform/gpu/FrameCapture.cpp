#include "platform/gpu/FrameCapture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include <stb_image_write.h>

namespace Platform::Gpu {

FrameCapture::FrameCapture(std::set<uint64_t> frames, std::string directory, bool last)
    : frames_(std::move(frames)), directory_(std::move(directory)), last_(last) {}

FrameCapture FrameCapture::fromEnvironment() {
    const char* list = std::getenv("ORVEX_CAPTURE_FRAMES");
    const char* directory = std::getenv("ORVEX_CAPTURE_DIR");
    if (list == nullptr || directory == nullptr || *directory == '\0') {
        return {};
    }
    std::set<uint64_t> frames;
    bool last = false;
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        if (item == "last") {
            last = true;
            continue;
        }
        char* end = nullptr;
        const unsigned long long n = std::strtoull(item.c_str(), &end, 10);
        if (end != item.c_str() && n > 0) {
            frames.insert(n);
        }
    }
    return FrameCapture(std::move(frames), directory, last);
}

std::string FrameCapture::pathFor(uint64_t sequence) const {
    return directory_ + "/frame" + std::to_string(sequence) + ".png";
}

bool FrameCapture::offer(const Frame& frame) const {
    return !wants(frame.sequence) || write(frame, pathFor(frame.sequence));
}

bool FrameCapture::offerLast(const Frame& frame) const { return !last_ || write(frame, directory_ + "/last.png"); }

bool FrameCapture::write(const Frame& frame, const std::string& path) const {
    // 0xAARRGGBB words to R, G, B bytes.
    std::vector<uint8_t> rgb(size_t(frame.width) * frame.height * 3);
    for (size_t i = 0; i < frame.pixels.size(); ++i) {
        const uint32_t p = frame.pixels[i];
        rgb[i * 3 + 0] = uint8_t(p >> 16);
        rgb[i * 3 + 1] = uint8_t(p >> 8);
        rgb[i * 3 + 2] = uint8_t(p);
    }
    // The folder is made on demand, parents included, so that a fresh path works.
    std::error_code error;
    std::filesystem::create_directories(directory_, error);
    if (error) {
        std::fprintf(stderr, "Could not make the capture folder %s: %s\n", directory_.c_str(), error.message().c_str());
        return false;
    }
    const int ok =
        stbi_write_png(path.c_str(), int(frame.width), int(frame.height), 3, rgb.data(), int(frame.width) * 3);
    if (ok == 0) {
        std::fprintf(stderr, "Could not write the captured frame %s\n", path.c_str());
    }
    return ok != 0;
}

}  // namespace Platform::Gpu
