#include <cstring>

#include "platform/gpu/GpuDevice.h"
#include "platform/gpu/GpuDeviceSupport.h"

namespace Platform::Gpu {

using namespace DeviceSupport;

PipelineState GpuDevice::pipeline() {
    PipelineState p;
    p.target = renderTarget_->image().get();
    p.clip = clipRect();
    p.texture = textures_[0] != nullptr ? textures_[0]->image().get() : nullptr;
    const auto& sampler = states_.sampler[0];
    p.magFilter = sampler[size_t(SamplerState::MagFilter)];
    p.minFilter = sampler[size_t(SamplerState::MinFilter)];
    const auto& stage = states_.stage[0];
    p.colorOp = stage[size_t(StageState::ColorOp)];
    p.colorArg1 = stage[size_t(StageState::ColorArg1)];
    p.colorArg2 = stage[size_t(StageState::ColorArg2)];
    p.alphaOp = stage[size_t(StageState::AlphaOp)];
    p.alphaArg1 = stage[size_t(StageState::AlphaArg1)];
    p.alphaArg2 = stage[size_t(StageState::AlphaArg2)];
    const auto& r = states_.render;
    p.alphaTest = r[size_t(RenderState::AlphaTestEnable)] != 0;
    p.alphaFunc = r[size_t(RenderState::AlphaFunc)];
    p.alphaRef = r[size_t(RenderState::AlphaRef)];
    p.alphaBlend = r[size_t(RenderState::AlphaBlendEnable)] != 0;
    p.srcBlend = r[size_t(RenderState::SrcBlend)];
    p.destBlend = r[size_t(RenderState::DestBlend)];
    p.cullMode = r[size_t(RenderState::CullMode)];
    p.flatShading = r[size_t(RenderState::ShadeMode)] == kShadeFlat;
    return p;
}

Result GpuDevice::checkDraw(uint32_t type, uint32_t primitiveCount, uint32_t stride, uint64_t* vertexCount) {
    const uint32_t size = vertexSize(states_.fvf);
    if (primitiveCount == 0 || size == 0 || stride < size) {
        return kErrInvalidCall;
    }
    const bool lines = type == kPrimitiveLineList || type == kPrimitiveLineStrip;
    if (lines && drawableVertexSize(states_.fvf) != 0) {
        return kErrInvalidCall;  // lines are drawn by the 3-D pipeline only
    }
    switch (type) {
        case kPrimitiveLineList:
            *vertexCount = 2 * uint64_t(primitiveCount);
            return kOk;
        case kPrimitiveLineStrip:
            *vertexCount = uint64_t(primitiveCount) + 1;
            return kOk;
        case kPrimitiveTriangleList:
            *vertexCount = 3 * uint64_t(primitiveCount);
            return kOk;
        case kPrimitiveTriangleStrip:
        case kPrimitiveTriangleFan:
            *vertexCount = uint64_t(primitiveCount) + 2;
            return kOk;
        default:
            return kErrInvalidCall;  // points are not drawn
    }
}

Result GpuDevice::drawPrimitiveUp(uint32_t type, uint32_t primitiveCount, const void* vertices, uint32_t stride) {
    Lock lock(mutex_);
    return drawUp(type, primitiveCount, vertices, stride);
}

// The caller holds the lock: a sprite's draw takes it once, not once per layer.
Result GpuDevice::drawUp(uint32_t type, uint32_t primitiveCount, const void* vertices, uint32_t stride) {
    uint64_t vertexCount = 0;
    if (vertices == nullptr || checkDraw(type, primitiveCount, stride, &vertexCount) < 0) {
        return kErrInvalidCall;
    }
    drawVertices(type, primitiveCount, static_cast<const unsigned char*>(vertices), stride);
    return kOk;
}

Result GpuDevice::drawTexturedUp(GpuTexture* texture, uint32_t fvf, uint32_t type, uint32_t primitiveCount,
                                 const void* vertices, uint32_t stride) {
    Lock lock(mutex_);
    bind(textures_[0], texture);
    states_.fvf = fvf;
    return drawUp(type, primitiveCount, vertices, stride);
}

Result GpuDevice::drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
    Lock lock(mutex_);
    uint64_t vertexCount = 0;
    if (streamBuffer_ == nullptr || checkDraw(type, primitiveCount, streamStride_, &vertexCount) < 0) {
        return kErrInvalidCall;
    }
    // The last vertex must end inside the buffer.
    const uint64_t end =
        streamOffset_ + (uint64_t(startVertex) + vertexCount - 1) * streamStride_ + vertexSize(states_.fvf);
    if (end > streamBuffer_->size()) {
        return kErrInvalidCall;
    }
    std::unique_lock<std::mutex> guard;
    const unsigned char* contents = streamBuffer_->contentsForDraw(guard);
    if (contents == nullptr) {
        return kErrInvalidCall;  // the caller still has it locked
    }
    drawVertices(type, primitiveCount, contents + streamOffset_ + size_t(startVertex) * streamStride_, streamStride_);
    return kOk;
}

