#include "graphics/OxMatrixMath.h"

#include <cmath>

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
    const float yScale = 1.0f / std::tan(fovY / 2);
    Matrix m;
    m.m[0][0] = yScale / aspect;
    m.m[1][1] = yScale;
    m.m[2][2] = zFar / (zNear - zFar);
    m.m[2][3] = -1.0f;
    m.m[3][2] = zNear * zFar / (zNear - zFar);
    return m;
}

namespace {
Vector3 sub(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vector3 normalize(const Vector3& v) {
    const float length = std::sqrt(dot(v, v));
    return length > 0 ? Vector3{v.x / length, v.y / length, v.z / length} : v;
}
}  // namespace

Matrix lookAtRH(const Vector3& eye, const Vector3& at, const Vector3& up) {
    const Vector3 z = normalize(sub(eye, at));
    const Vector3 x = normalize(cross(up, z));
    const Vector3 y = cross(z, x);
    Matrix m;
    m.m[0][0] = x.x, m.m[0][1] = y.x, m.m[0][2] = z.x;
    m.m[1][0] = x.y, m.m[1][1] = y.y, m.m[1][2] = z.y;
    m.m[2][0] = x.z, m.m[2][1] = y.z, m.m[2][2] = z.z;
    m.m[3][0] = -dot(x, eye), m.m[3][1] = -dot(y, eye), m.m[3][2] = -dot(z, eye), m.m[3][3] = 1.0f;
    return m;
}

}  // namespace Orvex::Graphics
