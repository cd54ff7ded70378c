#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gpux/XFile.h"

namespace Platform::Gpux {
namespace {

struct RecordedContainer : XMeshContainer {
    XMeshData data;
};

// Keeps what the reader hands it and counts what is still alive.
class RecordingAllocator : public IXHierarchyAllocator {
public:
    int32_t createFrame(const std::string& name, XFrame** out) override {
        if (refuseFrames) {
            return -1;
        }
        *out = new XFrame;
        (*out)->name = name;
        ++alive;
        return 0;
    }
    int32_t createMeshContainer(const std::string& name, const XMeshData& mesh, XMeshContainer** out) override {
        auto* c = new RecordedContainer;
        c->name = name;
        c->data = mesh;
        *out = c;
        ++alive;
        return 0;
    }
    void destroyFrame(XFrame* frame) override {
        delete frame;
        --alive;
    }
    void destroyMeshContainer(XMeshContainer* container) override {
        delete container;
        --alive;
    }
    int alive = 0;
    bool refuseFrames = false;
};

const XMeshData& meshOf(const XFrame* frame) {
    return static_cast<const RecordedContainer*>(frame->meshContainer)->data;
}

constexpr const char* kHeader = "xof 0303txt 0032\n";

TEST(XFile, ReadsFramesMeshesAndMaterials) {
    const std::string text = std::string(kHeader) + R"(
template Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> DWORD nVertices; [...] }
// a quad and a triangle under a moved frame
Material Red { 1.0; 0.0; 0.0; 1.0;; 5.0; 0.5; 0.5; 0.5;; 0.0; 0.0; 0.0;; }
Frame Body {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 7,8,9,1;; }
  Mesh Quad {
    5; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;, 2;2;2;;
    2; 4;0,1,2,3;, 3;2,3,4;;
    MeshNormals { 2; 0;0;1;, 0;1;0;; 2; 4;0,0,0,0;, 3;1,1,1;; }
    MeshTextureCoords { 5; 0;0;, 1;0;, 1;1;, 0;1;, 0.5;0.5;; }
    MeshVertexColors { 1; 4; 1.0; 0.0; 0.0; 0.5;;; }
    MeshMaterialList { 2; 2; 1, 0;;
      { Red }
      Material { 0.0; 0.0; 1.0; 1.0;; 1.0; 0;0;0;; 0;0;0;; TextureFilename { "tex.png"; } }
    }
  }
  Frame Child { Frame Grandchild { } }
}
)";
    RecordingAllocator alloc;
    XLoadResult result;
    std::string error;
    ASSERT_TRUE(loadHierarchyFromText(text, alloc, &result, &error)) << error;
    XFrame* root = result.root;
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->name, "Body");
    EXPECT_EQ(root->transform.m[3][0], 7.0f);
    EXPECT_EQ(root->transform.m[3][2], 9.0f);
    EXPECT_EQ(findFrame(root, "Grandchild"), root->firstChild->firstChild);
    EXPECT_EQ(findFrame(root, "Nobody"), nullptr);

    const XMeshData& mesh = meshOf(root);
    EXPECT_EQ(root->meshContainer->name, "Quad");
    ASSERT_EQ(mesh.positions.size(), 5u);
    // The quad becomes a fan of two triangles; its material index covers both.
    const std::vector<std::array<uint32_t, 3>> triangles{{0, 1, 2}, {0, 2, 3}, {2, 3, 4}};
    EXPECT_EQ(mesh.triangles, triangles);
    EXPECT_EQ(mesh.triangleMaterials, (std::vector<uint32_t>{1, 1, 0}));
    EXPECT_EQ(mesh.normals[0], (Vector3{0, 0, 1}));
    EXPECT_EQ(mesh.normals[4], (Vector3{0, 1, 0}));
    EXPECT_EQ(mesh.texCoords[4], (std::array<float, 2>{0.5f, 0.5f}));
    EXPECT_EQ(mesh.colors[4], 0x80FF0000u);
    EXPECT_EQ(mesh.colors[0], 0xFFFFFFFFu);
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[0].material.diffuse, (Platform::Gpu::ColorValue{0, 0, 1, 1}));
    EXPECT_EQ(mesh.materials[0].textureFile, "tex.png");
    EXPECT_EQ(mesh.materials[1].material.diffuse, (Platform::Gpu::ColorValue{1, 0, 0, 1}));
    EXPECT_EQ(mesh.materials[1].material.power, 5.0f);
    EXPECT_EQ(mesh.materials[1].textureFile, "");
    EXPECT_TRUE(result.animationSets.empty());

    destroyHierarchy(result.root, alloc);
    EXPECT_EQ(alloc.alive, 0);
}

