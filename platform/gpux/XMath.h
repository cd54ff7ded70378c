#pragma once
// Matrix, vector and quaternion helpers of the 3-D half, in the device's row-vector convention:
// a point p is transformed as p * M, and A * B applies A first.
#include "platform/gpu/GpuTypes.h"

namespace Platform::Gpux {

using Platform::Gpu::Matrix;
using Platform::Gpu::Vector3;

struct Quaternion {
    float x = 0, y = 0, z = 0, w = 1;
    bool operator==(const Quaternion&) const = default;
};

Matrix matrixIdentity();
Matrix matrixMultiply(const Matrix& a, const Matrix& b);
Matrix matrixTranspose(const Matrix& m);
// The inverse, or nothing when the matrix is singular.
bool matrixInverse(const Matrix& m, Matrix* out, float* determinant = nullptr);
Matrix matrixScaling(float sx, float sy, float sz);
Matrix matrixTranslation(float x, float y, float z);
Matrix matrixRotationX(float angle);
Matrix matrixRotationY(float angle);
Matrix matrixRotationZ(float angle);
Matrix matrixRotationQuaternion(const Quaternion& q);
// Right-handed perspective projection (depth 0 at the near plane, 1 at the far plane).
Matrix matrixPerspectiveFovRH(float fovY, float aspect, float zNear, float zFar);
// Right-handed view matrix from an eye towards a point.
Matrix matrixLookAtRH(const Vector3& eye, const Vector3& at, const Vector3& up);

Vector3 vecAdd(const Vector3& a, const Vector3& b);
Vector3 vecSub(const Vector3& a, const Vector3& b);
Vector3 vecScale(const Vector3& v, float s);
float vecDot(const Vector3& a, const Vector3& b);
Vector3 vecCross(const Vector3& a, const Vector3& b);
float vecLength(const Vector3& v);
// The unit vector; the zero vector stays zero.
Vector3 vecNormalize(const Vector3& v);
// A point through the whole matrix, divided by w (w 0 leaves the undivided result).
Vector3 transformCoord(const Vector3& v, const Matrix& m);
// A direction through the upper 3x3 part (no translation).
Vector3 transformNormal(const Vector3& v, const Matrix& m);

Quaternion quatNormalize(const Quaternion& q);
Quaternion quatRotationAxis(const Vector3& axis, float angle);
// Spherical interpolation along the shorter arc; t 0 gives a, 1 gives b.
Quaternion quatSlerp(const Quaternion& a, const Quaternion& b, float t);

}  // namespace Platform::Gpux
