#pragma once
// A mesh of a loaded hierarchy: the drawable mesh, its materials and textures and, for a skinned
// mesh, the skin, the mesh as loaded (the source of skinning), the attribute table and the bones.
// The container holds one reference of each device object it names.
#include <cstdint>
#include <vector>

#include "graphics/include/OxRefPtr.h"
#include "platform/gpu/GpuTexture.h"
#include "platform/gpux/XMesh.h"
#include "platform/gpux/XSkinInfo.h"

namespace Orvex::Graphics {

struct OxDXMeshContainer : Platform::Gpux::XMeshContainer {
    OxRefPtr<Platform::Gpux::XMesh> mesh;  // drawn
    std::vector<Platform::Gpu::Material> materials;
    std::vector<uint32_t> adjacency;  // three entries per face
    OxRefPtr<Platform::Gpux::XSkinInfo> skinInfo;

    std::vector<OxRefPtr<Platform::Gpu::GpuTexture>> textures;  // one per material, null where none
    OxRefPtr<Platform::Gpux::XMesh> sourceMesh;
    std::vector<Platform::Gpux::AttributeRange> attributeTable;
    OxRefPtr<Platform::Gpu::GpuObject> reserved;  // released when the skinned mesh is remade
    std::vector<Platform::Gpu::Matrix*> bonePointers;
    std::vector<Platform::Gpu::Matrix> boneOffsets;
};

}  // namespace Orvex::Graphics
