#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "tests/platform/gpu/GpuTestSupport.h"

namespace Platform::Gpu::Test {
namespace {

constexpr uint32_t kTexturedFvf = kFvfXyzRhw | kFvfDiffuse | kFvfTex1;
constexpr uint32_t kColorFvf = kFvfXyzRhw | kFvfDiffuse;
constexpr uint32_t kClearColor = 0xFF102030u;

struct VertexBufferTest : DeviceFixture {
    // A buffer of `length` bytes whose contents are `bytes` placed at `at`.
    GpuVertexBuffer* makeBuffer(uint32_t length, uint32_t fvf, const std::vector<unsigned char>& bytes,
                                uint32_t at = 0) {
        GpuVertexBuffer* vb = nullptr;
        EXPECT_EQ(kOk, device->createVertexBuffer(length, kUsageWriteOnly, fvf, kPoolDefault, &vb));
        void* data = nullptr;
        EXPECT_EQ(kOk, vb->lock(0, 0, &data, 0));
        std::memcpy(static_cast<unsigned char*>(data) + at, bytes.data(), bytes.size());
        EXPECT_EQ(kOk, vb->unlock());
        return vb;
    }
    void clearTarget() { device->clear(0, nullptr, kClearTarget, kClearColor, 1, 0); }
};

// Vertices laid out with `stride` bytes apart (the bytes between stay zero).
template <typename V>
std::vector<unsigned char> strided(const std::vector<V>& vertices, uint32_t stride) {
    std::vector<unsigned char> bytes(stride * (vertices.size() - 1) + sizeof(V));
    for (size_t i = 0; i < vertices.size(); ++i) {
        std::memcpy(bytes.data() + i * stride, &vertices[i], sizeof(V));
    }
    return bytes;
}

TEST_F(VertexBufferTest, DrawingFromTheBoundBufferGivesThePixelsOfTheSameVerticesFromAnArray) {
    const std::vector<TexturedVertex> movieStrip = {{28, 2, 0, 1, 0xFFFFFFFFu, 1, 0},
                                                    {28, 30, 0, 1, 0xFFFFFFFFu, 1, 1},
                                                    {3, 2, 0, 1, 0xFFFFFFFFu, 0, 0},
                                                    {3, 30, 0, 1, 0xFFFFFFFFu, 0, 1}};
    const std::vector<TexturedVertex> fan = {{4, 4, 0, 1, 0xFFFFFFFFu, 0, 0},
                                             {20, 6, 0, 1, 0x80FFFFFFu, 1, 0},
                                             {24, 26, 0, 1, 0xFFFFFFFFu, 1, 1},
                                             {2, 22, 0, 1, 0xFF808080u, 0, 1}};
    const std::vector<ColorVertex> list = {{1, 1, 0, 1, 0xFFFF0000u},   {15, 1, 0, 1, 0xFF00FF00u},
                                           {1, 15, 0, 1, 0xFF0000FFu},  {17, 17, 0, 1, 0xFFFFFF00u},
                                           {31, 17, 0, 1, 0xFF00FFFFu}, {17, 31, 0, 1, 0xFFFF00FFu}};
    struct Case {
        const char* name;
        uint32_t fvf;
        uint32_t type;
        uint32_t primitives;
        std::vector<unsigned char> vertices;  // already laid out with `stride`
        uint32_t stride;
        uint32_t offset;       // bytes before the stream's first vertex
        uint32_t startVertex;  // vertices skipped after that
        uint32_t extraLength;  // bytes after the last vertex
    } cases[] = {
        {"movie strip filling the buffer", kTexturedFvf, kPrimitiveTriangleStrip, 2, strided(movieStrip, 28), 28, 0, 0,
         0},
        {"fan after an offset and a start vertex", kTexturedFvf, kPrimitiveTriangleFan, 2, strided(fan, 28), 28, 8, 3,
         5},
        {"wide stride, last vertex ending the buffer", kTexturedFvf, kPrimitiveTriangleFan, 2, strided(fan, 36), 36, 0,
         0, 0},
        {"coloured triangle list", kColorFvf, kPrimitiveTriangleList, 2, strided(list, 20), 20, 4, 1, 0},
    };
    GpuTexture* texture = makeTexture(2, 2, {0xFFFF0000u, 0x8000FF00u, 0xFF0000FFu, 0xFFFFFFFFu});
    spriteStates(true);
    device->setTexture(0, texture);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device->setFvf(c.fvf);
        clearTarget();
        ASSERT_EQ(kOk, device->drawPrimitiveUp(c.type, c.primitives, c.vertices.data(), c.stride));
        const std::vector<uint32_t> expected = targetPixels();
        EXPECT_NE(std::vector<uint32_t>(expected.size(), kClearColor), expected);  // something was drawn

        const uint32_t before = c.offset + c.startVertex * c.stride;
        const uint32_t length = before + uint32_t(c.vertices.size()) + c.extraLength;
        GpuVertexBuffer* vb = makeBuffer(length, c.fvf, c.vertices, before);
        ASSERT_EQ(kOk, device->setStreamSource(0, vb, c.offset, c.stride));
        clearTarget();
        ASSERT_EQ(kOk, device->drawPrimitive(c.type, c.startVertex, c.primitives));
        EXPECT_EQ(expected, targetPixels());
        device->setStreamSource(0, nullptr, 0, 0);
        EXPECT_EQ(1u, vb->refCount());
        vb->release();
    }
    texture->release();
}

TEST_F(VertexBufferTest, RefusesWhatTheDeviceCannotDoAndDrawsNothingThen) {
    GpuVertexBuffer* vb = nullptr;
    ASSERT_EQ(kOk, device->createVertexBuffer(112, kUsageWriteOnly, kTexturedFvf, kPoolDefault, &vb));
    GpuVertexBuffer* out = nullptr;
    void* data = nullptr;
    auto draw = [&] { return device->drawPrimitive(kPrimitiveTriangleStrip, 0, 2); };
    struct Case {
        const char* name;
        std::function<Result()> call;
    } cases[] = {
        {"format with a second texture set",
         [&] { return device->createVertexBuffer(112, 0, kFvfXyz | 0x200, kPoolDefault, &out); }},
        {"format with normals", [&] { return device->createVertexBuffer(112, 0, kFvfXyzRhw | kFvfNormal, 0, &out); }},
        {"shorter than one vertex",
         [&] { return device->createVertexBuffer(27, 0, kTexturedFvf, kPoolDefault, &out); }},
        {"render-target usage",
         [&] { return device->createVertexBuffer(112, kUsageRenderTarget, kTexturedFvf, kPoolDefault, &out); }},
        {"unknown pool", [&] { return device->createVertexBuffer(112, 0, kTexturedFvf, 3, &out); }},
        {"no result pointer", [&] { return device->createVertexBuffer(112, 0, kTexturedFvf, kPoolDefault, nullptr); }},
        {"stream 1", [&] { return device->setStreamSource(1, vb, 0, 28); }},
        {"reading stream 1",
         [&] {
             uint32_t o, s;
             return device->getStreamSource(1, &out, &o, &s);
         }},
        {"offset at the end", [&] { return device->setStreamSource(0, vb, 112, 28); }},
        {"lock past the end", [&] { return vb->lock(100, 13, &data, 0); }},
        {"lock starting at the end", [&] { return vb->lock(112, 0, &data, 0); }},
        {"lock of a huge range", [&] { return vb->lock(8, 0xFFFFFFFFu, &data, 0); }},
        {"unlock without a lock", [&] { return vb->unlock(); }},
        {"second lock",
         [&] {
             vb->lock(0, 0, &data, 0);
             Result r = vb->lock(0, 28, &data, 0);
             vb->unlock();
             return r;
         }},
        {"drawing while locked",
         [&] {
             vb->lock(56, 0, &data, 0);
             Result r = draw();
             vb->unlock();
             return r;
         }},
        {"nothing bound",
         [&] {
             device->setStreamSource(0, nullptr, 0, 0);
             return draw();
         }},
        {"strip past the end", [&] { return device->drawPrimitive(kPrimitiveTriangleStrip, 1, 2); }},
        {"list past the end", [&] { return device->drawPrimitive(kPrimitiveTriangleList, 0, 2); }},
        {"offset pushing the last vertex out",
         [&] {
             device->setStreamSource(0, vb, 4, 28);
             return draw();
         }},
        {"start vertex wrapping around",
         [&] { return device->drawPrimitive(kPrimitiveTriangleStrip, 0xFFFFFFFFu, 2); }},
        {"primitive count wrapping around",
         [&] { return device->drawPrimitive(kPrimitiveTriangleList, 0, 0x55555556u); }},
        {"stride below the vertex size",
         [&] {
             device->setStreamSource(0, vb, 0, 20);
             return draw();
         }},
        {"point list", [&] { return device->drawPrimitive(kPrimitivePointList, 0, 1); }},
        {"line list", [&] { return device->drawPrimitive(kPrimitiveLineList, 0, 1); }},
        {"no primitives", [&] { return device->drawPrimitive(kPrimitiveTriangleStrip, 0, 0); }},
    };
    const TexturedVertex quad[4] = {{32, 0, 0, 1, 0xFFFFFFFFu, 1, 0},
                                    {32, 32, 0, 1, 0xFFFFFFFFu, 1, 1},
                                    {0, 0, 0, 1, 0xFFFFFFFFu, 0, 0},
                                    {0, 32, 0, 1, 0xFFFFFFFFu, 0, 1}};
    ASSERT_EQ(kOk, vb->lock(0, 0, &data, 0));
    std::memcpy(data, quad, sizeof quad);
    ASSERT_EQ(kOk, vb->unlock());
    const std::vector<uint32_t> cleared(32 * 32, kClearColor);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(kOk, device->setStreamSource(0, vb, 0, 28));
        device->setFvf(kTexturedFvf);
        clearTarget();
        EXPECT_EQ(kErrInvalidCall, c.call());
        EXPECT_EQ(nullptr, out);
        EXPECT_EQ(cleared, targetPixels());
        EXPECT_FALSE(vb->isLocked());
    }
    // The same set-up without the fault draws the whole target.
    ASSERT_EQ(kOk, device->setStreamSource(0, vb, 0, 28));
    device->setFvf(kTexturedFvf);
    device->setRenderState(RenderState::CullMode, kCullNone);
    ASSERT_EQ(kOk, draw());
    EXPECT_EQ(std::vector<uint32_t>(32 * 32, 0xFFFFFFFFu), targetPixels());
    device->setStreamSource(0, nullptr, 0, 0);
    vb->release();
}

