#pragma once
// The software device: render, texture-stage and sampler states, textures, surfaces and vertex
// buffers, pre-transformed triangle drawing, clear, present into a frame mailbox, reset and a test
// hook that simulates device loss. Every call takes the device's internal lock, so the device can be
// used from several threads (drawing on one, textures made on others).
//
// A reset returns every state, transform, light and material to its default, as the platform
// device did; nothing is re-applied for the caller. Pre-transformed vertices take the 2-D path
// (Rasterizer); untransformed ones the 3-D pipeline (Pipeline3D) with its depth buffer.
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "platform/gpu/FrameCapture.h"
#include "platform/gpu/FrameMailbox.h"
#include "platform/gpu/FramePool.h"
#include "platform/gpu/GpuTexture.h"
#include "platform/gpu/GpuVertexBuffer.h"
#include "platform/gpu/Pipeline3D.h"
#include "platform/gpu/Rasterizer.h"

namespace Platform::Gpu {

class GpuDevice : public GpuObject {
public:
    enum class LossState { Operational, Lost, NotReset };

    GpuDevice(WindowHandle focusWindow, uint32_t behaviourFlags, const PresentParameters& parameters);

    // Frame and lifecycle.
    virtual Result testCooperativeLevel();
    virtual Result reset(PresentParameters* parameters);
    virtual Result present(const IntRect* source, const IntRect* destination, WindowHandle overrideWindow);
    virtual Result getPresentParameters(PresentParameters* out);
    virtual Result getBackBuffer(uint32_t swapChain, uint32_t index, GpuSurface** out);
    virtual Result getRenderTarget(uint32_t index, GpuSurface** out);
    virtual Result setRenderTarget(uint32_t index, GpuSurface* surface);
    virtual Result beginScene();
    virtual Result endScene();
    virtual Result clear(uint32_t rectCount, const IntRect* rects, uint32_t flags, uint32_t argb, float z,
                         uint32_t stencil);
    virtual Result setViewport(const Viewport* viewport);
    virtual Result getViewport(Viewport* out);
    virtual Result setScissorRect(const IntRect* rect);
    virtual Result getScissorRect(IntRect* out);

    // States. Values the pipeline does not implement are refused with kErrInvalidCall.
    virtual Result setRenderState(RenderState state, uint32_t value);
    virtual Result getRenderState(RenderState state, uint32_t* out);
    virtual Result setTextureStageState(uint32_t stage, StageState state, uint32_t value);
    virtual Result getTextureStageState(uint32_t stage, StageState state, uint32_t* out);
    virtual Result setSamplerState(uint32_t sampler, SamplerState state, uint32_t value);
    virtual Result getSamplerState(uint32_t sampler, SamplerState state, uint32_t* out);
    virtual Result setTexture(uint32_t stage, GpuTexture* texture);
    virtual Result getTexture(uint32_t stage, GpuTexture** out);
    virtual Result setFvf(uint32_t fvf);
    virtual Result getFvf(uint32_t* out);
    // There are no programmable shaders: only null is accepted.
    virtual Result setVertexShader(const void* shader);
    virtual Result setPixelShader(const void* shader);

    // Transforms, lights and materials are kept for the 3-D half.
    virtual Result setTransform(uint32_t which, const Matrix* matrix);
    virtual Result getTransform(uint32_t which, Matrix* out);
    virtual Result setLight(uint32_t index, const Light* light);
    virtual Result getLight(uint32_t index, Light* out);
    virtual Result lightEnable(uint32_t index, bool enable);
    virtual Result getLightEnable(uint32_t index, bool* out);
    virtual Result setMaterial(const Material* material);
    virtual Result getMaterial(Material* out);

    // Stream 0 is the only stream: the bound buffer, its first vertex at `offset` bytes, one
    // vertex every `stride` bytes. A null buffer unbinds it. The binding holds a reference.
    virtual Result setStreamSource(uint32_t stream, GpuVertexBuffer* buffer, uint32_t offset, uint32_t stride);
    virtual Result getStreamSource(uint32_t stream, GpuVertexBuffer** out, uint32_t* offset, uint32_t* stride);

    // Drawing pre-transformed vertices of the current format, from the caller's array or from
    // stream 0 starting at vertex `startVertex`; both give the same pixels for the same vertices.
    virtual Result drawPrimitiveUp(uint32_t type, uint32_t primitiveCount, const void* vertices, uint32_t stride);
    virtual Result drawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount);
    // Indexed drawing of untransformed vertices from the caller's arrays: indices of 16 or 32 bits
    // (kFormatIndex16, kFormatIndex32), each below `vertexCount`.
    virtual Result drawIndexedPrimitiveUp(uint32_t type, uint32_t vertexCount, uint32_t primitiveCount,
                                          const void* indices, uint32_t indexFormat, const void* vertices,
                                          uint32_t stride);
    // setTexture(0, texture), setFvf(fvf) and drawPrimitiveUp(...) in one call under one lock, for
    // callers that draw sprite after sprite; the same states and pixels as the three calls.
    virtual Result drawTexturedUp(GpuTexture* texture, uint32_t fvf, uint32_t type, uint32_t primitiveCount,
                                  const void* vertices, uint32_t stride);

