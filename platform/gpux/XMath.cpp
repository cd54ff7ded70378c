#include "platform/gpux/XMath.h"

#include <cmath>

namespace Platform::Gpux {

Matrix matrixIdentity() { return Matrix::identity(); }

Matrix matrixMultiply(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[i][k] * b.m[k][j];
            }
            r.m[i][j] = sum;
        }
    }
    return r;
}

Matrix matrixTranspose(const Matrix& m) {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = m.m[j][i];
        }
    }
    return r;
}

bool matrixInverse(const Matrix& m, Matrix* out, float* determinant) {
    // Gauss-Jordan elimination with partial pivoting, in double for stability.
    double a[4][8];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m.m[i][j];
            a[i][j + 4] = i == j ? 1.0 : 0.0;
        }
    }
    double det = 1.0;
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) {
                pivot = r;
            }
        }
        if (std::fabs(a[pivot][col]) < 1e-12) {
            if (determinant) {
                *determinant = 0.0f;
            }
            return false;
        }
        if (pivot != col) {
            for (int j = 0; j < 8; ++j) {
                std::swap(a[pivot][j], a[col][j]);
            }
            det = -det;
        }
        const double p = a[col][col];
        det *= p;
        for (int j = 0; j < 8; ++j) {
            a[col][j] /= p;
        }
        for (int r = 0; r < 4; ++r) {
            if (r != col && a[r][col] != 0.0) {
                const double f = a[r][col];
                for (int j = 0; j < 8; ++j) {
                    a[r][j] -= f * a[col][j];
                }
            }
        }
    }
    if (determinant) {
        *determinant = static_cast<float>(det);
    }
    if (out) {
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                out->m[i][j] = static_cast<float>(a[i][j + 4]);
            }
        }
    }
    return true;
}

Matrix matrixScaling(float sx, float sy, float sz) {
    Matrix r = Matrix::identity();
    r.m[0][0] = sx, r.m[1][1] = sy, r.m[2][2] = sz;
    return r;
}

Matrix matrixTranslation(float x, float y, float z) {
    Matrix r = Matrix::identity();
    r.m[3][0] = x, r.m[3][1] = y, r.m[3][2] = z;
    return r;
}

Matrix matrixRotationX(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix r = Matrix::identity();
    r.m[1][1] = c, r.m[1][2] = s, r.m[2][1] = -s, r.m[2][2] = c;
    return r;
}

Matrix matrixRotationY(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix r = Matrix::identity();
    r.m[0][0] = c, r.m[0][2] = -s, r.m[2][0] = s, r.m[2][2] = c;
    return r;
}

Matrix matrixRotationZ(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix r = Matrix::identity();
    r.m[0][0] = c, r.m[0][1] = s, r.m[1][0] = -s, r.m[1][1] = c;
    return r;
}

Matrix matrixRotationQuaternion(const Quaternion& q) {
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    Matrix r = Matrix::identity();
    r.m[0][0] = 1 - 2 * (yy + zz), r.m[0][1] = 2 * (xy + wz), r.m[0][2] = 2 * (xz - wy);
    r.m[1][0] = 2 * (xy - wz), r.m[1][1] = 1 - 2 * (xx + zz), r.m[1][2] = 2 * (yz + wx);
    r.m[2][0] = 2 * (xz + wy), r.m[2][1] = 2 * (yz - wx), r.m[2][2] = 1 - 2 * (xx + yy);
    return r;
}

Matrix matrixPerspectiveFovRH(float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY / 2);
    Matrix m;
    m.m[0][0] = yScale / aspect;
    m.m[1][1] = yScale;
    m.m[2][2] = zFar / (zNear - zFar);
    m.m[2][3] = -1.0f;
    m.m[3][2] = zNear * zFar / (zNear - zFar);
    return m;
}

Matrix matrixLookAtRH(const Vector3& eye, const Vector3& at, const Vector3& up) {
    const Vector3 z = vecNormalize(vecSub(eye, at));
    const Vector3 x = vecNormalize(vecCross(up, z));
    const Vector3 y = vecCross(z, x);
    Matrix m;
    m.m[0][0] = x.x, m.m[0][1] = y.x, m.m[0][2] = z.x;
    m.m[1][0] = x.y, m.m[1][1] = y.y, m.m[1][2] = z.y;
    m.m[2][0] = x.z, m.m[2][1] = y.z, m.m[2][2] = z.z;
    m.m[3][0] = -vecDot(x, eye), m.m[3][1] = -vecDot(y, eye), m.m[3][2] = -vecDot(z, eye);
    m.m[3][3] = 1.0f;
    return m;
}

Vector3 vecAdd(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector3 vecSub(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 vecScale(const Vector3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
float vecDot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vector3 vecCross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float vecLength(const Vector3& v) { return std::sqrt(vecDot(v, v)); }
Vector3 vecNormalize(const Vector3& v) {
    const float length = vecLength(v);
    return length > 0 ? vecScale(v, 1.0f / length) : v;
}

Vector3 transformCoord(const Vector3& v, const Matrix& m) {
    const float x = v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0];
    const float y = v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1];
    const float z = v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2];
    const float w = v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + m.m[3][3];
    return w != 0.0f ? Vector3{x / w, y / w, z / w} : Vector3{x, y, z};
}

Vector3 transformNormal(const Vector3& v, const Matrix& m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0], v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

Quaternion quatNormalize(const Quaternion& q) {
    const float n = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (n == 0.0f) {
        return Quaternion{};
    }
    return {q.x / n, q.y / n, q.z / n, q.w / n};
}

Quaternion quatRotationAxis(const Vector3& axis, float angle) {
    const Vector3 a = vecNormalize(axis);
    const float s = std::sin(angle / 2);
    return {a.x * s, a.y * s, a.z * s, std::cos(angle / 2)};
}

Quaternion quatSlerp(const Quaternion& a, const Quaternion& b, float t) {
    float cosTheta = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    Quaternion end = b;
    if (cosTheta < 0) {
        cosTheta = -cosTheta;
        end = {-b.x, -b.y, -b.z, -b.w};
    }
    float wa = 1 - t, wb = t;
    if (cosTheta < 0.9995f) {
        const float theta = std::acos(cosTheta);
        const float s = std::sin(theta);
        wa = std::sin((1 - t) * theta) / s;
        wb = std::sin(t * theta) / s;
    }
    Quaternion r{wa * a.x + wb * end.x, wa * a.y + wb * end.y, wa * a.z + wb * end.z, wa * a.w + wb * end.w};
    return cosTheta < 0.9995f ? r : quatNormalize(r);
}

}  // namespace Platform::Gpux
