#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/gpux/XMath.h"

namespace Platform::Gpux {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void expectNear(const Vector3& got, const Vector3& want) {
    EXPECT_NEAR(got.x, want.x, 1e-4f);
    EXPECT_NEAR(got.y, want.y, 1e-4f);
    EXPECT_NEAR(got.z, want.z, 1e-4f);
}

TEST(XMath, TransformsFollowTheRowVectorConvention) {
    struct Case {
        const char* what;
        Matrix m;
        Vector3 in, coord, normal;
    };
    const Case cases[] = {
        {"translation moves points, not directions", matrixTranslation(1, 2, 3), {1, 1, 1}, {2, 3, 4}, {1, 1, 1}},
        {"scaling", matrixScaling(2, 3, 4), {1, 1, 1}, {2, 3, 4}, {2, 3, 4}},
        {"x by +90 turns y to z", matrixRotationX(kPi / 2), {0, 1, 0}, {0, 0, 1}, {0, 0, 1}},
        {"x by -90 gives (x, z, -y)", matrixRotationX(-kPi / 2), {1, 2, 3}, {1, 3, -2}, {1, 3, -2}},
        {"y by +90 turns z to x", matrixRotationY(kPi / 2), {0, 0, 1}, {1, 0, 0}, {1, 0, 0}},
        {"z by +90 turns x to y", matrixRotationZ(kPi / 2), {1, 0, 0}, {0, 1, 0}, {0, 1, 0}},
        {"scale, then translate",
         matrixMultiply(matrixScaling(2, 2, 2), matrixTranslation(1, 0, 0)),
         {1, 1, 1},
         {3, 2, 2},
         {2, 2, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectNear(transformCoord(c.in, c.m), c.coord);
        expectNear(transformNormal(c.in, c.m), c.normal);
    }
}

TEST(XMath, InverseUndoesAndSingularIsRefused) {
    const Matrix m =
        matrixMultiply(matrixMultiply(matrixScaling(2, 3, 0.5f), matrixRotationY(0.7f)), matrixTranslation(4, -5, 6));
    Matrix inv;
    float det = 0;
    ASSERT_TRUE(matrixInverse(m, &inv, &det));
    EXPECT_NEAR(det, 3.0f, 1e-4f);
    const Matrix product = matrixMultiply(m, inv);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(product.m[r][c], r == c ? 1.0f : 0.0f, 1e-5f);
        }
    }
    EXPECT_FALSE(matrixInverse(matrixScaling(1, 0, 1), &inv, &det));
    EXPECT_EQ(det, 0.0f);
    EXPECT_EQ(matrixTranspose(matrixTranslation(1, 2, 3)).m[0][3], 1.0f);
}

TEST(XMath, CameraMatricesAreRightHanded) {
    // The eye on +z looking at the origin: the origin lies 1000 in front, on the view's -z axis.
    const Matrix view = matrixLookAtRH({0, 0, 1000}, {0, 0, 0}, {0, 1, 0});
    expectNear(transformCoord({0, 0, 0}, view), {0, 0, -1000});
    expectNear(transformCoord({10, 20, 0}, view), {10, 20, -1000});
    // Depth 0 at the near plane, 1 at the far plane; the top of the field of view at y 1.
    const Matrix proj = matrixPerspectiveFovRH(kPi / 2, 2.0f, 1.0f, 100.0f);
    expectNear(transformCoord({0, 0, -1}, proj), {0, 0, 0});
    expectNear(transformCoord({0, 0, -100}, proj), {0, 0, 1});
    expectNear(transformCoord({0, 10, -10}, proj), {0, 1, transformCoord({0, 0, -10}, proj).z});
    expectNear(transformCoord({20, 0, -10}, proj), {1, 0, transformCoord({0, 0, -10}, proj).z});
}

TEST(XMath, QuaternionsRotateAndInterpolate) {
    const Quaternion q = quatRotationAxis({0, 0, 1}, kPi / 2);
    expectNear(transformCoord({1, 0, 0}, matrixRotationQuaternion(q)), {0, 1, 0});
    const Matrix fromQuat = matrixRotationQuaternion(quatRotationAxis({1, 0, 0}, 0.6f));
    const Matrix direct = matrixRotationX(0.6f);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(fromQuat.m[r][c], direct.m[r][c], 1e-5f);
        }
    }
    // Halfway between 0 and 90 degrees is 45; the sign-flipped end takes the short arc too.
    const Quaternion a = quatRotationAxis({0, 1, 0}, 0), b = quatRotationAxis({0, 1, 0}, kPi / 2);
    const Quaternion half = quatSlerp(a, b, 0.5f);
    const Quaternion want = quatRotationAxis({0, 1, 0}, kPi / 4);
    EXPECT_NEAR(half.y, want.y, 1e-5f);
    EXPECT_NEAR(half.w, want.w, 1e-5f);
    const Quaternion flipped = quatSlerp(a, {-b.x, -b.y, -b.z, -b.w}, 0.5f);
    EXPECT_NEAR(std::fabs(flipped.y), want.y, 1e-5f);
    EXPECT_NEAR(std::fabs(flipped.w), want.w, 1e-5f);
    EXPECT_EQ(quatSlerp(a, b, 0.0f), a);
}

}  // namespace
}  // namespace Platform::Gpux
