#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <string>

#include <stb_image.h>

#include "platform/gpux/XFile.h"
#include "platform/kernel/Process.h"
#include "tools/modelgen/ModelWriter.h"

namespace Orvex::Tools::ModelGen {
namespace {

using namespace Platform::Gpux;

struct KeptContainer : XMeshContainer {
    XMeshData data;
};

class KeepingAllocator : public IXHierarchyAllocator {
public:
    int32_t createFrame(const std::string& name, XFrame** out) override {
        *out = new XFrame;
        (*out)->name = name;
        return 0;
    }
    int32_t createMeshContainer(const std::string& name, const XMeshData& mesh, XMeshContainer** out) override {
        auto* c = new KeptContainer;
        c->name = name;
        c->data = mesh;
        *out = c;
        return 0;
    }
    void destroyFrame(XFrame* frame) override { delete frame; }
    void destroyMeshContainer(XMeshContainer* container) override { delete container; }
};

class ModelGen : public ::testing::Test {
protected:
    void SetUp() override {
        // One folder per test and process: CTest runs the cases side by side, and one case's
        // TearDown must not remove the models another is reading.
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("modelgen-" + name + "-" + std::to_string(Platform::Kernel::processId()));
        writeModels(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    const XMeshData& load(const char* file, XLoadResult* result) {
        std::string error;
        EXPECT_TRUE(loadHierarchyFromFile((folder_ / file).string(), allocator_, result, &error)) << error;
        loaded_ = result->root;
        return static_cast<const KeptContainer*>(findContainer(result->root))->data;
    }
    ~ModelGen() override { destroyHierarchy(loaded_, allocator_); }

    static XMeshContainer* findContainer(XFrame* frame) {
        for (; frame; frame = frame->sibling) {
            if (frame->meshContainer) {
                return frame->meshContainer;
            }
            if (XMeshContainer* c = findContainer(frame->firstChild)) {
                return c;
            }
        }
        return nullptr;
    }

    std::filesystem::path folder_;
    KeepingAllocator allocator_;
    XFrame* loaded_ = nullptr;
};

TEST_F(ModelGen, CubeReadsBackClosedAndTextured) {
    XLoadResult result;
    const XMeshData& cube = load("cube.x", &result);
    ASSERT_EQ(cube.positions.size(), 24u);
    ASSERT_EQ(cube.triangles.size(), 12u);
    ASSERT_EQ(cube.normals.size(), 24u);
    ASSERT_EQ(cube.texCoords.size(), 24u);
    ASSERT_EQ(cube.materials.size(), 2u);
    EXPECT_EQ(cube.materials[0].textureFile, "cube.png");
    EXPECT_EQ(cube.materials[1].textureFile, "");
    // Every corner lies on the unit cube and on the face its normal names; every triangle is
    // counter-clockwise seen from outside (its geometric normal points along the stored one).
    for (size_t i = 0; i < cube.positions.size(); ++i) {
        const Vector3& p = cube.positions[i];
        EXPECT_EQ(vecDot(p, cube.normals[i]), 1.0f) << i;
        EXPECT_EQ(std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z), 3.0f) << i;
    }
    for (const auto& t : cube.triangles) {
        const Vector3 n = vecCross(vecSub(cube.positions[t[1]], cube.positions[t[0]]),
                                   vecSub(cube.positions[t[2]], cube.positions[t[0]]));
        EXPECT_GT(vecDot(n, cube.normals[t[0]]), 0.0f);
    }
    int w = 0, h = 0, comp = 0;
    EXPECT_TRUE(stbi_info((folder_ / "cube.png").c_str(), &w, &h, &comp));
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);
}

TEST_F(ModelGen, ArmReadsBackSkinnedAndAnimated) {
    XLoadResult result;
    const XMeshData& arm = load("arm.x", &result);
    ASSERT_EQ(arm.positions.size(), 12u);
    ASSERT_EQ(arm.skin.size(), 2u);
    XFrame* bone2 = findFrame(result.root, "Bone2");
    ASSERT_NE(bone2, nullptr);
    EXPECT_EQ(findFrame(result.root, "Bone1")->firstChild, bone2);
    EXPECT_EQ(bone2->transform.m[3][1], 2.0f);
    // Each vertex's weights add up to one; the offset brings Bone2's joint to the origin.
    std::map<uint32_t, float> total;
    for (const XSkinWeights& bone : arm.skin) {
        for (size_t i = 0; i < bone.vertices.size(); ++i) {
            total[bone.vertices[i]] += bone.weights[i];
        }
    }
    ASSERT_EQ(total.size(), 12u);
    for (const auto& [vertex, sum] : total) {
        EXPECT_FLOAT_EQ(sum, 1.0f) << vertex;
    }
    EXPECT_EQ(arm.skin[1].offset.m[3][1], -2.0f);
    ASSERT_EQ(result.animationSets.size(), 1u);
    const XAnimation& bend = result.animationSets[0].animations.at(0);
    EXPECT_EQ(bend.frameName, "Bone2");
    ASSERT_EQ(bend.rotations.size(), 3u);
    EXPECT_EQ(bend.rotations[2].time, 4800u);
    // 45 degrees about z at the middle key.
    const Vector3 turned = transformNormal({1, 0, 0}, matrixRotationQuaternion(bend.rotations[1].value));
    EXPECT_NEAR(turned.x, std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(turned.y, std::sqrt(0.5f), 1e-5f);
    EXPECT_EQ(result.ticksPerSecond, 4800u);
}

}  // namespace
}  // namespace Orvex::Tools::ModelGen
