#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gpu/GpuDevice.h"
#include "platform/gpu/GpuDeviceSupport.h"

namespace Platform::Gpu {

using namespace DeviceSupport;

namespace {

uint32_t indexAt(const void* indices, uint32_t format, uint64_t i) {
    if (format == kFormatIndex16) {
        uint16_t v = 0;
        std::memcpy(&v, static_cast<const unsigned char*>(indices) + i * 2, 2);
        return v;
    }
    uint32_t v = 0;
    std::memcpy(&v, static_cast<const unsigned char*>(indices) + i * 4, 4);
    return v;
}

}  // namespace

std::vector<uint16_t>* GpuDevice::depthBuffer() {
    if (!parameters_.enableAutoDepthStencil) {
        return nullptr;
    }
    const PixelImage& target = *renderTarget_->image();
    if (depthWidth_ != target.width || depthHeight_ != target.height) {
        // A new size starts cleared to the far plane. One spare word after the last row lets the
        // wide shader read every pixel's word as four bytes.
        depth_.assign(size_t(target.width) * target.height + 1, 0xFFFF);
        depthWidth_ = target.width;
        depthHeight_ = target.height;
    }
    return &depth_;
}

void GpuDevice::clearArea(const IntRect& r, bool target, uint32_t argb, std::vector<uint16_t>* depth, float z) {
    if (r.right <= r.left) {
        return;
    }
    PixelImage& image = *renderTarget_->image();
    const uint32_t colour = image.hasAlpha() ? argb : (argb | 0xFF000000u);
    const auto value = uint16_t(std::lround(std::clamp(z, 0.0f, 1.0f) * 65535.0f));
    // Both buffers a row at a time: the rows cleared last are then in the cache for both, where a
    // draw straight after the clear finds them.
    for (int32_t y = r.top; y < r.bottom; ++y) {
        if (depth != nullptr) {
            std::fill_n(depth->begin() + ptrdiff_t(y) * depthWidth_ + r.left, r.right - r.left, value);
        }
        if (target) {
            std::fill(image.row(uint32_t(y)) + r.left, image.row(uint32_t(y)) + r.right, colour);
        }
    }
}

Result GpuDevice::drawIndexedPrimitiveUp(uint32_t type, uint32_t vertexCount, uint32_t primitiveCount,
                                         const void* indices, uint32_t indexFormat, const void* vertices,
                                         uint32_t stride) {
    Lock lock(mutex_);
    uint64_t indexCount = 0;
    if (indices == nullptr || vertices == nullptr || vertexCount == 0 ||
        (indexFormat != kFormatIndex16 && indexFormat != kFormatIndex32) || untransformedVertexSize(states_.fvf) == 0 ||
        checkDraw(type, primitiveCount, stride, &indexCount) < 0) {
        return kErrInvalidCall;
    }
    for (uint64_t i = 0; i < indexCount; ++i) {
        if (indexAt(indices, indexFormat, i) >= vertexCount) {
            return kErrInvalidCall;
        }
    }
    drawVertices3D(type, primitiveCount, static_cast<const unsigned char*>(vertices), stride, vertexCount, indices,
                   indexFormat);
    return kOk;
}

void GpuDevice::drawVertices3D(uint32_t type, uint32_t primitiveCount, const unsigned char* bytes, uint32_t stride,
                               uint32_t vertexCount, const void* indices, uint32_t indexFormat) {
    VertexLayout layout;
    if (!untransformedLayout(states_.fvf, &layout)) {
        return;
    }
    const auto& r = states_.render;
    Transform3D transform;
    transform.world =
        states_.transforms.count(kTransformWorld) ? states_.transforms[kTransformWorld] : Matrix::identity();
    transform.view = states_.transforms.count(kTransformView) ? states_.transforms[kTransformView] : Matrix::identity();
    transform.projection =
        states_.transforms.count(kTransformProjection) ? states_.transforms[kTransformProjection] : Matrix::identity();
    Lighting3D& lighting = lighting3D_;
    lighting.lights.clear();
    lighting.enabled = r[size_t(RenderState::Lighting)] != 0;
    lighting.specularEnabled = r[size_t(RenderState::SpecularEnable)] != 0;
    const uint32_t ambient = r[size_t(RenderState::Ambient)];
    lighting.globalAmbient = {((ambient >> 16) & 0xFF) / 255.0f, ((ambient >> 8) & 0xFF) / 255.0f,
                              (ambient & 0xFF) / 255.0f, (ambient >> 24) / 255.0f};
    lighting.material = states_.material;
    // Material sources name the vertex colours only while COLORVERTEX is on; the formats drawn here
    // carry no second colour, so that source falls back to the material.
    const bool colorVertex = r[size_t(RenderState::ColorVertex)] != 0;
    auto source = [&](RenderState state) {
        const uint32_t value = r[size_t(state)];
        return colorVertex && value == kMaterialSourceColor1 ? kMaterialSourceColor1 : kMaterialSourceMaterial;
    };
    lighting.diffuseSource = source(RenderState::DiffuseMaterialSource);
    lighting.ambientSource = source(RenderState::AmbientMaterialSource);
    lighting.emissiveSource = source(RenderState::EmissiveMaterialSource);
    lighting.specularSource = source(RenderState::SpecularMaterialSource);
    for (const auto& [index, light] : states_.lights) {
        auto enabled = states_.lightEnabled.find(index);
        if (enabled != states_.lightEnabled.end() && enabled->second && light.type == kLightDirectional) {
            lighting.lights.push_back(light);
        }
    }
    const VertexProcessor processor(transform, lighting);
    std::vector<ClipVertex>& processed = processed3D_;
    processed.resize(vertexCount);
    for (uint32_t i = 0; i < vertexCount; ++i) {
        processed[i] = processor.process(bytes + size_t(i) * stride, layout);
    }
    auto vertex = [&](uint64_t i) -> const ClipVertex& {
        return processed[indices != nullptr ? indexAt(indices, indexFormat, i) : i];
    };

    const PipelineState state = pipeline();
    DepthState depth;
    depth.buffer = depthBuffer();
    depth.width = depthWidth_;
    depth.test = r[size_t(RenderState::ZEnable)] != 0;
    depth.write = depth.test && r[size_t(RenderState::ZWriteEnable)] != 0;
    depth.func = r[size_t(RenderState::ZFunc)];
    rasterizer3D_.setSpecularEnabled(lighting.enabled && lighting.specularEnabled);
    rasterizer3D_.begin(state, depth);
    rasterizer3D_.mapVertices(processed.data(), processed.size(), viewport_);
    const bool wireframe = r[size_t(RenderState::FillMode)] == kFillWireframe;
    for (uint32_t i = 0; i < primitiveCount; ++i) {
        switch (type) {
            case kPrimitiveLineList:
                rasterizer3D_.drawLine(state, depth, viewport_, vertex(2 * uint64_t(i)), vertex(2 * uint64_t(i) + 1));
                break;
            case kPrimitiveLineStrip:
                rasterizer3D_.drawLine(state, depth, viewport_, vertex(i), vertex(i + 1));
                break;
            case kPrimitiveTriangleList:
                if (i + 1 < primitiveCount) {
                    rasterizer3D_.prefetch(state, depth, vertex(3 * uint64_t(i) + 3), vertex(3 * uint64_t(i) + 4),
                                           vertex(3 * uint64_t(i) + 5));
                }
                rasterizer3D_.drawTriangle(state, depth, viewport_, wireframe, vertex(3 * uint64_t(i)),
                                           vertex(3 * uint64_t(i) + 1), vertex(3 * uint64_t(i) + 2));
                break;
            case kPrimitiveTriangleFan:
                rasterizer3D_.drawTriangle(state, depth, viewport_, wireframe, vertex(0), vertex(i + 1), vertex(i + 2));
                break;
            default:  // strip: odd triangles are reversed to keep the winding
                if ((i & 1) == 0) {
                    rasterizer3D_.drawTriangle(state, depth, viewport_, wireframe, vertex(i), vertex(i + 1),
                                               vertex(i + 2));
                } else {
                    rasterizer3D_.drawTriangle(state, depth, viewport_, wireframe, vertex(i + 1), vertex(i),
                                               vertex(i + 2));
                }
                break;
        }
    }
    rasterizer3D_.mapVertices(nullptr, 0, viewport_);  // the array goes with this draw
}

}  // namespace Platform::Gpu