TEST(XFile, ReadsSkinWeightsAndAnimationKeys) {
    const std::string text = std::string(kHeader) + R"(
AnimTicksPerSecond { 30; }
Frame Root {
  Frame Bone1 { Frame Bone2 { } }
  Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;
    XSkinMeshHeader { 2; 2; 2; }
    SkinWeights { "Bone1"; 2; 0, 1; 1.0, 0.25; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,-2,0,1;; }
    SkinWeights { "Bone2"; 1; 1; 0.75; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
  }
}
AnimationSet Wave {
  Animation { { Bone2 }
    AnimationKey { 0; 2; 0; 4; 1.0, 0.0, 0.0, 0.0;;, 160; 4; 0.7071, 0.0, 0.0, 0.7071;;; }
    AnimationKey { 2; 1; 0; 3; 0.0, 2.0, 0.0;;; }
    AnimationKey { 1; 1; 80; 3; 1.0, 1.0, 1.0;;; }
  }
}
)";
    RecordingAllocator alloc;
    XLoadResult result;
    std::string error;
    ASSERT_TRUE(loadHierarchyFromText(text, alloc, &result, &error)) << error;
    EXPECT_EQ(result.ticksPerSecond, 30u);
    const XMeshData& mesh = meshOf(result.root);
    EXPECT_EQ(mesh.maxSkinWeightsPerVertex, 2u);
    ASSERT_EQ(mesh.skin.size(), 2u);
    EXPECT_EQ(mesh.skin[0].boneName, "Bone1");
    EXPECT_EQ(mesh.skin[0].vertices, (std::vector<uint32_t>{0, 1}));
    EXPECT_EQ(mesh.skin[0].weights, (std::vector<float>{1.0f, 0.25f}));
    EXPECT_EQ(mesh.skin[0].offset.m[3][1], -2.0f);
    EXPECT_EQ(mesh.skin[1].weights, (std::vector<float>{0.75f}));
    EXPECT_TRUE(mesh.materials.empty());

    ASSERT_EQ(result.animationSets.size(), 1u);
    ASSERT_EQ(result.animationSets[0].animations.size(), 1u);
    const XAnimation& a = result.animationSets[0].animations[0];
    EXPECT_EQ(result.animationSets[0].name, "Wave");
    EXPECT_EQ(a.frameName, "Bone2");
    ASSERT_EQ(a.rotations.size(), 2u);
    EXPECT_EQ(a.rotations[1].time, 160u);
    // Stored w first in the file.
    EXPECT_EQ(a.rotations[1].value, (Quaternion{0, 0, 0.7071f, 0.7071f}));
    EXPECT_EQ(a.rotations[0].value, (Quaternion{0, 0, 0, 1}));
    EXPECT_EQ(a.positions.at(0).value, (Vector3{0, 2, 0}));
    EXPECT_EQ(a.scales.at(0).time, 80u);
    destroyHierarchy(result.root, alloc);
    EXPECT_EQ(alloc.alive, 0);
}

TEST(XFile, SeveralTopLevelObjectsShareAnUnnamedRoot) {
    const std::string text =
        std::string(kHeader) + "Frame A { } Frame B { } Mesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }";
    RecordingAllocator alloc;
    XLoadResult result;
    std::string error;
    ASSERT_TRUE(loadHierarchyFromText(text, alloc, &result, &error)) << error;
    EXPECT_EQ(result.root->name, "");
    EXPECT_EQ(result.root->meshContainer->name, "M");
    EXPECT_EQ(result.root->firstChild->name, "A");
    EXPECT_EQ(result.root->firstChild->sibling->name, "B");
    destroyHierarchy(result.root, alloc);
    EXPECT_EQ(alloc.alive, 0);
}

