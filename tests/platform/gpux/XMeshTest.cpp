// The mesh object, skinning and the animation controller.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/gpux/XAnimation.h"
#include "platform/gpux/XMesh.h"
#include "platform/gpux/XSkinInfo.h"

namespace Platform::Gpux {
namespace {

using namespace Platform::Gpu;

struct MeshFixture : ::testing::Test {
    GpuSystem* system = nullptr;
    GpuDevice* device = nullptr;
    void SetUp() override {
        system = createGpuSystem(kSdkVersion);
        PresentParameters pp;
        pp.backBufferWidth = 16;
        pp.backBufferHeight = 16;
        pp.enableAutoDepthStencil = true;
        ASSERT_EQ(kOk, system->createDevice(0, kDeviceHal, 0, 0, &pp, &device));
    }
    void TearDown() override {
        safeRelease(device);
        safeRelease(system);
    }
};

// Two quads side by side in the z = 0 plane, their faces alternating between materials 1 and 0.
XMeshData twoQuads() {
    XMeshData d;
    d.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}};
    d.triangles = {{0, 1, 2}, {4, 5, 2}, {0, 2, 3}, {1, 4, 2}};
    d.triangleMaterials = {1, 0, 1, 0};
    d.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}, {2, 1}};
    return d;
}

Vector3 readVector(const void* vertices, uint32_t stride, uint32_t index, uint32_t offset) {
    Vector3 v;
    std::memcpy(&v, static_cast<const unsigned char*>(vertices) + size_t(index) * stride + offset, 12);
    return v;
}

TEST_F(MeshFixture, MeshFromFileDataGroupsFacesByMaterialAndClonesIntoOtherFormats) {
    XMesh* mesh = nullptr;
    ASSERT_EQ(kOk, createMeshFromData(device, kMeshManaged, twoQuads(), &mesh));
    EXPECT_EQ(uint32_t(kFvfXyz | kFvfTex1), mesh->getFvf());
    EXPECT_EQ(6u, mesh->getNumVertices());
    EXPECT_EQ(4u, mesh->getNumFaces());
    uint32_t count = 0;
    ASSERT_EQ(kOk, mesh->getAttributeTable(nullptr, &count));
    ASSERT_EQ(2u, count);
    AttributeRange table[2];
    mesh->getAttributeTable(table, &count);
    // Material 0: the faces of the right quad (vertices 1, 2, 4, 5); material 1 the left one.
    EXPECT_EQ(0u, table[0].attributeId);
    EXPECT_EQ(0u, table[0].faceStart);
    EXPECT_EQ(2u, table[0].faceCount);
    EXPECT_EQ(1u, table[0].vertexStart);
    EXPECT_EQ(5u, table[0].vertexCount);
    EXPECT_EQ(1u, table[1].attributeId);
    EXPECT_EQ(2u, table[1].faceStart);
    EXPECT_EQ(0u, table[1].vertexStart);
    EXPECT_EQ(4u, table[1].vertexCount);

    XMesh* clone = nullptr;
    const uint32_t full = kFvfXyz | kFvfNormal | kFvfDiffuse | kFvfTex1;
    ASSERT_EQ(kOk, mesh->cloneMeshFvf(kMeshManaged, full, nullptr, &clone));
    EXPECT_EQ(36u, clone->getNumBytesPerVertex());
    void* v = nullptr;
    ASSERT_EQ(kOk, clone->lockVertexBuffer(0, &v));
    EXPECT_EQ(kErrInvalidCall, clone->lockVertexBuffer(0, &v));
    EXPECT_EQ((Vector3{2, 1, 0}), readVector(v, 36, 5, 0));
    float uv[2];
    std::memcpy(uv, static_cast<unsigned char*>(v) + 5 * 36 + 28, sizeof uv);
    EXPECT_EQ(2.0f, uv[0]);
    EXPECT_EQ(1.0f, uv[1]);
    clone->unlockVertexBuffer();
    // Normals follow the winding: these faces turn counter-clockwise seen from +z.
    ASSERT_EQ(kOk, computeNormals(clone));
    clone->lockVertexBuffer(0, &v);
    for (uint32_t i = 0; i < 6; ++i) {
        EXPECT_EQ((Vector3{0, 0, 1}), readVector(v, 36, i, 12)) << i;
    }
    clone->unlockVertexBuffer();
    EXPECT_EQ(kErrInvalidCall, computeNormals(mesh));  // no normals in its format
    clone->release();
    mesh->release();
}

