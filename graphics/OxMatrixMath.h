#pragma once
// The few matrix helpers the graphics object needs (row-vector convention of the device).
#include "graphics/include/OxGraphicsTypes.h"
#include "platform/gpu/GpuTypes.h"

namespace Orvex::Graphics {

Platform::Gpu::Matrix toDeviceMatrix(const OxMatrix& m, bool transpose);
// Right-handed perspective projection.
Platform::Gpu::Matrix perspectiveFovRH(float fovY, float aspect, float zNear, float zFar);
// Right-handed view matrix from an eye towards a point.
Platform::Gpu::Matrix lookAtRH(const Platform::Gpu::Vector3& eye, const Platform::Gpu::Vector3& at,
                               const Platform::Gpu::Vector3& up);

}  // namespace Orvex::Graphics
