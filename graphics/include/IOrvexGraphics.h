#pragma once
// The graphics object: owns the device; makes the renderer and the objects of the 3-D half.
#include "graphics/include/IOrvex3DTypes.h"
#include "graphics/include/IOrvexRenderer.h"
#include "graphics/include/OxGraphicsTypes.h"
#include "platform/gpu/GpuDevice.h"

namespace Orvex::Graphics {

class IOrvexGraphics : public System::IOrvexRefCountObject {
public:
    virtual int32_t initialize(Platform::Gpu::WindowHandle focusWindow, const OxGraphicsParameters* parameters) = 0;
    virtual int32_t setDevice(Platform::Gpu::GpuDevice* device) = 0;
    virtual int32_t terminate() = 0;
    virtual bool isInitialized() const = 0;
    virtual bool getFlag() const = 0;
    virtual Platform::Gpu::GpuSystem* getDirect3D() = 0;  // borrowed
    virtual Platform::Gpu::GpuDevice* getDevice() = 0;    // borrowed
    virtual int32_t createRenderer(IOrvexRenderer** out) = 0;
    virtual int32_t createGeometryImporter(IOrvexGeometryImporter** out) = 0;
    virtual int32_t createGeometryExporter(IOrvexGeometryExporter** out) = 0;
    virtual int32_t createGeometry(IOrvexGeometry** out) = 0;
    virtual int32_t createParticles(IOrvexParticles** out) = 0;
    virtual int32_t createStaticMesh(IOrvexStaticMesh** out) = 0;
    virtual int32_t createSkinnedMesh(IOrvexSkinnedMesh** out) = 0;
    virtual int32_t createCamera(IOrvexCamera** out) = 0;
    virtual int32_t getViewport(OxViewportRect* out) = 0;
    virtual int32_t setViewport(const OxViewportRect* rect) = 0;
    virtual int32_t restoreViewport() = 0;
    virtual int32_t setProjectionMatrix(const OxMatrix* matrix) = 0;
    virtual int32_t setViewMatrix(const OxMatrix* matrix) = 0;
    virtual int32_t setWorldMatrix(const OxMatrix* matrix) = 0;

protected:
    virtual ~IOrvexGraphics() = default;
};

}  // namespace Orvex::Graphics

// The library's one exported function: a new graphics object (count 1) for version 0x80000001,
// else null.
extern "C" Orvex::Graphics::IOrvexGraphics* OXCreateGraphics(uint32_t version);
