// The 3-D half at the game's 800 x 600: a lit, textured, depth-tested mesh of 10,000 triangles
// filling much of the target; a mesh of 2,000 vertices skinned to 30 bones and drawn; 1,000
// camera-facing particles through the renderer. Run pinned to one core, e.g.
//   taskset -c 3 bench_graphics_3d --benchmark_repetitions=5 --benchmark_report_aggregates_only
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "graphics/OxGraphics.h"
#include "graphics/OxRenderer.h"
#include "graphics/include/IOrvexCamera.h"
#include "graphics/include/IOrvexParticles.h"
#include "platform/gpux/XMath.h"
#include "platform/gpux/XMesh.h"
#include "platform/gpux/XSkinInfo.h"

namespace {

using namespace Platform::Gpu;
using namespace Platform::Gpux;

// An 800 x 600 device with a camera 10 units in front of the origin, one directional light and a
// grey material.
struct Scene {
    GpuSystem* system = createGpuSystem(kSdkVersion);
    GpuDevice* device = nullptr;
    GpuTexture* texture = nullptr;
    Scene() {
        PresentParameters pp;
        pp.backBufferWidth = 800;
        pp.backBufferHeight = 600;
        pp.enableAutoDepthStencil = true;
        pp.autoDepthStencilFormat = kFormatD16;
        system->createDevice(0, kDeviceHal, 0, 0, &pp, &device);
        const Matrix projection = matrixPerspectiveFovRH(float(M_PI / 4), 4.0f / 3.0f, 1.0f, 100.0f);
        const Matrix view = matrixLookAtRH({0, 0, 10}, {0, 0, 0}, {0, 1, 0});
        device->setTransform(kTransformProjection, &projection);
        device->setTransform(kTransformView, &view);
        device->setRenderState(RenderState::ZEnable, 1);
        device->setRenderState(RenderState::CullMode, kCullNone);
        device->setRenderState(RenderState::SpecularEnable, 1);
        device->setTextureStageState(0, StageState::ColorArg2, kArgDiffuse);
        device->setSamplerState(0, SamplerState::MagFilter, kFilterLinear);
        device->setSamplerState(0, SamplerState::MinFilter, kFilterLinear);
        Light light;
        light.diffuse = {1, 1, 1, 1};
        light.specular = {1, 1, 1, 1};
        light.ambient = {0.5f, 0.5f, 0.5f, 1};
        light.direction = {0, 0, -1};
        device->setLight(0, &light);
        device->lightEnable(0, true);
        Material material;
        material.diffuse = material.ambient = {0.8f, 0.8f, 0.8f, 1};
        material.specular = {0.3f, 0.3f, 0.3f, 1};
        material.power = 10;
        device->setMaterial(&material);
        device->createTexture(64, 64, 1, 0, kFormatX8R8G8B8, kPoolManaged, &texture);
        LockedRect lr;
        texture->lockRect(0, &lr, nullptr, 0);
        for (uint32_t y = 0; y < 64; ++y) {
            for (uint32_t x = 0; x < 64; ++x) {
                static_cast<uint32_t*>(lr.bits)[y * 64 + x] = ((x / 8 + y / 8) % 2) != 0 ? 0xFFC04040u : 0xFFE0E0C0u;
            }
        }
        texture->unlockRect(0);
        device->setTexture(0, texture);
    }
    ~Scene() {
        safeRelease(texture);
        safeRelease(device);
        safeRelease(system);
    }
    void clear() { device->clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0); }
};

// A gently curved grid of `columns` x `rows` quads spanning x -5..5, y -3.75..3.75 (most of the
// target), with normals and texture coordinates; two triangles a quad.
XMeshData grid(uint32_t columns, uint32_t rows) {
    XMeshData d;
    for (uint32_t r = 0; r <= rows; ++r) {
        for (uint32_t c = 0; c <= columns; ++c) {
            const float x = -5 + 10.0f * c / columns, y = -3.75f + 7.5f * r / rows;
            d.positions.push_back({x, y, -0.05f * (x * x + y * y)});
            d.normals.push_back(vecNormalize({0.1f * x, 0.1f * y, 1}));
            d.texCoords.push_back({4.0f * c / columns, 3.0f * r / rows});
        }
    }
    for (uint32_t r = 0; r < rows; ++r) {
        for (uint32_t c = 0; c < columns; ++c) {
            const uint32_t a = r * (columns + 1) + c, b = a + 1, e = a + columns + 1, f = e + 1;
            d.triangles.push_back({a, b, f});
            d.triangles.push_back({a, f, e});
        }
    }
    return d;
}

void BM_LitTexturedMesh10k(benchmark::State& state) {
    Scene scene;
    XMesh* mesh = nullptr;
    createMeshFromData(scene.device, kMeshManaged, grid(100, 50), &mesh);
    for (auto _ : state) {
        scene.clear();
        mesh->drawSubset(0);
    }
    state.counters["triangles"] = mesh->getNumFaces();
    mesh->release();
}
BENCHMARK(BM_LitTexturedMesh10k)->Unit(benchmark::kMillisecond);