TEST_F(VertexBufferTest, LocksRangesAndBindingsHoldReferencesUntilAResetWhichTheBufferSurvives) {
    GpuVertexBuffer* vb = nullptr;
    ASSERT_EQ(kOk, device->createVertexBuffer(112, kUsageWriteOnly, kColorFvf | kFvfTex1, kPoolDefault, &vb));
    VertexBufferDesc desc;
    ASSERT_EQ(kOk, vb->getDesc(&desc));
    EXPECT_EQ(112u, desc.size);
    EXPECT_EQ(uint32_t(kUsageWriteOnly), desc.usage);
    EXPECT_EQ(0x144u, desc.fvf);
    EXPECT_EQ(uint32_t(kPoolDefault), desc.pool);

    // A range lock points into the same bytes as a whole lock.
    void* whole = nullptr;
    void* part = nullptr;
    ASSERT_EQ(kOk, vb->lock(56, 28, &part, 0));
    std::memset(part, 0xAB, 28);
    ASSERT_EQ(kOk, vb->unlock());
    ASSERT_EQ(kOk, vb->lock(0, 0, &whole, kLockDiscard));
    EXPECT_EQ(static_cast<unsigned char*>(whole) + 56, part);
    EXPECT_EQ(0u, static_cast<unsigned char*>(whole)[55]);  // new buffers start zeroed
    EXPECT_EQ(0xABu, static_cast<unsigned char*>(whole)[56]);
    const TexturedVertex quad[4] = {{32, 0, 0, 1, 0xFF00FF00u, 1, 0},
                                    {32, 32, 0, 1, 0xFF00FF00u, 1, 1},
                                    {0, 0, 0, 1, 0xFF00FF00u, 0, 0},
                                    {0, 32, 0, 1, 0xFF00FF00u, 0, 1}};
    std::memcpy(whole, quad, sizeof quad);
    ASSERT_EQ(kOk, vb->unlock());

    ASSERT_EQ(kOk, device->setStreamSource(0, vb, 0, 28));
    EXPECT_EQ(2u, vb->refCount());
    ASSERT_EQ(kOk, device->setStreamSource(0, vb, 0, 28));  // rebinding the same buffer keeps one reference
    EXPECT_EQ(2u, vb->refCount());
    GpuVertexBuffer* bound = nullptr;
    uint32_t offset = 1;
    uint32_t stride = 0;
    ASSERT_EQ(kOk, device->getStreamSource(0, &bound, &offset, &stride));
    EXPECT_EQ(vb, bound);
    EXPECT_EQ(0u, offset);
    EXPECT_EQ(28u, stride);
    EXPECT_EQ(3u, vb->refCount());
    bound->release();

    // A reset unbinds the stream; the caller's default-pool buffer lives on with its contents.
    PresentParameters pp;
    device->getPresentParameters(&pp);
    ASSERT_EQ(kOk, device->reset(&pp));
    EXPECT_EQ(1u, vb->refCount());
    ASSERT_EQ(kOk, device->getStreamSource(0, &bound, &offset, &stride));
    EXPECT_EQ(nullptr, bound);
    EXPECT_EQ(kErrInvalidCall, device->drawPrimitive(kPrimitiveTriangleStrip, 0, 2));
    ASSERT_EQ(kOk, device->setStreamSource(0, vb, 0, 28));
    device->setFvf(kTexturedFvf);
    device->setRenderState(RenderState::CullMode, kCullNone);
    device->setTextureStageState(0, StageState::ColorOp, kOpSelectArg1);
    device->setTextureStageState(0, StageState::ColorArg1, kArgDiffuse);
    ASSERT_EQ(kOk, device->drawPrimitive(kPrimitiveTriangleStrip, 0, 2));
    EXPECT_EQ(0xFF00FF00u, pixel(16, 16));

    // The device's binding keeps the buffer alive after the caller lets go.
    EXPECT_EQ(1u, vb->release());
    ASSERT_EQ(kOk, device->drawPrimitive(kPrimitiveTriangleStrip, 0, 2));
    ASSERT_EQ(kOk, device->getStreamSource(0, &bound, &offset, &stride));
    EXPECT_EQ(1u, bound->release());
}