TEST_F(MeshFixture, DrawSubsetDrawsOnlyTheFacesOfThatMaterial) {
    XMesh* mesh = nullptr;
    XMeshData d = twoQuads();
    d.texCoords.clear();
    for (Vector3& p : d.positions) {  // the quads span the whole target in device coordinates
        p = {p.x - 1, p.y * 2 - 1, 0.5f};
    }
    ASSERT_EQ(kOk, createMeshFromData(device, kMeshManaged, d, &mesh));
    device->setRenderState(RenderState::Lighting, 0);
    device->setRenderState(RenderState::CullMode, kCullNone);
    device->clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
    ASSERT_EQ(kOk, mesh->drawSubset(0));
    GpuSurface* target = nullptr;
    device->getRenderTarget(0, &target);
    EXPECT_EQ(0xFF000000u, target->image()->read(4, 8));  // left quad: material 1
    EXPECT_EQ(0xFFFFFFFFu, target->image()->read(12, 8));
    ASSERT_EQ(kOk, mesh->drawSubset(7));  // no faces: nothing
    target->release();
    mesh->release();
}

TEST(XSkinInfo, BlendsPositionsByWeightAndLeavesUnweightedVerticesAlone) {
    XSkinWeights lower{"Lower", {0, 1}, {1.0f, 0.5f}, Matrix::identity()};
    XSkinWeights upper{"Upper", {1}, {0.5f}, matrixTranslation(0, -2, 0)};
    XSkinInfo* skin = nullptr;
    ASSERT_EQ(kOk, XSkinInfo::create(3, kFvfXyz | kFvfNormal, {lower, upper}, &skin));
    EXPECT_EQ(2u, skin->getNumBones());
    EXPECT_STREQ("Upper", skin->getBoneName(1));
    EXPECT_EQ(nullptr, skin->getBoneName(2));
    EXPECT_EQ(-2.0f, skin->getBoneOffsetMatrix(1)->m[3][1]);
    const float source[3][6] = {{0, 0, 0, 1, 0, 0}, {0, 2, 0, 1, 0, 0}, {5, 5, 5, 0, 1, 0}};
    float out[3][6] = {};
    // Bone 0 stays; bone 1 (offset then turned 90 degrees about z, then lifted by 2).
    const Matrix bones[2] = {Matrix::identity(), matrixMultiply(matrixMultiply(*skin->getBoneOffsetMatrix(1),
                                                                               matrixRotationZ(float(M_PI / 2))),
                                                                matrixTranslation(0, 2, 0))};
    ASSERT_EQ(kOk, skin->updateSkinnedMesh(bones, nullptr, source, out));
    EXPECT_FLOAT_EQ(0.0f, out[0][1]);
    // Vertex 1 sits on the joint: both bones leave it at (0, 2, 0); its normal is half turned.
    EXPECT_NEAR(0.0f, out[1][0], 1e-6);
    EXPECT_NEAR(2.0f, out[1][1], 1e-6);
    EXPECT_NEAR(std::sqrt(0.5f), out[1][3], 1e-6);
    EXPECT_NEAR(std::sqrt(0.5f), out[1][4], 1e-6);
    EXPECT_EQ(5.0f, out[2][0]);
    EXPECT_EQ(1.0f, out[2][4]);
    XSkinWeights stray{"Stray", {3}, {1.0f}, Matrix::identity()};
    XSkinInfo* bad = nullptr;
    EXPECT_EQ(kErrInvalidCall, XSkinInfo::create(3, kFvfXyz, {stray}, &bad));
    skin->release();
}

// Frames that keep the transforms the controller writes.
class PlainAllocator : public IXHierarchyAllocator {
public:
    int32_t createFrame(const std::string& name, XFrame** out) override {
        *out = new XFrame;
        (*out)->name = name;
        return 0;
    }
    int32_t createMeshContainer(const std::string& name, const XMeshData&, XMeshContainer** out) override {
        *out = new XMeshContainer;
        (*out)->name = name;
        return 0;
    }
    void destroyFrame(XFrame* frame) override { delete frame; }
    void destroyMeshContainer(XMeshContainer* container) override { delete container; }
};

