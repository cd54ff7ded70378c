#pragma once
// Values and records of the software device. Numeric values the engine stores or compares
// (result codes, formats, pools, state values, vertex-format bits) keep their established numbers.
#include <array>
#include <cstdint>

namespace Platform::Gpu {

using Result = int32_t;
inline constexpr Result kOk = 0;
inline constexpr Result kErrDeviceLost = static_cast<Result>(0x88760868u);
inline constexpr Result kErrDeviceNotReset = static_cast<Result>(0x88760869u);
inline constexpr Result kErrInvalidCall = static_cast<Result>(0x8876086Cu);
inline constexpr Result kErrOutOfMemory = static_cast<Result>(0x8007000Eu);
inline constexpr Result kErrFail = static_cast<Result>(0x80004005u);

inline constexpr uint32_t kSdkVersion = 31;

enum Format : uint32_t {
    kFormatUnknown = 0,
    kFormatA8R8G8B8 = 21,
    kFormatX8R8G8B8 = 22,
    kFormatD16 = 80,
    kFormatIndex16 = 101,
    kFormatIndex32 = 102,
};

enum Pool : uint32_t { kPoolDefault = 0, kPoolManaged = 1, kPoolSystemMem = 2 };

enum Usage : uint32_t {
    kUsageRenderTarget = 0x1,
    kUsageDepthStencil = 0x2,
    kUsageWriteOnly = 0x8,
    kUsageDynamic = 0x200,
};

enum LockFlags : uint32_t { kLockReadOnly = 0x10, kLockDiscard = 0x2000 };

enum ClearFlags : uint32_t { kClearTarget = 1, kClearZBuffer = 2, kClearStencil = 4 };

enum SwapEffect : uint32_t { kSwapDiscard = 1, kSwapFlip = 2, kSwapCopy = 3 };

enum PresentInterval : uint32_t { kPresentIntervalOne = 1, kPresentIntervalImmediate = 0x80000000u };

enum PresentFlags : uint32_t { kPresentLockableBackBuffer = 1, kPresentDiscardDepthStencil = 2 };

enum CreateFlags : uint32_t { kCreateSoftwareVertexProcessing = 0x20, kCreateMultithreaded = 0x4 };

enum DeviceType : uint32_t { kDeviceHal = 1 };

// Render states the engine sets or relies on. Our own compact numbering; values below are the
// established ones.
enum class RenderState : uint32_t {
    ZEnable,
    ZWriteEnable,
    ZFunc,
    FillMode,
    ShadeMode,
    CullMode,
    AlphaTestEnable,
    AlphaRef,
    AlphaFunc,
    AlphaBlendEnable,
    SrcBlend,
    DestBlend,
    DitherEnable,
    FogEnable,
    SpecularEnable,
    Lighting,
    Ambient,
    ColorVertex,
    DiffuseMaterialSource,
    SpecularMaterialSource,
    AmbientMaterialSource,
    EmissiveMaterialSource,
    ScissorTestEnable,
    Count
};

enum Blend : uint32_t { kBlendZero = 1, kBlendOne = 2, kBlendSrcAlpha = 5, kBlendInvSrcAlpha = 6 };

enum Compare : uint32_t {
    kCmpNever = 1,
    kCmpLess = 2,
    kCmpEqual = 3,
    kCmpLessEqual = 4,
    kCmpGreater = 5,
    kCmpNotEqual = 6,
    kCmpGreaterEqual = 7,
    kCmpAlways = 8,
};

enum Cull : uint32_t { kCullNone = 1, kCullClockwise = 2, kCullCounterClockwise = 3 };

enum Fill : uint32_t { kFillPoint = 1, kFillWireframe = 2, kFillSolid = 3 };

enum Shade : uint32_t { kShadeFlat = 1, kShadeGouraud = 2 };

enum MaterialSource : uint32_t { kMaterialSourceMaterial = 0, kMaterialSourceColor1 = 1, kMaterialSourceColor2 = 2 };

enum class StageState : uint32_t { ColorOp, ColorArg1, ColorArg2, AlphaOp, AlphaArg1, AlphaArg2, Count };

enum TextureOp : uint32_t { kOpDisable = 1, kOpSelectArg1 = 2, kOpSelectArg2 = 3, kOpModulate = 4, kOpAdd = 7 };

enum TextureArg : uint32_t { kArgDiffuse = 0, kArgCurrent = 1, kArgTexture = 2 };

enum class SamplerState : uint32_t { AddressU, AddressV, MagFilter, MinFilter, MipFilter, Count };

enum Filter : uint32_t { kFilterNone = 0, kFilterPoint = 1, kFilterLinear = 2, kFilterAnisotropic = 3 };

enum Address : uint32_t { kAddressWrap = 1 };

enum TransformState : uint32_t { kTransformView = 2, kTransformProjection = 3, kTransformWorld = 256 };

enum VertexFormat : uint32_t {
    kFvfXyz = 0x002,
    kFvfXyzRhw = 0x004,
    kFvfNormal = 0x010,
    kFvfDiffuse = 0x040,
    kFvfTex1 = 0x100,
};

// Bytes of one vertex of a format the device can draw (pre-transformed position, optional diffuse
// colour, optional one texture coordinate pair); 0 for any other format.
inline constexpr uint32_t drawableVertexSize(uint32_t fvf) {
    constexpr uint32_t known = kFvfXyzRhw | kFvfDiffuse | kFvfTex1;
    if ((fvf & kFvfXyzRhw) == 0 || (fvf & ~known) != 0) {
        return 0;
    }
    return 16 + ((fvf & kFvfDiffuse) != 0 ? 4 : 0) + ((fvf & kFvfTex1) != 0 ? 8 : 0);
}

// Bytes of one untransformed vertex (position, optional normal, diffuse colour and one texture
// coordinate pair, in that order); 0 for any other format.
inline constexpr uint32_t untransformedVertexSize(uint32_t fvf) {
    constexpr uint32_t kKnown = kFvfXyz | kFvfNormal | kFvfDiffuse | kFvfTex1;
    if ((fvf & 0x00Eu) != kFvfXyz || (fvf & ~kKnown) != 0) {
        return 0;
    }
    return 12 + ((fvf & kFvfNormal) != 0 ? 12 : 0) + ((fvf & kFvfDiffuse) != 0 ? 4 : 0) +
           ((fvf & kFvfTex1) != 0 ? 8 : 0);
}

// Bytes of a vertex of any format the device draws.
inline constexpr uint32_t vertexSize(uint32_t fvf) {
    const uint32_t size = drawableVertexSize(fvf);
    return size != 0 ? size : untransformedVertexSize(fvf);
}

enum PrimitiveType : uint32_t {
    kPrimitivePointList = 1,
    kPrimitiveLineList = 2,
    kPrimitiveLineStrip = 3,
    kPrimitiveTriangleList = 4,
    kPrimitiveTriangleStrip = 5,
    kPrimitiveTriangleFan = 6,
};

inline constexpr uint32_t kStageCount = 8;
inline constexpr uint32_t kSamplerCount = 8;

// Handle of the window a device belongs to (the window module's handle type; 0 is none).
using WindowHandle = uint32_t;

struct PresentParameters {
    uint32_t backBufferWidth = 0;
    uint32_t backBufferHeight = 0;
    uint32_t backBufferFormat = kFormatX8R8G8B8;
    uint32_t backBufferCount = 1;
    uint32_t multiSampleType = 0;
    uint32_t multiSampleQuality = 0;
    uint32_t swapEffect = kSwapCopy;
    WindowHandle deviceWindow = 0;
    bool windowed = true;
    bool enableAutoDepthStencil = false;
    uint32_t autoDepthStencilFormat = kFormatUnknown;
    uint32_t flags = 0;
    uint32_t fullScreenRefreshRate = 0;
    uint32_t presentationInterval = kPresentIntervalImmediate;
};

struct Viewport {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    float minZ = 0.0f;
    float maxZ = 1.0f;
};

struct IntRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct IntPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct SurfaceDesc {
    uint32_t format = kFormatUnknown;
    uint32_t usage = 0;
    uint32_t pool = kPoolDefault;
    uint32_t width = 0;
    uint32_t height = 0;
};

struct VertexBufferDesc {
    uint32_t usage = 0;
    uint32_t pool = kPoolDefault;
    uint32_t size = 0;  // bytes
    uint32_t fvf = 0;
};

struct LockedRect {
    int32_t pitch = 0;
    void* bits = nullptr;
};

// Row-vector 4x4 matrix, m[row][column].
struct Matrix {
    std::array<std::array<float, 4>, 4> m{};
    static Matrix identity() {
        Matrix r;
        for (int i = 0; i < 4; ++i) {
            r.m[i][i] = 1.0f;
        }
        return r;
    }
    bool operator==(const Matrix&) const = default;
};

struct ColorValue {
    float r = 0, g = 0, b = 0, a = 0;
    bool operator==(const ColorValue&) const = default;
};

struct Vector3 {
    float x = 0, y = 0, z = 0;
    bool operator==(const Vector3&) const = default;
};

enum LightType : uint32_t { kLightPoint = 1, kLightSpot = 2, kLightDirectional = 3 };

struct Light {
    uint32_t type = kLightDirectional;
    ColorValue diffuse{1, 1, 1, 0};
    ColorValue specular{};
    ColorValue ambient{};
    Vector3 position{};
    Vector3 direction{0, 0, 1};
    float range = 0, falloff = 0, attenuation0 = 0, attenuation1 = 0, attenuation2 = 0, theta = 0, phi = 0;
    bool operator==(const Light&) const = default;
};

struct Material {
    ColorValue diffuse{}, ambient{}, specular{}, emissive{};
    float power = 0;
    bool operator==(const Material&) const = default;
};

// Vertex layouts of the pre-transformed formats.
struct ColorVertex {
    float x, y, z, rhw;
    uint32_t color;
};
static_assert(sizeof(ColorVertex) == 20);

struct TexturedVertex {
    float x, y, z, rhw;
    uint32_t color;
    float u, v;
};
static_assert(sizeof(TexturedVertex) == 28);

}  // namespace Platform::Gpu