TEST_F(VertexBufferTest, ADrawNeverReadsAVertexSetHalfRewrittenOnAnotherThread) {
    // Each lock rewrites all four vertices in one colour: a draw that read while a lock was
    // open would mix the two colours into a third.
    constexpr uint32_t kColors[2] = {0xFFFF0000u, 0xFF0000FFu};
    GpuVertexBuffer* vb = nullptr;
    ASSERT_EQ(kOk, device->createVertexBuffer(112, kUsageWriteOnly, kTexturedFvf, kPoolDefault, &vb));
    auto fill = [vb](uint32_t color) {
        void* data = nullptr;
        if (vb->lock(0, 0, &data, 0) != kOk) {
            return false;
        }
        const TexturedVertex quad[4] = {{32, 0, 0, 1, color, 1, 0},
                                        {32, 32, 0, 1, color, 1, 1},
                                        {0, 0, 0, 1, color, 0, 0},
                                        {0, 32, 0, 1, color, 0, 1}};
        // Half the quad now, half after a pause that leaves room for a draw to come in between.
        std::memcpy(data, quad, 2 * 28);
        std::this_thread::sleep_for(std::chrono::microseconds(50));
        std::memcpy(static_cast<unsigned char*>(data) + 2 * 28, quad + 2, 2 * 28);
        return vb->unlock() == kOk;
    };
    ASSERT_TRUE(fill(kColors[0]));
    ASSERT_EQ(kOk, device->setStreamSource(0, vb, 0, 28));
    device->setFvf(kTexturedFvf);
    device->setRenderState(RenderState::CullMode, kCullNone);
    device->setTextureStageState(0, StageState::ColorOp, kOpSelectArg1);
    device->setTextureStageState(0, StageState::ColorArg1, kArgDiffuse);
    std::atomic<bool> writerFailed{false};
    std::atomic<bool> writerDone{false};
    std::thread writer([&] {
        for (int i = 0; i < 200; ++i) {
            writerFailed = writerFailed || !fill(kColors[i & 1]);
        }
        writerDone = true;
    });
    for (int i = 0; i < 1000000 && !writerDone; ++i) {
        const Result r = device->drawPrimitive(kPrimitiveTriangleStrip, 0, 2);
        ASSERT_TRUE(r == kOk || r == kErrInvalidCall);  // refused while the writer holds the lock
        if (r == kOk) {
            const uint32_t p = pixel(16, 16);
            ASSERT_TRUE(p == kColors[0] || p == kColors[1]) << std::hex << p;
        }
    }
    writer.join();
    EXPECT_FALSE(writerFailed.load());  // a lock during a draw waits instead of failing
    ASSERT_EQ(kOk, device->drawPrimitive(kPrimitiveTriangleStrip, 0, 2));
    EXPECT_EQ(kColors[1], pixel(16, 16));
    device->setStreamSource(0, nullptr, 0, 0);
    vb->release();
}

}  // namespace
}  // namespace Platform::Gpu::Test