    // Resources.
    virtual Result createTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                                 uint32_t pool, GpuTexture** out);
    // The format must be one the device draws, and the buffer must hold at least one vertex.
    virtual Result createVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                      GpuVertexBuffer** out);
    virtual Result createOffscreenPlainSurface(uint32_t width, uint32_t height, uint32_t format, uint32_t pool,
                                               GpuSurface** out);
    // Copies a system-memory surface into a default-pool surface of the same format.
    virtual Result updateSurface(GpuSurface* source, const IntRect* sourceRect, GpuSurface* destination,
                                 const IntPoint* destinationPoint);

    // Where presented frames go; the window module reads them from here.
    virtual std::shared_ptr<FrameMailbox> getFrameMailbox() { return mailbox_; }
    // Also hands every presented frame to `sink` (the window's present target), called on the
    // presenting thread; it must not wait. An empty function removes it.
    using FrameSink = std::function<void(const std::shared_ptr<const Frame>&)>;
    virtual void setFrameSink(FrameSink sink);

    // Test hook: simulates losing the device. With `resettable` the device can be reset at once
    // (TestCooperativeLevel answers kErrDeviceNotReset), else it stays lost until the hook is
    // called again with true.
    virtual void simulateDeviceLoss(bool resettable);
    virtual LossState lossState();
    // Test hook for pixel tests: routes every span, 2-D and 3-D, through the general per-pixel path.
    virtual void setDirectPathEnabled(bool enabled);
    virtual uint64_t directSpanCount();
    // The span writer drawing uses (the processor's widest at first; see Rasterizer::setSpanWriter).
    virtual SpanWriter setSpanWriter(SpanWriter writer);

protected:
    ~GpuDevice() override;

private:
    struct States {
        std::array<uint32_t, size_t(RenderState::Count)> render{};
        std::array<std::array<uint32_t, size_t(StageState::Count)>, kStageCount> stage{};
        std::array<std::array<uint32_t, size_t(SamplerState::Count)>, kSamplerCount> sampler{};
        uint32_t fvf = 0;
        std::map<uint32_t, Matrix> transforms;
        std::map<uint32_t, Light> lights;
        std::map<uint32_t, bool> lightEnabled;
        Material material{};
    };
    static States defaultStates();
    void resetStateToDefaults();
    void releaseBindings();
    Result setInScene(bool inScene);
    void createBackBuffer();
    void setViewportToTarget();
    PipelineState pipeline();
    Result checkDraw(uint32_t type, uint32_t primitiveCount, uint32_t stride, uint64_t* vertexCount);
    Result drawUp(uint32_t type, uint32_t primitiveCount, const void* vertices, uint32_t stride);
    void unbindStream();
    void drawVertices(uint32_t type, uint32_t primitiveCount, const unsigned char* bytes, uint32_t stride);
    // The 3-D pipeline over `vertexCount` vertices of the array, taken in order or through the
    // checked indices.
    void drawVertices3D(uint32_t type, uint32_t primitiveCount, const unsigned char* bytes, uint32_t stride,
                        uint32_t vertexCount, const void* indices, uint32_t indexFormat);
    // The depth buffer for the current render target, made or resized when needed.
    std::vector<uint16_t>* depthBuffer();
    // Clears a rectangle (inside the target) of the target, of the depth buffer when given, or both.
    void clearArea(const IntRect& r, bool target, uint32_t argb, std::vector<uint16_t>* depth, float z);
    // Where drawing and clearing reach: the target within the viewport and, when on, the scissor.
    IntRect clipRect();

    std::recursive_mutex mutex_;
    PresentParameters parameters_;
    GpuSurface* backBuffer_ = nullptr;
    GpuSurface* renderTarget_ = nullptr;
    std::array<GpuTexture*, kStageCount> textures_{};
    GpuVertexBuffer* streamBuffer_ = nullptr;
    uint32_t streamOffset_ = 0;
    uint32_t streamStride_ = 0;
    States states_;
    Viewport viewport_{};
    IntRect scissor_{};
    bool inScene_ = false;
    LossState loss_ = LossState::Operational;
    uint64_t frameSequence_ = 0;
    std::shared_ptr<FrameMailbox> mailbox_;
    FrameSink sink_;
    FramePool framePool_;
    const FrameCapture capture_ = FrameCapture::fromEnvironment();
    Rasterizer rasterizer_;
    Rasterizer3D rasterizer3D_;
    // A 3-D draw's lights and transformed vertices, kept from draw to draw so that the many small
    // draws (a particle is one) do not allocate.
    Lighting3D lighting3D_;
    std::vector<ClipVertex> processed3D_;
    std::vector<uint16_t> depth_;
    uint32_t depthWidth_ = 0;
    uint32_t depthHeight_ = 0;
};

// The object that makes devices (one per process in the program).
class GpuSystem : public GpuObject {
public:
    virtual Result createDevice(uint32_t adapter, uint32_t deviceType, WindowHandle focusWindow,
                                uint32_t behaviourFlags, PresentParameters* parameters, GpuDevice** out);
};

// Any SDK version is accepted; returns a new system object (count 1).
GpuSystem* createGpuSystem(uint32_t sdkVersion);

}  // namespace Platform::Gpu