// Draws checked vertices of the current format; the caller holds the device's lock.
void GpuDevice::drawVertices(uint32_t type, uint32_t primitiveCount, const unsigned char* bytes, uint32_t stride) {
    const uint32_t fvf = states_.fvf;
    if (drawableVertexSize(fvf) == 0) {
        uint64_t count = 0;
        checkDraw(type, primitiveCount, stride, &count);
        drawVertices3D(type, primitiveCount, bytes, stride, uint32_t(count), nullptr, 0);
        return;
    }
    const bool hasColor = (fvf & kFvfDiffuse) != 0;
    const bool hasTex = (fvf & kFvfTex1) != 0;
    auto vertex = [&](uint32_t i) {
        const unsigned char* at = bytes + size_t(i) * stride;
        float f[2];
        std::memcpy(f, at, sizeof f);
        RasterVertex v;
        v.x = f[0];
        v.y = f[1];
        uint32_t offset = 16;
        if (hasColor) {
            std::memcpy(&v.color, at + offset, 4);
            offset += 4;
        }
        if (hasTex) {
            float uv[2];
            std::memcpy(uv, at + offset, sizeof uv);
            v.u = uv[0];
            v.v = uv[1];
        }
        return v;
    };
    const PipelineState state = pipeline();
    if (type == kPrimitiveTriangleFan) {
        // Fan triangles in pairs: (0, i+1, i+2) and (0, i+2, i+3) form a quad.
        uint32_t i = 0;
        for (; i + 1 < primitiveCount; i += 2) {
            rasterizer_.drawQuad(state, vertex(0), vertex(i + 1), vertex(i + 2), vertex(i + 3));
        }
        if (i < primitiveCount) {
            rasterizer_.drawTriangle(state, vertex(0), vertex(i + 1), vertex(i + 2));
        }
        return;
    }
    for (uint32_t i = 0; i < primitiveCount; ++i) {
        if (type == kPrimitiveTriangleList) {
            rasterizer_.drawTriangle(state, vertex(3 * i), vertex(3 * i + 1), vertex(3 * i + 2));
        } else if ((i & 1) == 0) {
            rasterizer_.drawTriangle(state, vertex(i), vertex(i + 1), vertex(i + 2));
        } else {  // odd strip triangles are reversed to keep the winding
            rasterizer_.drawTriangle(state, vertex(i + 1), vertex(i), vertex(i + 2));
        }
    }
}

Result GpuDevice::setStreamSource(uint32_t stream, GpuVertexBuffer* buffer, uint32_t offset, uint32_t stride) {
    Lock lock(mutex_);
    // One stream only: formats are whole-vertex codes, never spread over several streams.
    if (stream != 0 || (buffer != nullptr && offset >= buffer->size())) {
        return kErrInvalidCall;
    }
    if (buffer == nullptr) {
        unbindStream();
        return kOk;
    }
    bind(streamBuffer_, buffer);
    streamOffset_ = offset;
    streamStride_ = stride;
    return kOk;
}

Result GpuDevice::getStreamSource(uint32_t stream, GpuVertexBuffer** out, uint32_t* offset, uint32_t* stride) {
    Lock lock(mutex_);
    if (stream != 0 || out == nullptr || offset == nullptr || stride == nullptr) {
        return kErrInvalidCall;
    }
    handOut(streamBuffer_, out);
    *offset = streamOffset_;
    *stride = streamStride_;
    return kOk;
}

void GpuDevice::unbindStream() {
    safeRelease(streamBuffer_);
    streamOffset_ = 0;
    streamStride_ = 0;
}

}  // namespace Platform::Gpu