struct AnimationFixture : ::testing::Test {
    std::filesystem::path file;
    PlainAllocator allocator;
    XFrame* root = nullptr;
    XAnimationController* controller = nullptr;
    void SetUp() override {
        file = std::filesystem::temp_directory_path() /
               ("orvex_xanim_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".x");
        // "Slide" moves Joint along x from 0 to 10 over one second; "Turn" turns it 90 degrees
        // about z over two seconds (rotation keys stored w, x, y, z).
        const double h = std::sqrt(0.5);
        std::ofstream(file) << "xof 0303txt 0032\nAnimTicksPerSecond { 100; }\n"
                            << "Frame Root { Frame Joint { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, "
                               "0,0,0,1;; } } }\n"
                            << "AnimationSet Slide { Animation { { Joint } AnimationKey { 2; 2; 0;3;0,0,0;;, "
                               "100;3;10,0,0;;; } } }\n"
                            << "AnimationSet Turn { Animation { { Joint } AnimationKey { 0; 2; 0;4;1,0,0,0;;, "
                               "200;4;"
                            << h << ",0,0," << h << ";;; } } }\n";
        std::string error;
        ASSERT_TRUE(loadMeshHierarchy(file.string(), allocator, &root, &controller, &error)) << error;
        ASSERT_NE(nullptr, controller);
    }
    void TearDown() override {
        safeRelease(controller);
        destroyHierarchy(root, allocator);
        std::filesystem::remove(file);
    }
    const Matrix& joint() { return findFrame(root, "Joint")->transform; }
};

TEST_F(AnimationFixture, TrackZeroPlaysTheFirstSetInterpolatingAndLoopingOverItsPeriod) {
    EXPECT_EQ(2u, controller->getMaxNumAnimationSets());
    EXPECT_EQ(1u, controller->getMaxNumAnimationOutputs());
    XAnimationSetObject* set = nullptr;
    ASSERT_EQ(kOk, controller->getAnimationSet(1, &set));
    EXPECT_STREQ("Turn", set->getName());
    EXPECT_DOUBLE_EQ(2.0, set->getPeriod());
    set->release();
    struct Step {
        double advance;
        float x;
    } steps[] = {{0.25, 2.5f}, {0.5, 7.5f}, {0.5, 2.5f}};  // 1.25 s wraps to 0.25 s
    double time = 0;
    for (const Step& s : steps) {
        ASSERT_EQ(kOk, controller->advanceTime(s.advance));
        time += s.advance;
        EXPECT_NEAR(s.x, joint().m[3][0], 1e-4) << "at " << time;
    }
    EXPECT_DOUBLE_EQ(1.25, controller->getTime());
    TrackDesc desc;
    ASSERT_EQ(kOk, controller->getTrackDesc(0, &desc));
    EXPECT_DOUBLE_EQ(1.25, desc.position);
    EXPECT_EQ(kErrInvalidCall, controller->getTrackDesc(2, &desc));
}

TEST_F(AnimationFixture, TracksBlendByWeightAndSpeedAndClonesKeepThem) {
    XAnimationController* clone = nullptr;
    ASSERT_EQ(kOk, controller->cloneAnimationController(1, 2, 3, 0, &clone));
    EXPECT_EQ(3u, clone->getMaxNumTracks());
    EXPECT_EQ(kErrInvalidCall, controller->cloneAnimationController(0, 2, 3, 0, &clone));
    XAnimationSetObject* turn = nullptr;
    clone->getAnimationSet(1, &turn);
    ASSERT_EQ(kOk, clone->setTrackAnimationSet(1, turn));
    turn->release();
    TrackDesc desc;
    desc.enable = true;
    desc.speed = 2;
    ASSERT_EQ(kOk, clone->setTrackDesc(1, &desc));
    // Track 1 alone at 0.5 s (1 s of its set): 45 degrees.
    clone->setTrackEnable(0, false);
    ASSERT_EQ(kOk, clone->advanceTime(0.5));
    EXPECT_NEAR(std::sqrt(0.5f), joint().m[0][0], 1e-4);
    // Both tracks, weights 1 and 3: a quarter of the slide's x, three quarters of the turn.
    clone->setTrackEnable(0, true);
    clone->setTrackPosition(0, 0.5);
    clone->setTrackPosition(1, 2.0);  // the turn's period: back at its first key
    clone->setTrackWeight(1, 3);
    ASSERT_EQ(kOk, clone->advanceTime(0));
    EXPECT_NEAR(5.0f / 4, joint().m[3][0], 1e-4);
    EXPECT_NEAR(1.0f, joint().m[0][0], 1e-4);
    // Weight 0 on both: the frame keeps what it has.
    clone->setTrackWeight(0, 0);
    clone->setTrackWeight(1, 0);
    clone->setTrackPosition(0, 0.9);
    clone->advanceTime(0);
    EXPECT_NEAR(5.0f / 4, joint().m[3][0], 1e-4);
    clone->release();
}

}  // namespace
}  // namespace Platform::Gpux
