// The renderer's particle drawing: every enabled particle a textured quad turned by its angles
// and laid along the camera's axes, so that an unturned quad faces the camera.
#include <cmath>

#include "graphics/OxDXTexture.h"
#include "graphics/OxParticles.h"
#include "graphics/OxRenderer.h"
#include "graphics/OxTextureData.h"
#include "graphics/include/IOrvexCamera.h"

namespace Orvex::Graphics {

using namespace Platform::Gpu;

namespace {

struct ParticleVertex {
    float x, y, z;
    float nx, ny, nz;
    uint32_t color;
    float u, v;
};
static_assert(sizeof(ParticleVertex) == 36);

// A fan of four triangles around the centre; every colour white.
constexpr ParticleVertex kUnitQuad[6] = {
    {0, 0, 0, 0, 0, 1, 0xFFFFFFFFu, 0.5f, 0.5f},           {-0.5f, 0.5f, 0, -0.7f, 0.7f, 0, 0xFFFFFFFFu, 0, 0},
    {-0.5f, -0.5f, 0, -0.7f, -0.7f, 0, 0xFFFFFFFFu, 0, 1}, {0.5f, -0.5f, 0, 0.7f, -0.7f, 0, 0xFFFFFFFFu, 1, 1},
    {0.5f, 0.5f, 0, 0.7f, 0.7f, 0, 0xFFFFFFFFu, 1, 0},     {-0.5f, 0.5f, 0, -0.7f, 0.7f, 0, 0xFFFFFFFFu, 0, 0},
};

using M3 = std::array<std::array<float, 3>, 3>;

M3 mul(const M3& a, const M3& b) {
    M3 r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
        }
    }
    return r;
}

M3 rotationX(float a) { return {{{1, 0, 0}, {0, std::cos(a), -std::sin(a)}, {0, std::sin(a), std::cos(a)}}}; }
M3 rotationY(float a) { return {{{std::cos(a), 0, std::sin(a)}, {0, 1, 0}, {-std::sin(a), 0, std::cos(a)}}}; }
M3 rotationZ(float a) { return {{{std::cos(a), -std::sin(a), 0}, {std::sin(a), std::cos(a), 0}, {0, 0, 1}}}; }

// Only image textures are drawn on particles; render targets and missing data give none.
GpuTexture* particleTexture(IOrvexTexture* texture) {
    OxTextureData* data = texture != nullptr ? textureDataOf(texture) : nullptr;
    if (data == nullptr || data->getType() != 0 || data->getDXTexture() == nullptr) {
        return nullptr;
    }
    return data->getDXTexture()->getTexture();
}

}  // namespace

int32_t OxRenderer::drawParticles(IOrvexParticles* particles) {
    if (particles == nullptr) {
        return kOxErrInvalidArgument;
    }
    OxMatrix view;
    getCamera()->getViewMatrix(&view);
    M3 viewTransposed{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            viewTransposed[i][j] = view.m[j][i];
        }
    }
    device_->setTexture(0, particleTexture(particles->getTexture()));
    device_->setVertexShader(nullptr);
    device_->setFvf(kFvfXyz | kFvfNormal | kFvfDiffuse | kFvfTex1);
    device_->setRenderState(RenderState::ZWriteEnable, 0);
    device_->setRenderState(RenderState::Lighting, (particles->getSettings() & 0xFFu) != 0 ? 1 : 0);
    Material material;
    material.ambient = {0.9f, 0.9f, 0.9f, 1};
    material.specular = {0.4f, 0.4f, 0.4f, 1};
    material.emissive = {0.1f, 0.1f, 0.1f, 1};
    material.power = 10;
    for (uint32_t index = 0; index < particles->getCount(); ++index) {
        const OxParticle& p = *particles->getParticle(index);
        if ((p.enabled & 0xFFu) == 0) {
            continue;
        }
        ParticleVertex v[6];
        const uint32_t alpha = uint32_t(int64_t(p.alpha * 255.0f)) & 0xFFu;
        const float* uv[6] = {nullptr, p.topLeft, p.bottomLeft, p.bottomRight, p.topRight, p.topLeft};
        for (int k = 0; k < 6; ++k) {
            v[k] = kUnitQuad[k];
            v[k].x *= p.scale[0];
            v[k].y *= p.scale[1];
            v[k].z *= p.scale[2];
            v[k].color = alpha << 24 | 0x00FFFFFFu;
            if (uv[k] != nullptr) {
                v[k].u = uv[k][0];
                v[k].v = uv[k][1];
            }
        }
        // The centre takes the midpoint of the bottom-left and top-right corners.
        v[0].u = p.bottomLeft[0] + (p.topRight[0] - p.bottomLeft[0]) * 0.5f;
        v[0].v = p.bottomLeft[1] + (p.topRight[1] - p.bottomLeft[1]) * 0.5f;
        material.diffuse = {p.color[0], p.color[1], p.color[2], 1};
        device_->setMaterial(&material);
        const M3 turn =
            mul(viewTransposed, mul(rotationZ(p.angle[2]), mul(rotationX(p.angle[0]), rotationY(p.angle[1]))));
        float world[12];
        for (int j = 0; j < 3; ++j) {
            for (int i = 0; i < 3; ++i) {
                world[3 * j + i] = turn[j][i];
            }
            world[9 + j] = p.position[j];
        }
        setWorldTransform(world);
        if (device_->drawPrimitiveUp(kPrimitiveTriangleFan, 4, v, sizeof(ParticleVertex)) < 0) {
            return kOxErrFailed;
        }
    }
    device_->setRenderState(RenderState::Lighting, 1);
    device_->setRenderState(RenderState::ZWriteEnable, 1);
    return kOxOk;
}

}  // namespace Orvex::Graphics
