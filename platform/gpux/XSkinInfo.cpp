#include "platform/gpux/XSkinInfo.h"

#include <cstring>
#include <new>

#include "platform/gpu/Pipeline3D.h"

namespace Platform::Gpux {

using namespace Platform::Gpu;

Result XSkinInfo::create(uint32_t vertexCount, uint32_t fvf, const std::vector<XSkinWeights>& bones, XSkinInfo** out) {
    if (out == nullptr || untransformedVertexSize(fvf) == 0) {
        return kErrInvalidCall;
    }
    for (const XSkinWeights& bone : bones) {
        if (bone.vertices.size() != bone.weights.size()) {
            return kErrInvalidCall;
        }
        for (uint32_t v : bone.vertices) {
            if (v >= vertexCount) {
                return kErrInvalidCall;
            }
        }
    }
    try {
        *out = new XSkinInfo(vertexCount, fvf, bones);
    } catch (const std::bad_alloc&) {
        *out = nullptr;
        return kErrOutOfMemory;
    }
    return kOk;
}

Result XSkinInfo::setFvf(uint32_t fvf) {
    if (untransformedVertexSize(fvf) == 0) {
        return kErrInvalidCall;
    }
    fvf_ = fvf;
    return kOk;
}

const char* XSkinInfo::getBoneName(uint32_t bone) const {
    return bone < bones_.size() ? bones_[bone].boneName.c_str() : nullptr;
}

const Matrix* XSkinInfo::getBoneOffsetMatrix(uint32_t bone) const {
    return bone < bones_.size() ? &bones_[bone].offset : nullptr;
}

Result XSkinInfo::updateSkinnedMesh(const Matrix* boneMatrices, const Matrix* normalMatrices, const void* source,
                                    void* destination) const {
    VertexLayout layout;
    if (boneMatrices == nullptr || source == nullptr || destination == nullptr || !untransformedLayout(fvf_, &layout)) {
        return kErrInvalidCall;
    }
    const auto* src = static_cast<const unsigned char*>(source);
    auto* dst = static_cast<unsigned char*>(destination);
    std::memcpy(dst, src, size_t(vertexCount_) * layout.stride);
    std::vector<Vector3> positions(vertexCount_), normals(vertexCount_);
    std::vector<bool> moved(vertexCount_, false);
    auto read = [&](uint32_t v, int offset) {
        float f[3];
        std::memcpy(f, src + size_t(v) * layout.stride + offset, sizeof f);
        return Vector3{f[0], f[1], f[2]};
    };
    for (size_t b = 0; b < bones_.size(); ++b) {
        const Matrix& m = boneMatrices[b];
        const Matrix& nm = normalMatrices != nullptr ? normalMatrices[b] : m;
        const XSkinWeights& bone = bones_[b];
        for (size_t i = 0; i < bone.vertices.size(); ++i) {
            const uint32_t v = bone.vertices[i];
            const float w = bone.weights[i];
            moved[v] = true;
            positions[v] = vecAdd(positions[v], vecScale(transformCoord(read(v, 0), m), w));
            if (layout.normalOffset >= 0) {
                normals[v] = vecAdd(normals[v], vecScale(transformNormal(read(v, layout.normalOffset), nm), w));
            }
        }
    }
    for (uint32_t v = 0; v < vertexCount_; ++v) {
        if (!moved[v]) {
            continue;
        }
        unsigned char* at = dst + size_t(v) * layout.stride;
        std::memcpy(at, &positions[v], 12);
        if (layout.normalOffset >= 0) {
            const Vector3 n = vecNormalize(normals[v]);
            std::memcpy(at + layout.normalOffset, &n, 12);
        }
    }
    return kOk;
}

}  // namespace Platform::Gpux
