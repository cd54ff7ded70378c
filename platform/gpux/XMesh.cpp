#include "platform/gpux/XMesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <numeric>

#include "platform/gpu/Pipeline3D.h"

namespace Platform::Gpux {

using namespace Platform::Gpu;

namespace {

void writeFloats(unsigned char* at, std::initializer_list<float> values) {
    std::memcpy(at, values.begin(), values.size() * sizeof(float));
}

}  // namespace

XMesh::XMesh(GpuDevice* device, uint32_t options, uint32_t fvf, uint32_t stride, uint32_t faces, uint32_t vertices)
    : device_(device),
      options_(options),
      fvf_(fvf),
      stride_(stride),
      faceCount_(faces),
      vertexCount_(vertices),
      vertices_(size_t(stride) * vertices),
      indices_(size_t(faces) * 3),
      attributes_(faces) {
    device_->addRef();
    buildAttributeTable();
}

XMesh::~XMesh() { device_->release(); }

Result XMesh::create(GpuDevice* device, uint32_t options, uint32_t fvf, uint32_t faces, uint32_t vertices,
                     XMesh** out) {
    const uint32_t stride = untransformedVertexSize(fvf);
    if (out == nullptr || device == nullptr || stride == 0 || faces == 0 || vertices == 0) {
        return kErrInvalidCall;
    }
    try {
        *out = new XMesh(device, options, fvf, stride, faces, vertices);
    } catch (const std::bad_alloc&) {
        *out = nullptr;
        return kErrOutOfMemory;
    }
    return kOk;
}

Result XMesh::getDevice(GpuDevice** out) {
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    device_->addRef();
    *out = device_;
    return kOk;
}

Result XMesh::cloneMeshFvf(uint32_t options, uint32_t fvf, GpuDevice* device, XMesh** out) {
    XMesh* clone = nullptr;
    const Result r = create(device != nullptr ? device : device_, options, fvf, faceCount_, vertexCount_, &clone);
    if (r < 0) {
        return r;
    }
    VertexLayout from, to;
    untransformedLayout(fvf_, &from);
    untransformedLayout(fvf, &to);
    for (uint32_t i = 0; i < vertexCount_; ++i) {
        const unsigned char* src = vertices_.data() + size_t(i) * stride_;
        unsigned char* dst = clone->vertices_.data() + size_t(i) * clone->stride_;
        std::memcpy(dst, src, 12);
        auto copy = [&](int fromOffset, int toOffset, size_t size) {
            if (fromOffset >= 0 && toOffset >= 0) {
                std::memcpy(dst + toOffset, src + fromOffset, size);
            }
        };
        copy(from.normalOffset, to.normalOffset, 12);
        copy(from.colorOffset, to.colorOffset, 4);
        copy(from.texOffset, to.texOffset, 8);
    }
    clone->indices_ = indices_;
    clone->attributes_ = attributes_;
    clone->table_ = table_;
    *out = clone;
    return kOk;
}

Result XMesh::lockVertexBuffer(uint32_t, void** data) {
    if (data == nullptr || vertexLocked_) {
        return kErrInvalidCall;
    }
    vertexLocked_ = true;
    *data = vertices_.data();
    return kOk;
}

Result XMesh::unlockVertexBuffer() {
    if (!vertexLocked_) {
        return kErrInvalidCall;
    }
    vertexLocked_ = false;
    return kOk;
}

Result XMesh::lockIndexBuffer(uint32_t, uint32_t** data) {
    if (data == nullptr || indexLocked_) {
        return kErrInvalidCall;
    }
    indexLocked_ = true;
    *data = indices_.data();
    return kOk;
}

Result XMesh::unlockIndexBuffer() {
    if (!indexLocked_) {
        return kErrInvalidCall;
    }
    indexLocked_ = false;
    buildAttributeTable();  // the vertex ranges follow the indices
    return kOk;
}

Result XMesh::lockAttributeBuffer(uint32_t, uint32_t** data) {
    if (data == nullptr || attributeLocked_) {
        return kErrInvalidCall;
    }
    attributeLocked_ = true;
    *data = attributes_.data();
    return kOk;
}

Result XMesh::unlockAttributeBuffer() {
    if (!attributeLocked_) {
        return kErrInvalidCall;
    }
    attributeLocked_ = false;
    buildAttributeTable();
    return kOk;
}

void XMesh::buildAttributeTable() {
    table_.clear();
    for (uint32_t f = 0; f < faceCount_; ++f) {
        if (table_.empty() || table_.back().attributeId != attributes_[f]) {
            table_.push_back({attributes_[f], f, 0, 0, 0});
        }
        ++table_.back().faceCount;
    }
    for (AttributeRange& range : table_) {
        const auto begin = indices_.begin() + ptrdiff_t(range.faceStart) * 3;
        const auto [low, high] = std::minmax_element(begin, begin + ptrdiff_t(range.faceCount) * 3);
        range.vertexStart = *low;
        range.vertexCount = *high - *low + 1;
    }
}

Result XMesh::getAttributeTable(AttributeRange* table, uint32_t* count) {
    if (count == nullptr) {
        return kErrInvalidCall;
    }
    *count = uint32_t(table_.size());
    if (table != nullptr) {
        std::copy(table_.begin(), table_.end(), table);
    }
    return kOk;
}

Result XMesh::drawSubset(uint32_t attributeId) {
    if (vertexLocked_ || indexLocked_) {
        return kErrInvalidCall;
    }
    Result result = device_->setFvf(fvf_);
    for (const AttributeRange& range : table_) {
        if (range.attributeId != attributeId || result < 0) {
            continue;
        }
        result = device_->drawIndexedPrimitiveUp(kPrimitiveTriangleList, vertexCount_, range.faceCount,
                                                 indices_.data() + size_t(range.faceStart) * 3, kFormatIndex32,
                                                 vertices_.data(), stride_);
    }
    return result;
}

Result createMeshFromData(GpuDevice* device, uint32_t options, const XMeshData& data, XMesh** out) {
    if (out == nullptr) {
        return kErrInvalidCall;
    }
    *out = nullptr;
    const size_t n = data.positions.size();
    uint32_t fvf = kFvfXyz;
    fvf |= data.normals.size() == n ? uint32_t(kFvfNormal) : 0u;
    fvf |= data.colors.size() == n ? uint32_t(kFvfDiffuse) : 0u;
    fvf |= data.texCoords.size() == n ? uint32_t(kFvfTex1) : 0u;
    XMesh* mesh = nullptr;
    const Result r = XMesh::create(device, options, fvf, uint32_t(data.triangles.size()), uint32_t(n), &mesh);
    if (r < 0) {
        return r;
    }
    VertexLayout layout;
    untransformedLayout(fvf, &layout);
    unsigned char* vertices = nullptr;
    mesh->lockVertexBuffer(0, reinterpret_cast<void**>(&vertices));
    for (size_t i = 0; i < n; ++i) {
        unsigned char* at = vertices + i * layout.stride;
        writeFloats(at, {data.positions[i].x, data.positions[i].y, data.positions[i].z});
        if (layout.normalOffset >= 0) {
            writeFloats(at + layout.normalOffset, {data.normals[i].x, data.normals[i].y, data.normals[i].z});
        }
        if (layout.colorOffset >= 0) {
            std::memcpy(at + layout.colorOffset, &data.colors[i], 4);
        }
        if (layout.texOffset >= 0) {
            writeFloats(at + layout.texOffset, {data.texCoords[i][0], data.texCoords[i][1]});
        }
    }
    mesh->unlockVertexBuffer();
    // Faces in material order (stable), so that every material is one attribute range.
    std::vector<uint32_t> order(data.triangles.size());
    std::iota(order.begin(), order.end(), 0u);
    const bool hasMaterials = data.triangleMaterials.size() == data.triangles.size();
    if (hasMaterials) {
        std::stable_sort(order.begin(), order.end(),
                         [&](uint32_t a, uint32_t b) { return data.triangleMaterials[a] < data.triangleMaterials[b]; });
    }
    uint32_t* indices = nullptr;
    uint32_t* attributes = nullptr;
    mesh->lockIndexBuffer(0, &indices);
    mesh->lockAttributeBuffer(0, &attributes);
    for (size_t f = 0; f < order.size(); ++f) {
        for (int k = 0; k < 3; ++k) {
            indices[f * 3 + k] = std::min<uint32_t>(data.triangles[order[f]][k], uint32_t(n - 1));
        }
        attributes[f] = hasMaterials ? data.triangleMaterials[order[f]] : 0;
    }
    mesh->unlockIndexBuffer();
    mesh->unlockAttributeBuffer();
    *out = mesh;
    return kOk;
}

Result computeNormals(XMesh* mesh) {
    VertexLayout layout;
    if (mesh == nullptr || !untransformedLayout(mesh->getFvf(), &layout) || layout.normalOffset < 0) {
        return kErrInvalidCall;
    }
    unsigned char* vertices = nullptr;
    uint32_t* indices = nullptr;
    if (mesh->lockVertexBuffer(0, reinterpret_cast<void**>(&vertices)) < 0) {
        return kErrInvalidCall;
    }
    if (mesh->lockIndexBuffer(0, &indices) < 0) {
        mesh->unlockVertexBuffer();
        return kErrInvalidCall;
    }
    const uint32_t n = mesh->getNumVertices();
    std::vector<Vector3> sums(n);
    auto position = [&](uint32_t i) {
        float p[3];
        std::memcpy(p, vertices + size_t(i) * layout.stride, sizeof p);
        return Vector3{p[0], p[1], p[2]};
    };
    for (uint32_t f = 0; f < mesh->getNumFaces(); ++f) {
        const uint32_t* tri = indices + size_t(f) * 3;
        const Vector3 a = position(tri[0]);
        const Vector3 normal = vecCross(vecSub(position(tri[1]), a), vecSub(position(tri[2]), a));
        for (int k = 0; k < 3; ++k) {
            sums[tri[k]] = vecAdd(sums[tri[k]], normal);
        }
    }
    for (uint32_t i = 0; i < n; ++i) {
        const Vector3 v = vecNormalize(sums[i]);
        writeFloats(vertices + size_t(i) * layout.stride + layout.normalOffset, {v.x, v.y, v.z});
    }
    mesh->unlockIndexBuffer();
    mesh->unlockVertexBuffer();
    return kOk;
}

Result createSphere(GpuDevice* device, float radius, uint32_t slices, uint32_t stacks, XMesh** out) {
    if (slices < 2 || stacks < 2 || !(radius >= 0)) {
        return kErrInvalidCall;
    }
    // Rings between the poles, each of `slices` vertices, then the two poles.
    const uint32_t rings = stacks - 1;
    const uint32_t vertexCount = rings * slices + 2;
    const uint32_t faceCount = 2 * slices * (stacks - 1);
    XMesh* mesh = nullptr;
    const Result r = XMesh::create(device, kMeshManaged, kFvfXyz | kFvfNormal, faceCount, vertexCount, &mesh);
    if (r < 0) {
        return r;
    }
    unsigned char* vertices = nullptr;
    mesh->lockVertexBuffer(0, reinterpret_cast<void**>(&vertices));
    auto put = [&](uint32_t i, float nx, float ny, float nz) {
        writeFloats(vertices + size_t(i) * 24, {nx * radius, ny * radius, nz * radius, nx, ny, nz});
    };
    for (uint32_t ring = 0; ring < rings; ++ring) {
        const double phi = M_PI * (ring + 1) / stacks;
        for (uint32_t s = 0; s < slices; ++s) {
            const double theta = 2 * M_PI * s / slices;
            put(ring * slices + s, float(std::sin(phi) * std::cos(theta)), float(std::cos(phi)),
                float(std::sin(phi) * std::sin(theta)));
        }
    }
    const uint32_t top = rings * slices, bottom = top + 1;
    put(top, 0, 1, 0);
    put(bottom, 0, -1, 0);
    mesh->unlockVertexBuffer();
    uint32_t* indices = nullptr;
    mesh->lockIndexBuffer(0, &indices);
    size_t k = 0;
    auto face = [&](uint32_t a, uint32_t b, uint32_t c) {
        indices[k++] = a;
        indices[k++] = b;
        indices[k++] = c;
    };
    for (uint32_t s = 0; s < slices; ++s) {
        const uint32_t next = (s + 1) % slices;
        face(top, next, s);
        for (uint32_t ring = 0; ring + 1 < rings; ++ring) {
            const uint32_t a = ring * slices + s, b = ring * slices + next;
            face(a, b, a + slices);
            face(b, b + slices, a + slices);
        }
        face(bottom, (rings - 1) * slices + s, (rings - 1) * slices + next);
    }
    mesh->unlockIndexBuffer();
    *out = mesh;
    return kOk;
}

}  // namespace Platform::Gpux
