#pragma once
// Skinning information of a mesh: the bones, the vertices each moves with their weights, and
// the bone offset matrices; skins the vertices of a source array into a destination array.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gpu/GpuObject.h"
#include "platform/gpux/XFile.h"

namespace Platform::Gpux {

class XSkinInfo : public Platform::Gpu::GpuObject {
public:
    // Skin of `vertexCount` vertices of the format; a bone naming a vertex past the end is refused.
    static Platform::Gpu::Result create(uint32_t vertexCount, uint32_t fvf, const std::vector<XSkinWeights>& bones,
                                        XSkinInfo** out);

    virtual Platform::Gpu::Result setFvf(uint32_t fvf);
    virtual uint32_t getFvf() const { return fvf_; }
    virtual uint32_t getNumBones() const { return uint32_t(bones_.size()); }
    virtual uint32_t getNumVertices() const { return vertexCount_; }
    // Null past the last bone.
    virtual const char* getBoneName(uint32_t bone) const;
    virtual const Matrix* getBoneOffsetMatrix(uint32_t bone) const;
    // Every vertex of `source` is copied to `destination` (both of this skin's format and vertex
    // count); the position and normal of a vertex some bone moves become the weighted sum of
    // that vertex moved by each of its bones' matrices (normals by `normalMatrices` when given,
    // else by the same matrices, and normalised).
    virtual Platform::Gpu::Result updateSkinnedMesh(const Matrix* boneMatrices, const Matrix* normalMatrices,
                                                    const void* source, void* destination) const;

protected:
    ~XSkinInfo() override = default;

private:
    XSkinInfo(uint32_t vertexCount, uint32_t fvf, std::vector<XSkinWeights> bones)
        : vertexCount_(vertexCount), fvf_(fvf), bones_(std::move(bones)) {}

    const uint32_t vertexCount_;
    uint32_t fvf_;
    std::vector<XSkinWeights> bones_;
};

}  // namespace Platform::Gpux