TEST(XFile, RefusesDamagedFilesWithoutLeaking) {
    const std::string tri = "3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;";
    const std::string deep = std::string(100, '{');
    struct Case {
        std::string text;
        const char* error;
    };
    const std::vector<Case> cases{
        {"xof 0303bin 0032xxxx", "binary and compressed"},
        {"xof 0303tzip0032xxxx", "binary and compressed"},
        {"xof 0303bzip0032xxxx", "binary and compressed"},
        {"hello world, not a model", "no \"xof \" header"},
        {"xof 0303txt", "no \"xof \" header"},
        {std::string(kHeader), "no frame and no mesh"},
        {std::string(kHeader) + "Frame A { Mesh { 4000000000; 0;0;0;; } }", "exceeds the data"},
        {std::string(kHeader) + "Frame A { Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,9;; } }", "out of range"},
        {std::string(kHeader) + "Frame A { Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2;0,1;; } }", "fewer than three"},
        {std::string(kHeader) + "Frame A { Frame B { Mesh { " + tri, "unterminated"},
        {std::string(kHeader) + "Frame A { Mesh { " + tri + " MeshMaterialList { 1; 1; 0;; { Nope } } } }",
         "unknown material"},
        {std::string(kHeader) + "Frame A { Mesh { " + tri + " MeshMaterialList { 1; 1; 3;; } } }", "out of range"},
        {std::string(kHeader) + "Frame A { Mesh { " + tri + " MeshTextureCoords { 2; 0;0;, 1;1;; } } }",
         "vertex count"},
        {std::string(kHeader) + "Frame A { Mesh { " + tri +
             " SkinWeights { \"B\"; 1; 7; 1.0; 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; } } }",
         "out of range"},
        {std::string(kHeader) + "Frame A { Mesh { " + tri + " SkinWeights { \"B\"; 1; 0; 1.0; 1,0,0;; } } }",
         "expected a number"},
        {std::string(kHeader) + "Frame A { } AnimationSet { Animation { AnimationKey { 0; 1; 0; 3; 1,0,0;;; } } }",
         "holds 3 values"},
        {std::string(kHeader) + "Frame A { FrameTransformMatrix { 1e999, 0; } }", "number out of range"},
        {std::string(kHeader) + "Frame A { Mesh { 1.5; } }", "whole number"},
        {std::string(kHeader) + "Frame A { \"open }", "unterminated string"},
        {std::string(kHeader) + "Frame A { @ }", "unexpected character"},
        {std::string(kHeader) + "Frame A " + deep, "malformed reference"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RecordingAllocator alloc;
        XLoadResult result;
        std::string error;
        EXPECT_FALSE(loadHierarchyFromText(c.text, alloc, &result, &error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(result.root, nullptr);
        EXPECT_EQ(alloc.alive, 0);
    }
    // Nesting is bounded rather than followed down the stack.
    std::string nested = kHeader;
    for (int i = 0; i < 200; ++i) {
        nested += "Frame { ";
    }
    RecordingAllocator alloc;
    XLoadResult result;
    std::string error;
    EXPECT_FALSE(loadHierarchyFromText(nested + std::string(200, '}'), alloc, &result, &error));
    EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;

    alloc.refuseFrames = true;
    EXPECT_FALSE(loadHierarchyFromText(std::string(kHeader) + "Frame A { }", alloc, &result, &error));
    EXPECT_NE(error.find("refused frame \"A\""), std::string::npos) << error;
    EXPECT_FALSE(loadHierarchyFromFile("/nonexistent/model.x", alloc, &result, &error));
    EXPECT_NE(error.find("/nonexistent/model.x"), std::string::npos) << error;
}

}  // namespace
}  // namespace Platform::Gpux