// 2,000 vertices in 40 rings of 50 along a column; each vertex weighted between the two nearest
// of 30 bones, which bend a little each frame.
void BM_SkinnedMesh2000x30(benchmark::State& state) {
    Scene scene;
    XMeshData d;
    constexpr uint32_t kRings = 40, kAround = 50, kBones = 30;
    for (uint32_t r = 0; r < kRings; ++r) {
        for (uint32_t a = 0; a < kAround; ++a) {
            const double t = 2 * M_PI * a / kAround;
            d.positions.push_back(
                {float(0.5 * std::cos(t)), -3.5f + 7.0f * r / (kRings - 1), float(0.5 * std::sin(t))});
            d.normals.push_back({float(std::cos(t)), 0, float(std::sin(t))});
        }
    }
    for (uint32_t r = 0; r + 1 < kRings; ++r) {
        for (uint32_t a = 0; a < kAround; ++a) {
            const uint32_t p = r * kAround + a, q = r * kAround + (a + 1) % kAround;
            d.triangles.push_back({p, q, q + kAround});
            d.triangles.push_back({p, q + kAround, p + kAround});
        }
    }
    std::vector<XSkinWeights> bones(kBones);
    for (uint32_t b = 0; b < kBones; ++b) {
        bones[b].boneName = "Bone" + std::to_string(b);
    }
    for (uint32_t v = 0; v < d.positions.size(); ++v) {
        const float at = float(v / kAround) * (kBones - 1) / (kRings - 1);
        const uint32_t low = uint32_t(at);
        const float share = at - float(low);
        bones[low].vertices.push_back(v);
        bones[low].weights.push_back(1 - share);
        if (low + 1 < kBones) {
            bones[low + 1].vertices.push_back(v);
            bones[low + 1].weights.push_back(share);
        }
    }
    XMesh* source = nullptr;
    createMeshFromData(scene.device, kMeshManaged, d, &source);
    XMesh* drawn = nullptr;
    source->cloneMeshFvf(kMeshManaged, source->getFvf(), nullptr, &drawn);
    XSkinInfo* skin = nullptr;
    XSkinInfo::create(source->getNumVertices(), source->getFvf(), bones, &skin);
    std::vector<Matrix> matrices(kBones);
    float phase = 0;
    for (auto _ : state) {
        phase += 0.01f;
        for (uint32_t b = 0; b < kBones; ++b) {
            matrices[b] = matrixRotationZ(0.02f * std::sin(phase) * b);
        }
        void* from = nullptr;
        void* to = nullptr;
        source->lockVertexBuffer(kLockReadOnly, &from);
        drawn->lockVertexBuffer(0, &to);
        skin->updateSkinnedMesh(matrices.data(), nullptr, from, to);
        drawn->unlockVertexBuffer();
        source->unlockVertexBuffer();
        scene.clear();
        drawn->drawSubset(0);
    }
    state.counters["vertices"] = source->getNumVertices();
    skin->release();
    drawn->release();
    source->release();
}
BENCHMARK(BM_SkinnedMesh2000x30)->Unit(benchmark::kMillisecond);

// 1,000 particles of about 16 pixels through the renderer's drawParticles.
void BM_Particles1000(benchmark::State& state) {
    using namespace Orvex::Graphics;
    auto root = std::make_unique<Orvex::OxOrvexManager>();
    IOrvexGraphics* graphics = new OxGraphics();
    OxGraphicsParameters p;
    p.width = 800;
    p.height = 600;
    graphics->initialize(0, &p);
    IOrvexRenderer* renderer = nullptr;
    graphics->createRenderer(&renderer);
    IOrvexCamera* camera = nullptr;
    graphics->createCamera(&camera);
    const float eye[3] = {0, 0, 60}, target[3] = {0, 0, 0};
    camera->setPosition(eye);
    camera->setTarget(target);
    renderer->setCamera(camera);
    IOrvexParticles* particles = nullptr;
    graphics->createParticles(&particles);
    particles->setCount(1000);
    for (uint32_t i = 0; i < 1000; ++i) {
        OxParticle& q = *particles->getParticle(i);
        q.enabled = 1;
        q.position[0] = float(i % 40) - 20;
        q.position[1] = float(i / 40) - 12.5f;
        q.angle[2] = 0.01f * float(i);
    }
    for (auto _ : state) {
        renderer->clear(5, 0xFF000000u, 1.0f, 0);
        renderer->drawParticles(particles);
    }
    particles->release();
    renderer->setCamera(nullptr);
    camera->release();
    renderer->shutdown();
    renderer->release();
    graphics->terminate();
    graphics->release();
    root.reset();
    Orvex::Thread::OxThreadManager::release();
}
BENCHMARK(BM_Particles1000)->Unit(benchmark::kMillisecond);

}  // namespace
