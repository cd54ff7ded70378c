#include "graphics/OxMatrixMath.h"

#include "platform/gpux/XMath.h"

namespace Orvex::Graphics {

using Platform::Gpu::Matrix;
using Platform::Gpu::Vector3;

Matrix toDeviceMatrix(const OxMatrix& m, bool transpose) {
    Matrix out;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            out.m[r][c] = transpose ? m.m[c][r] : m.m[r][c];
        }
    }
    return out;
}

Matrix perspectiveFovRH(float fovY, float aspect, float zNear, float zFar) {
    return Platform::Gpux::matrixPerspectiveFovRH(fovY, aspect, zNear, zFar);
}

Matrix lookAtRH(const Vector3& eye, const Vector3& at, const Vector3& up) {
    return Platform::Gpux::matrixLookAtRH(eye, at, up);
}

}  // namespace Orvex::Graphics
