#pragma once
// A camera: the renderer's projection and view matrices, in the column-vector convention (the
// graphics object transposes them for the device).
#include <cstdint>

#include "graphics/include/IOrvexRefCountObject.h"
#include "graphics/include/OxGraphicsTypes.h"

namespace Orvex::Graphics {

// x, y, z.
using OxVector3 = float[3];

class IOrvexCamera : public System::IOrvexRefCountObject {
public:
    virtual uint32_t getProjectionKind() = 0;
    virtual void getProjectionMatrix(OxMatrix* out) = 0;
    virtual void setPerspective(float fov, float aspect, float zNear, float zFar) = 0;
    virtual float getFov() = 0;
    virtual void setFov(float fov) = 0;
    virtual float getAspect() = 0;
    virtual float getNear() = 0;
    virtual float getFar() = 0;
    virtual void getViewMatrix(OxMatrix* out) = 0;
    virtual const OxVector3& getPosition() = 0;
    virtual void setPosition(const OxVector3& xyz) = 0;
    virtual const OxVector3& getTarget() = 0;
    virtual void setTarget(const OxVector3& xyz) = 0;
    virtual const OxVector3& getUp() = 0;
    virtual void setUp(const OxVector3& xyz) = 0;

protected:
    virtual ~IOrvexCamera() = default;
};

}  // namespace Orvex::Graphics
