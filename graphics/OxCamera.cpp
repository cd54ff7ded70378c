#include "graphics/OxCamera.h"

#include <cmath>

namespace Orvex::Graphics {

namespace {

struct V3 {
    float x, y, z;
};

V3 sub(const float* a, const float* b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
V3 cross(const V3& a, const V3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float dot(const V3& a, const float* b) { return a.x * b[0] + a.y * b[1] + a.z * b[2]; }
// The zero vector stays zero.
V3 normalize(const V3& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return length == 0 ? v : V3{v.x / length, v.y / length, v.z / length};
}

}  // namespace

void OxCamera::setPerspective(float fov, float aspect, float zNear, float zFar) {
    fov_ = fov;
    aspect_ = aspect;
    near_ = zNear;
    far_ = zFar;
    kind_ = 0;
}

void OxCamera::getProjectionMatrix(OxMatrix* out) {
    if (out == nullptr) {
        return;
    }
    const float ys = 1.0f / std::tan(fov_ / 2), xs = ys / aspect_;
    *out = OxMatrix{};
    out->m[0][0] = xs;
    out->m[1][1] = ys;
    out->m[2][2] = far_ / (near_ - far_);
    out->m[2][3] = near_ * far_ / (near_ - far_);
    out->m[3][2] = -1;  // w from -z
}

void OxCamera::getViewMatrix(OxMatrix* out) {
    if (out == nullptr) {
        return;
    }
    const V3 z = normalize(sub(position_, target_));
    const V3 up{up_[0], up_[1], up_[2]};
    const V3 x = normalize(cross(up, z));
    const V3 y = cross(z, x);
    const V3 axes[3] = {x, y, z};
    *out = OxMatrix{};
    for (int r = 0; r < 3; ++r) {
        out->m[r][0] = axes[r].x;
        out->m[r][1] = axes[r].y;
        out->m[r][2] = axes[r].z;
        out->m[r][3] = -dot(axes[r], position_);
    }
    out->m[3][3] = 1;
}

}  // namespace Orvex::Graphics
