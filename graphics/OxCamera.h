#pragma once
// A perspective camera: field of view, aspect, near and far planes, position, target and up.
// Its matrices are in the column-vector convention; transposed they are the device's.
#include <algorithm>

#include "graphics/OxRefCounted.h"
#include "graphics/include/IOrvexCamera.h"
#include "graphics/include/IOrvexGraphics.h"
#include "graphics/include/OxRefPtr.h"

namespace Orvex::Graphics {

class OxCamera final : public OxRefCounted<IOrvexCamera> {
public:
    explicit OxCamera(IOrvexGraphics* graphics) : graphics_(OxRefPtr<IOrvexGraphics>::share(graphics)) {}

    uint32_t getProjectionKind() override { return kind_; }
    void getProjectionMatrix(OxMatrix* out) override;
    void setPerspective(float fov, float aspect, float zNear, float zFar) override;
    float getFov() override { return fov_; }
    void setFov(float fov) override { fov_ = fov; }
    float getAspect() override { return aspect_; }
    float getNear() override { return near_; }
    float getFar() override { return far_; }
    void getViewMatrix(OxMatrix* out) override;
    const OxVector3& getPosition() override { return position_; }
    void setPosition(const OxVector3& xyz) override { std::copy_n(xyz, 3, position_); }
    const OxVector3& getTarget() override { return target_; }
    void setTarget(const OxVector3& xyz) override { std::copy_n(xyz, 3, target_); }
    const OxVector3& getUp() override { return up_; }
    void setUp(const OxVector3& xyz) override { std::copy_n(xyz, 3, up_); }

private:
    ~OxCamera() override = default;

    OxRefPtr<IOrvexGraphics> graphics_;
    float fov_ = 0.78539816f;
    float aspect_ = 4.0f / 3.0f;
    float near_ = 1.0f;
    float far_ = 10000.0f;
    uint32_t kind_ = 0;
    float position_[3] = {160, 90, 160};
    float target_[3] = {0, 0, 0};
    float up_[3] = {0, 1, 0};
};

}  // namespace Orvex::Graphics
