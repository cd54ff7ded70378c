#pragma once
// The graphics object: owns the system object and the device.
#include "graphics/OxRefCounted.h"
#include "graphics/include/OxRefPtr.h"
#include "graphics/include/IOrvexGraphics.h"

namespace Orvex::Graphics {

class OxGraphics : public OxRefCounted<IOrvexGraphics> {
public:
    OxGraphics() = default;

    int32_t initialize(Platform::Gpu::WindowHandle focusWindow, const OxGraphicsParameters* parameters) override;
    int32_t setDevice(Platform::Gpu::GpuDevice* device) override;
    int32_t terminate() override;
    bool isInitialized() const override { return device_ != nullptr; }
    bool getFlag() const override { return flag_ != 0; }
    Platform::Gpu::GpuSystem* getDirect3D() override { return system_.get(); }
    Platform::Gpu::GpuDevice* getDevice() override { return device_.get(); }
    int32_t createRenderer(IOrvexRenderer** out) override;
    int32_t createGeometryImporter(IOrvexGeometryImporter** out) override;
    int32_t createGeometryExporter(IOrvexGeometryExporter** out) override;
    int32_t createGeometry(IOrvexGeometry** out) override;
    int32_t createParticles(IOrvexParticles** out) override;
    int32_t createStaticMesh(IOrvexStaticMesh** out) override;
    int32_t createSkinnedMesh(IOrvexSkinnedMesh** out) override;
    int32_t createCamera(IOrvexCamera** out) override;
    int32_t getViewport(OxViewportRect* out) override;
    int32_t setViewport(const OxViewportRect* rect) override;
    int32_t restoreViewport() override;
    int32_t setProjectionMatrix(const OxMatrix* matrix) override;
    int32_t setViewMatrix(const OxMatrix* matrix) override;
    int32_t setWorldMatrix(const OxMatrix* matrix) override;

    // Presentation parameters built from a parameter block as initialize and reset build them.
    static Platform::Gpu::PresentParameters presentParameters(const OxGraphicsParameters& parameters);

protected:
    ~OxGraphics() override;

private:
    // The objects of the 3-D half are made by their own factories; until they exist every
    // factory below reports that it could not make one.
    template <typename Object, typename T>
    int32_t createThreeDimensionalObject(T** out);

    uint8_t flag_ = 0;
    OxRefPtr<Platform::Gpu::GpuSystem> system_;
    OxRefPtr<Platform::Gpu::GpuDevice> device_;
    OxViewportRect current_{};
    OxViewportRect previous_{};
};

}  // namespace Orvex::Graphics
