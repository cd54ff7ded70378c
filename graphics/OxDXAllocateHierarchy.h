#pragma once
// The allocator the .x reader builds a hierarchy through: frames and mesh containers of the
// library's own kinds, each mesh brought to the one vertex format the library draws.
#include <cstdint>
#include <string>

#include "platform/gpux/XFile.h"

namespace Orvex::Graphics {

class OxDXObject;

// Result codes of the allocator.
inline constexpr int32_t kOxErrOutOfMemory = static_cast<int32_t>(0x8007000Eu);
inline constexpr int32_t kOxErrFail = static_cast<int32_t>(0x80004005u);

// Position, normal, diffuse colour and one texture coordinate set: 36 bytes a vertex.
inline constexpr uint32_t kOxMeshFvf = 0x152;

class OxDXAllocateHierarchy final : public Platform::Gpux::IXHierarchyAllocator {
public:
    // Meshes are made on the hierarchy's device; materials go to its list.
    explicit OxDXAllocateHierarchy(OxDXObject& hierarchy) : hierarchy_(hierarchy) {}

    int32_t createFrame(const std::string& name, Platform::Gpux::XFrame** out) override;
    int32_t createMeshContainer(const std::string& name, const Platform::Gpux::XMeshData& data,
                                Platform::Gpux::XMeshContainer** out) override;
    void destroyFrame(Platform::Gpux::XFrame* frame) override;
    void destroyMeshContainer(Platform::Gpux::XMeshContainer* container) override;

private:
    int32_t fillMeshContainer(const Platform::Gpux::XMeshData& data, struct OxDXMeshContainer& container);

    OxDXObject& hierarchy_;
};

}  // namespace Orvex::Graphics
