#pragma once
// A mesh of a loaded hierarchy: the drawable mesh, its materials and textures and, for a skinned
// mesh, the skin, the mesh as loaded (the source of skinning), the attribute table and the bones.
#include <cstdint>
#include <vector>

#include "platform/gpu/GpuTexture.h"
#include "platform/gpux/XMesh.h"
#include "platform/gpux/XSkinInfo.h"

namespace Orvex::Graphics {

struct OxDXMeshContainer : Platform::Gpux::XMeshContainer {
    ~OxDXMeshContainer() override;

    Platform::Gpux::XMesh* mesh = nullptr;  // drawn
    std::vector<Platform::Gpu::Material> materials;
    std::vector<uint32_t> adjacency;  // three entries per face
    Platform::Gpux::XSkinInfo* skinInfo = nullptr;

    std::vector<Platform::Gpu::GpuTexture*> textures;  // one per material, null where none
    Platform::Gpux::XMesh* sourceMesh = nullptr;
    std::vector<Platform::Gpux::AttributeRange> attributeTable;
    Platform::Gpu::GpuObject* reserved = nullptr;  // released when the skinned mesh is remade
    std::vector<Platform::Gpu::Matrix*> bonePointers;
    std::vector<Platform::Gpu::Matrix> boneOffsets;
};

}  // namespace Orvex::Graphics
