#pragma once
// Our own reader of text .x model files: the frame hierarchy with its meshes (built through an
// allocator the caller supplies) and the animation sets. Binary and compressed files are refused.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gpu/GpuTypes.h"
#include "platform/gpux/XMath.h"

namespace Platform::Gpux {

// A material as the file gives it; power, specular and emissive fill the device material.
struct XMaterial {
    Platform::Gpu::Material material;
    std::string textureFile;  // empty when the material names no texture
};

// The vertices one bone moves, with their weights and the bone's offset matrix.
struct XSkinWeights {
    std::string boneName;
    std::vector<uint32_t> vertices;
    std::vector<float> weights;
    Matrix offset = Matrix::identity();
};

// One mesh, triangulated (polygons become fans). Per-vertex arrays are empty when the file has
// none; a vertex shared by faces with different normal indices keeps the last face's normal.
struct XMeshData {
    std::vector<Vector3> positions;
    std::vector<std::array<uint32_t, 3>> triangles;
    std::vector<Vector3> normals;
    std::vector<std::array<float, 2>> texCoords;
    std::vector<uint32_t> colors;             // 0xAARRGGBB
    std::vector<uint32_t> triangleMaterials;  // one material index per triangle, when materials exist
    std::vector<XMaterial> materials;
    uint32_t maxSkinWeightsPerVertex = 0;
    uint32_t maxSkinWeightsPerFace = 0;
    std::vector<XSkinWeights> skin;
};

struct XMeshContainer {
    virtual ~XMeshContainer() = default;
    std::string name;
    XMeshContainer* next = nullptr;
};

struct XFrame {
    virtual ~XFrame() = default;
    std::string name;
    Matrix transform = Matrix::identity();
    XMeshContainer* meshContainer = nullptr;
    XFrame* sibling = nullptr;
    XFrame* firstChild = nullptr;
};

// Made by the caller; the reader builds every frame and mesh container through it and, when the
// load fails, destroys what it made through it too. Results: 0 on success, negative on failure.
class IXHierarchyAllocator {
public:
    virtual ~IXHierarchyAllocator() = default;
    virtual int32_t createFrame(const std::string& name, XFrame** out) = 0;
    virtual int32_t createMeshContainer(const std::string& name, const XMeshData& mesh, XMeshContainer** out) = 0;
    virtual void destroyFrame(XFrame* frame) = 0;
    virtual void destroyMeshContainer(XMeshContainer* container) = 0;
};

template <typename Value>
struct XKey {
    uint32_t time = 0;
    Value value{};
};

// The keys of one animated frame. Rotations are stored in the file as w, x, y, z.
struct XAnimation {
    std::string frameName;
    std::vector<XKey<Quaternion>> rotations;
    std::vector<XKey<Vector3>> scales;
    std::vector<XKey<Vector3>> positions;
    std::vector<XKey<Matrix>> matrices;
};

struct XAnimationSet {
    std::string name;
    std::vector<XAnimation> animations;
};

struct XLoadResult {
    XFrame* root = nullptr;  // owned by the caller, to be freed with destroyHierarchy
    std::vector<XAnimationSet> animationSets;
    uint32_t ticksPerSecond = 4800;
};

// Parses a whole .x file held in memory. On failure nothing is left allocated and `error` says
// what was wrong. Several top-level frames or meshes hang under an unnamed root frame.
bool loadHierarchyFromText(std::string_view text, IXHierarchyAllocator& allocator, XLoadResult* result,
                           std::string* error);
// Reads the file and parses it; the error names the file.
bool loadHierarchyFromFile(const std::string& path, IXHierarchyAllocator& allocator, XLoadResult* result,
                           std::string* error);
// Frees a hierarchy through the allocator, depth first.
void destroyHierarchy(XFrame* root, IXHierarchyAllocator& allocator);
// The frame of that name in the subtree, or null.
XFrame* findFrame(XFrame* root, std::string_view name);

}  // namespace Platform::Gpux
