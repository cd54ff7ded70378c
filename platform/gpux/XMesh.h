#pragma once
// The mesh object of the 3-D half: vertices of one untransformed format, 32-bit indices of a
// triangle list, one attribute (material index) per face and the attribute table of the ranges
// of faces that share one, drawn subset by subset on the device.
#include <cstdint>
#include <vector>

#include "platform/gpu/GpuDevice.h"
#include "platform/gpux/XFile.h"

namespace Platform::Gpux {

using Platform::Gpu::Result;

// A run of faces with one attribute and the vertices they use (20 bytes, as stored files and
// callers expect).
struct AttributeRange {
    uint32_t attributeId = 0;
    uint32_t faceStart = 0;
    uint32_t faceCount = 0;
    uint32_t vertexStart = 0;
    uint32_t vertexCount = 0;
};
static_assert(sizeof(AttributeRange) == 20);

// Mesh options: managed memory (the only kind here; the value is kept for callers).
inline constexpr uint32_t kMeshManaged = 0x220;

class XMesh : public Platform::Gpu::GpuObject {
public:
    // An empty mesh of `faces` triangles and `vertices` vertices of the format (which must be an
    // untransformed one the device draws). kErrInvalidCall for a bad format or no faces.
    static Result create(Platform::Gpu::GpuDevice* device, uint32_t options, uint32_t fvf, uint32_t faces,
                         uint32_t vertices, XMesh** out);

    virtual uint32_t getFvf() const { return fvf_; }
    virtual uint32_t getOptions() const { return options_; }
    virtual Result getDevice(Platform::Gpu::GpuDevice** out);
    virtual uint32_t getNumVertices() const { return vertexCount_; }
    virtual uint32_t getNumFaces() const { return faceCount_; }
    virtual uint32_t getNumBytesPerVertex() const { return stride_; }
    // A copy in another format: fields both formats have are copied, new ones start at zero.
    virtual Result cloneMeshFvf(uint32_t options, uint32_t fvf, Platform::Gpu::GpuDevice* device, XMesh** out);
    // One lock at a time per buffer; a second is refused.
    virtual Result lockVertexBuffer(uint32_t flags, void** data);
    virtual Result unlockVertexBuffer();
    virtual Result lockIndexBuffer(uint32_t flags, uint32_t** data);
    virtual Result unlockIndexBuffer();
    virtual Result lockAttributeBuffer(uint32_t flags, uint32_t** data);
    // Unlocking the attributes rebuilds the attribute table from them.
    virtual Result unlockAttributeBuffer();
    // With a null table only the count is given.
    virtual Result getAttributeTable(AttributeRange* table, uint32_t* count);
    // Draws the faces of that attribute with the device's current states (nothing when none).
    virtual Result drawSubset(uint32_t attributeId);

protected:
    ~XMesh() override;

private:
    XMesh(Platform::Gpu::GpuDevice* device, uint32_t options, uint32_t fvf, uint32_t stride, uint32_t faces,
          uint32_t vertices);
    void buildAttributeTable();

    Platform::Gpu::GpuDevice* device_;
    const uint32_t options_;
    const uint32_t fvf_;
    const uint32_t stride_;
    const uint32_t faceCount_;
    const uint32_t vertexCount_;
    std::vector<unsigned char> vertices_;
    std::vector<uint32_t> indices_;
    std::vector<uint32_t> attributes_;
    std::vector<AttributeRange> table_;
    bool vertexLocked_ = false;
    bool indexLocked_ = false;
    bool attributeLocked_ = false;
};

// A mesh from a mesh of the .x reader: position, then normals, colours and texture coordinates
// when the file has them; faces sorted by material so that each material is one range.
Result createMeshFromData(Platform::Gpu::GpuDevice* device, uint32_t options, const XMeshData& data, XMesh** out);
// Vertex normals as the normalised sum of the normals of the faces around each vertex, a face's
// normal following its winding: (v1 - v0) x (v2 - v0). The format must have normals.
Result computeNormals(XMesh* mesh);
// A sphere about the origin (position and normal), `slices` around and `stacks` from pole to pole.
Result createSphere(Platform::Gpu::GpuDevice* device, float radius, uint32_t slices, uint32_t stacks, XMesh** out);

}  // namespace Platform::Gpux
