// The text .x reader over hostile model files: every load either builds a hierarchy, which is then
// walked and freed, or fails with a message; frames and mesh containers never leak.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/gpux/XFile.h"

namespace {

class CountingAllocator : public Platform::Gpux::IXHierarchyAllocator {
public:
    int32_t createFrame(const std::string& name, Platform::Gpux::XFrame** out) override {
        *out = new Platform::Gpux::XFrame;
        (*out)->name = name;
        ++alive;
        return 0;
    }
    int32_t createMeshContainer(const std::string& name, const Platform::Gpux::XMeshData& mesh,
                                Platform::Gpux::XMeshContainer** out) override {
        // Whatever the file said, every index handed out lies inside the mesh.
        for (const auto& t : mesh.triangles) {
            for (uint32_t i : t) {
                if (i >= mesh.positions.size()) {
                    std::abort();
                }
            }
        }
        for (uint32_t m : mesh.triangleMaterials) {
            if (m >= mesh.materials.size()) {
                std::abort();
            }
        }
        *out = new Platform::Gpux::XMeshContainer;
        (*out)->name = name;
        ++alive;
        return 0;
    }
    void destroyFrame(Platform::Gpux::XFrame* frame) override {
        delete frame;
        --alive;
    }
    void destroyMeshContainer(Platform::Gpux::XMeshContainer* container) override {
        delete container;
        --alive;
    }
    int alive = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CountingAllocator allocator;
    Platform::Gpux::XLoadResult result;
    std::string error;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (Platform::Gpux::loadHierarchyFromText(text, allocator, &result, &error)) {
        Platform::Gpux::findFrame(result.root, "Bone2");
        Platform::Gpux::destroyHierarchy(result.root, allocator);
    } else if (error.empty()) {
        std::abort();
    }
    if (allocator.alive != 0) {
        std::abort();
    }
    return 0;
}
