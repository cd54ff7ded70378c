// The text .x reader over hostile model files: every load either builds a hierarchy, which is then
// walked and freed, or fails with a message; frames and mesh containers never leak. The same file
// is then loaded as the graphics library loads a model, into mesh objects with their skins and
// animation controller: an animation is played, the bones are skinned and every subset is drawn
// on a small device.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/OxDXFrame.h"
#include "graphics/OxDXMeshContainer.h"
#include "graphics/OxDXObject.h"
#include "platform/gpu/GpuDevice.h"
#include "platform/gpux/XFile.h"
#include "platform/gpux/XMath.h"
#include "platform/kernel/Process.h"

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

using namespace Platform::Gpu;

// One 64 x 48 device for every input, looking at the origin from 10 units away, lit (kept, with
// its system, for the whole run).
GpuSystem* system = nullptr;
GpuDevice* sharedDevice() {
    static GpuDevice* device = [] {
        system = createGpuSystem(kSdkVersion);
        PresentParameters pp;
        pp.backBufferWidth = 64;
        pp.backBufferHeight = 48;
        pp.enableAutoDepthStencil = true;
        pp.autoDepthStencilFormat = kFormatD16;
        GpuDevice* made = nullptr;
        if (system == nullptr || system->createDevice(0, kDeviceHal, 0, 0, &pp, &made) < 0) {
            std::abort();
        }
        const Matrix projection = Platform::Gpux::matrixPerspectiveFovRH(0.785f, 4.0f / 3.0f, 1.0f, 100.0f);
        const Matrix view = Platform::Gpux::matrixLookAtRH({0, 0, 10}, {0, 0, 0}, {0, 1, 0});
        made->setTransform(kTransformProjection, &projection);
        made->setTransform(kTransformView, &view);
        made->setRenderState(RenderState::ZEnable, 1);
        made->setRenderState(RenderState::SpecularEnable, 1);
        Light light;
        light.direction = {0, 0, -1};
        made->setLight(0, &light);
        made->lightEnable(0, true);
        return made;
    }();
    return device;
}

void drawFrames(Orvex::Graphics::OxDXObject& object, Orvex::Graphics::OxDXFrame* frame) {
    for (; frame != nullptr; frame = static_cast<Orvex::Graphics::OxDXFrame*>(frame->sibling)) {
        for (auto* c = static_cast<Orvex::Graphics::OxDXMeshContainer*>(frame->meshContainer); c != nullptr;
             c = static_cast<Orvex::Graphics::OxDXMeshContainer*>(c->next)) {
            if (c->skinInfo != nullptr) {
                object.skin(*c);
            }
            if (c->mesh == nullptr) {
                continue;
            }
            object.device()->setTransform(kTransformWorld, &frame->combined);
            uint32_t count = 0;
            c->mesh->getAttributeTable(nullptr, &count);
            std::vector<Platform::Gpux::AttributeRange> table(count);
            if (c->mesh->getAttributeTable(table.data(), &count) >= 0) {
                for (uint32_t i = 0; i < count; ++i) {
                    if (table[i].attributeId < c->materials.size()) {
                        object.device()->setMaterial(&c->materials[table[i].attributeId]);
                    }
                    c->mesh->drawSubset(table[i].attributeId);
                }
            }
        }
        drawFrames(object, static_cast<Orvex::Graphics::OxDXFrame*>(frame->firstChild));
    }
}

// The file each input is written to, removed when the run ends.
struct ModelFile {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("orvex_fuzz_xfile_" + std::to_string(Platform::Kernel::processId()) + ".x");
    ~ModelFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

// The input as a model file of its own, loaded, animated, skinned and drawn.
void loadAsModel(const uint8_t* data, size_t size) {
    static const ModelFile kFile;
    {
        std::ofstream out(kFile.path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    const std::string native = kFile.path.string();
    Orvex::Graphics::OxDXObject object;
    if (!object.load(sharedDevice(), std::u16string(native.begin(), native.end()))) {
        return;
    }
    sharedDevice()->clear(0, nullptr, kClearTarget | kClearZBuffer, 0, 1.0f, 0);
    for (uint32_t a = 0; a < object.animationCount() && a < 4; ++a) {
        object.play(a, 2.0f, 0.0f);
        object.update(7.0f);
    }
    object.update(1.0f);
    drawFrames(object, object.root());
}

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
    loadAsModel(data, size);
    return 0;
}
