#pragma once
// A loaded .x hierarchy: the frames and meshes, the file's materials, the animation controller
// and the playback state (current and previous animation, cross-fade, loop flags), the object's
// world matrix and the bone-matrix buffer skinning works in.
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/OxDXAllocateHierarchy.h"
#include "graphics/OxDXFrame.h"
#include "graphics/OxDXMeshContainer.h"
#include "graphics/include/OxGraphicsTypes.h"
#include "graphics/include/OxRefPtr.h"
#include "platform/gpu/GpuDevice.h"
#include "platform/gpux/XAnimation.h"

namespace Orvex::Graphics {

class OxDXObject {
public:
    OxDXObject();
    ~OxDXObject();
    OxDXObject(const OxDXObject&) = delete;
    OxDXObject& operator=(const OxDXObject&) = delete;

    // Loads a text .x file on the device; false (with a line on stderr naming the file) when it
    // cannot be read or holds what the reader refuses.
    bool load(Platform::Gpu::GpuDevice* device, const std::u16string& path);

    OxDXFrame* root() const { return root_; }
    Platform::Gpu::GpuDevice* device() const { return device_.get(); }
    const std::u16string& path() const { return path_; }
    Platform::Gpux::XAnimationController* controller() const { return controller_.get(); }
    bool controllerLoaded() const { return controllerLoaded_; }
    uint32_t animationCount() const { return animationCount_; }
    // The file's materials in load order (owned by their mesh containers).
    const std::vector<const Platform::Gpu::Material*>& materials() const { return materials_; }
    void addMaterial(const Platform::Gpu::Material* material) { materials_.push_back(material); }
    uint32_t boneCapacity() const { return uint32_t(boneMatrices_.size()); }
    Platform::Gpu::Matrix& worldMatrix() { return world_; }

    // The skinned-mesh set-up of a container: its drawable mesh cloned anew from the source mesh,
    // the attribute table read, the bone-matrix buffer grown to the skin's bone count.
    int32_t setUpSkinnedMesh(OxDXMeshContainer& container);
    // Skins the container's source mesh into its drawable mesh with the bones' current combined
    // transforms; a bone without a frame counts as the identity.
    int32_t skin(OxDXMeshContainer& container);

    // Playback (the motion controller's operations).
    int32_t play(uint32_t index, float blendTime, float startTicks);
    uint32_t currentAnimation() const { return uint32_t(current_); }
    float currentTime();
    void setLoop(bool loop);
    bool isLooping() const;
    // The animation step, the world transform and the combined transforms, then the cross-fade.
    void update(float elapsed);

private:
    void combine(OxDXFrame* frame, const Platform::Gpu::Matrix& parent);
    void linkBones(Platform::Gpux::XFrame* frame);

    OxDXFrame* root_ = nullptr;
    OxRefPtr<Platform::Gpux::XAnimationController> controller_;
    uint32_t animationCount_ = 0;
    int32_t current_ = 0;
    int32_t previous_ = -1;
    float fadeLength_ = 0;
    float fadeLeft_ = 0;
    std::vector<uint8_t> loops_;
    Platform::Gpu::Matrix world_ = Platform::Gpu::Matrix::identity();
    std::u16string path_;
    OxRefPtr<Platform::Gpu::GpuDevice> device_;
    std::vector<const Platform::Gpu::Material*> materials_;
    std::vector<Platform::Gpu::Matrix> boneMatrices_;
    bool controllerLoaded_ = false;
    OxDXAllocateHierarchy allocator_;
};

// What owns a loaded hierarchy (a geometry or a mesh), for the controllers that act on it.
class OxHierarchyHolder {
public:
    virtual OxDXObject* hierarchy() = 0;  // null until one is attached

protected:
    ~OxHierarchyHolder() = default;
};

}  // namespace Orvex::Graphics
