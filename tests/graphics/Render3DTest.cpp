// The 3-D half through the real library: the generated cube and arm imported with their scripts,
// drawn lit and depth-tested through a camera, the arm animated; particles, cameras, bones and
// the importer's edge cases.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include <stb_image.h>

#include "engine/system/OxStringConvert.h"
#include "graphics/OxCamera.h"
#include "graphics/OxGeometry.h"
#include "graphics/OxGeometryImporter.h"
#include "graphics/include/IOrvexGeometryImporter.h"
#include "graphics/include/IOrvexMesh.h"
#include "graphics/include/IOrvexParticles.h"
#include "platform/gpux/TextureIO.h"
#include "platform/gpux/XMath.h"
#include "tests/graphics/GraphicsTestSupport.h"
#include "tools/modelgen/ModelWriter.h"

namespace Orvex::Graphics::Test {
namespace {

using namespace Platform::Gpu;

constexpr uint32_t kBackground = 0xFF000000u;

uint32_t red(uint32_t c) { return (c >> 16) & 0xFF; }
uint32_t green(uint32_t c) { return (c >> 8) & 0xFF; }
uint32_t blue(uint32_t c) { return c & 0xFF; }

struct Render3DTest : GraphicsFixture {
    std::filesystem::path folder;
    IOrvexGeometryImporter* importer = nullptr;
    IOrvexCamera* camera = nullptr;

    void SetUp() override {
        GraphicsFixture::SetUp();
        folder = std::filesystem::temp_directory_path() /
                 ("orvex_render3d_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        Tools::ModelGen::writeModels(folder);
        ASSERT_EQ(kOxOk, graphics->createGeometryImporter(&importer));
        ASSERT_EQ(kOxOk, graphics->createCamera(&camera));
    }
    void TearDown() override {
        if (camera != nullptr) {
            renderer->setCamera(nullptr);
            camera->release();
        }
        if (importer != nullptr) {
            importer->release();
        }
        std::filesystem::remove_all(folder);
        GraphicsFixture::TearDown();
    }
    std::u16string path(const std::string& name) { return System::widen((folder / name).string()); }
    IOrvexGeometry* load(const std::string& name, int32_t expected = kOxOk) {
        const std::u16string p = path(name);
        IOrvexGeometry* g = nullptr;
        EXPECT_EQ(expected, importer->import(&p, &g));
        return g;
    }
    void look(const float (&position)[3], const float (&target)[3], const float (&up)[3]) {
        camera->setPosition(position);
        camera->setTarget(target);
        camera->setUp(up);
        ASSERT_EQ(kOxOk, renderer->setCamera(camera));
    }
    void draw(IOrvexRenderObject* object) {
        ASSERT_EQ(kOxOk, renderer->clear(5, kBackground, 1.0f, 0));
        ASSERT_EQ(kOxOk, renderer->beginScene());
        ASSERT_EQ(kOxOk, renderer->drawRenderObject(object));
        ASSERT_EQ(kOxOk, renderer->endScene());
    }
    // The pixel a world point lands on through the camera (its matrices are column-vector ones).
    std::pair<uint32_t, uint32_t> project(float x, float y, float z) {
        OxMatrix p, v;
        camera->getProjectionMatrix(&p);
        camera->getViewMatrix(&v);
        const float in[4] = {x, y, z, 1};
        float eye[4] = {}, clip[4] = {};
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                eye[r] += v.m[r][c] * in[c];
            }
        }
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                clip[r] += p.m[r][c] * eye[c];
            }
        }
        return {uint32_t((clip[0] / clip[3] + 1) * 0.5f * 160), uint32_t((1 - clip[1] / clip[3]) * 0.5f * 120)};
    }
    uint32_t pixelAt(float x, float y, float z) {
        const auto [px, py] = project(x, y, z);
        return at(px, py);
    }
    // The frame against a checked-in reference image: at most 1 % of the pixels may differ, and
    // none by more than 24 in a channel (rounding at edges and in lighting may move a little).
    void expectReference(const std::string& name) {
        const std::string file = std::string(ORVEX_FIXTURE_DIR) + "/graphics3d/" + name + ".png";
        int w = 0, h = 0, channels = 0;
        stbi_uc* pixels = stbi_load(file.c_str(), &w, &h, &channels, 4);
        ASSERT_NE(nullptr, pixels) << file;
        ASSERT_EQ(160, w);
        ASSERT_EQ(120, h);
        size_t differing = 0;
        uint32_t worst = 0;
        for (uint32_t y = 0; y < 120; ++y) {
            for (uint32_t x = 0; x < 160; ++x) {
                const stbi_uc* ref = pixels + (size_t(y) * 160 + x) * 4;
                const uint32_t c = at(x, y);
                const uint32_t d =
                    std::max({uint32_t(std::abs(int(red(c)) - ref[0])), uint32_t(std::abs(int(green(c)) - ref[1])),
                              uint32_t(std::abs(int(blue(c)) - ref[2]))});
                differing += d != 0 ? 1 : 0;
                worst = std::max(worst, d);
            }
        }
        stbi_image_free(pixels);
        EXPECT_LE(differing, 160u * 120u / 100u) << name;
        EXPECT_LE(worst, 24u) << name;
    }
    // Saves the frame for a person to look at once a check has failed.
    void keepFrame(const std::string& name) {
        if (!HasFailure()) {
            return;
        }
        GpuSurface* surface = nullptr;
        textureDataOf(renderer->getRenderTarget())->getDXTexture()->getTexture()->getSurfaceLevel(0, &surface);
        Platform::Gpux::saveSurfaceToPngFile(
            System::widen((std::filesystem::temp_directory_path() / ("orvex_" + name + ".png")).string()), surface);
        surface->release();
    }
};

TEST_F(Render3DTest, CubeImportsWithItsScriptAndShowsItsFacesLitAndDepthTested) {
    IOrvexGeometry* cube = load("cube.x");
    ASSERT_NE(nullptr, cube);
    IOrvexMaterialLibrary* library = cube->getMaterialLibrary();
    ASSERT_EQ(2u, library->getMaterialCount());
    EXPECT_FLOAT_EQ(128 / 255.0f, library->getMaterial(0)->getEffect()->getAmbientColor()[0]);
    EXPECT_EQ(1u, library->getMaterial(0)->getEffect()->getCullingType());
    EXPECT_FLOAT_EQ(0.4f, library->getMaterial(1)->getEffect()->getDiffuseColor()[1]);
    EXPECT_EQ(0u, library->getMaterial(1)->getEffect()->getCullingType());
    EXPECT_EQ(nullptr, library->getMaterial(2));

    look({4, 4, 4}, {0, 0, 0}, {0, 1, 0});
    cube->update(0);
    draw(cube);
    expectReference("cube");
    // Stored with z up, the cube is shown with y up: the file's front face (textured) is on top,
    // its bottom face (plain, material 1) faces +z. The light shines along -z: the +z face is lit
    // to white, the others have only the ambient term, the checker texture darkened.
    const uint32_t front = pixelAt(0, 0, 1);
    EXPECT_GT(red(front), 240u);
    EXPECT_GT(green(front), 240u);
    EXPECT_GT(blue(front), 240u);
    for (const auto& [x, y, z] : {std::tuple{0.5f, 1.0f, 0.5f}, std::tuple{1.0f, 0.5f, 0.5f}}) {
        const uint32_t c = pixelAt(x, y, z);
        EXPECT_GT(red(c), blue(c)) << std::hex << c;  // checker, not the blue material
        EXPECT_LT(red(c), 80u) << std::hex << c;
    }
    EXPECT_EQ(kBackground, at(2, 2));
    keepFrame("cube");
    // The plain material is drawn from both sides: without the depth test the hidden -x face,
    // drawn after the +x face, covers it in its ambient blue.
    renderer->setRenderState(0, false);
    draw(cube);
    const uint32_t hidden = pixelAt(1.0f, 0.5f, 0.5f);
    EXPECT_GT(blue(hidden), red(hidden)) << std::hex << hidden;
    renderer->setRenderState(0, true);
    cube->release();
}

TEST_F(Render3DTest, SkinnedArmBendsWithTimeAndReturnsOverItsPeriod) {
    IOrvexGeometry* arm = load("arm.x");
    ASSERT_NE(nullptr, arm);
    IOrvexSkinController* skin = arm->getSkinController();
    EXPECT_EQ(2u, skin->getBoneCount());
    ASSERT_NE(nullptr, skin->findBone(1));
    EXPECT_EQ(u"Bone1", skin->findBone(0)->getName());
    EXPECT_EQ(u"Bone2", skin->findBone(1)->getName());
    EXPECT_EQ(nullptr, skin->findBone(2));
    IOrvexMotionController* motion = arm->getMotionController();
    EXPECT_EQ(1u, motion->getAnimationCount());
    // The bones read their frames' combined transforms (4x3: the 3x3 part column by column,
    // then the translation): after an update, the model's -90 degree turn about x puts the
    // second bone's joint, 2 up the stored y axis, at z -2; the root bone stands for no frame.
    arm->update(0);
    float t[12];
    skin->findBone(1)->getTransform(t);
    const float joint[12] = {1, 0, 0, 0, 0, 1, 0, -1, 0, 0, 0, -2};
    for (int i = 0; i < 12; ++i) {
        EXPECT_NEAR(joint[i], t[i], 1e-6) << i;
    }
    IOrvexBone* root = skin->findBone(0)->getParent();
    ASSERT_NE(nullptr, root);
    root->getTransform(t);
    EXPECT_EQ(1.0f, t[0]);
    EXPECT_EQ(0.0f, t[9]);

    // Seen from above: the arm, turned from y up to lie along -z, runs up the screen from the
    // origin; it bends about the vertical axis.
    look({0, 12, -2}, {0, 0, -2}, {0, 0, -1});
    // The horizontal centre of the arm's pixels in one row of the frame.
    auto centreOfRow = [&](uint32_t row) {
        double sum = 0, count = 0;
        for (uint32_t x = 0; x < 160; ++x) {
            if (at(x, row) != kBackground) {
                sum += x;
                ++count;
            }
        }
        return count > 0 ? sum / count : -1.0;
    };
    const uint32_t tipRow = project(0, 0, -3.6f).second, baseRow = project(0, 0, -0.4f).second;
    struct Step {
        float elapsed;  // units of 1/80 s
        float ticks;
        bool bent;
    } steps[] = {{0, 0, false}, {40, 2400, true}, {40, 4800 + 0, false}};
    double straightTip = 0, straightBase = 0;
    float total = 0;
    for (const Step& s : steps) {
        arm->update(s.elapsed);
        total += s.elapsed;
        draw(arm);
        if (s.bent) {
            expectReference("arm_bent");
        }
        const double tip = centreOfRow(tipRow), base = centreOfRow(baseRow);
        ASSERT_GE(tip, 0) << "no arm at the tip's row after " << total;
        EXPECT_NEAR(s.ticks, motion->getCurrentTime(), 1.0f);
        if (total == 0) {
            straightTip = tip;
            straightBase = base;
            EXPECT_NEAR(80.0, tip, 1.0);
        }
        EXPECT_NEAR(straightBase, base, 1.0) << "the lower bone stays";
        if (s.bent) {
            EXPECT_GT(std::fabs(tip - straightTip), 8.0) << "the tip swings aside at " << total;
        } else {
            EXPECT_NEAR(straightTip, tip, 1.0) << "straight at " << total;
        }
        keepFrame("arm_" + std::to_string(int(total)));
    }
    // Playing the current animation again jumps to the given ticks; there is no second one.
    EXPECT_EQ(kOxOk, motion->play(0, 0.5f, 2400));
    EXPECT_FLOAT_EQ(2400.0f, motion->getCurrentTime());
    EXPECT_EQ(kOxErrFailed, motion->play(1, 0.5f, 0));
    EXPECT_TRUE(motion->isLooping());
    motion->setLoop(false);
    EXPECT_FALSE(motion->isLooping());
    arm->release();
}

TEST_F(Render3DTest, PlayingAnotherAnimationCrossFadesOverThirtyUpdatesWhateverTheElapsedTime) {
    std::ofstream(folder / "fade.x") << "xof 0303txt 0032\nFrame Joint { Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; "
                                        "3;0,1,2;; } }\n"
                                        "AnimationSet Rest { Animation { { Joint } AnimationKey { 2; 2; "
                                        "0;3;0,0,0;;, 100;3;0,0,0;;; } } }\n"
                                        "AnimationSet Away { Animation { { Joint } AnimationKey { 2; 2; "
                                        "0;3;10,0,0;;, 100;3;10,0,0;;; } } }\n";
    IOrvexGeometry* g = load("fade.x", 1);
    ASSERT_NE(nullptr, g);
    IOrvexMotionController* motion = g->getMotionController();
    ASSERT_EQ(2u, motion->getAnimationCount());
    const Matrix& joint = static_cast<OxGeometry*>(g)->hierarchy()->root()->transform;
    g->update(1);
    EXPECT_EQ(0.0f, joint.m[3][0]);
    ASSERT_EQ(kOxOk, motion->play(1, 0.5f, 1200));
    EXPECT_EQ(1u, motion->getCurrentAnimation());
    EXPECT_EQ(0.0f, motion->getCurrentTime());  // another animation starts at 0 whatever was asked
    // Each update applies the weights the one before left: after update n the new set has
    // weight (n - 1) / 30, however much time each update was given.
    const float elapsed[] = {0, 500, 3};
    for (int n = 1; n <= 15; ++n) {
        g->update(elapsed[n % 3]);
    }
    EXPECT_NEAR(10.0f * 14 / 30, joint.m[3][0], 1e-3);
    for (int n = 16; n <= 31; ++n) {
        g->update(elapsed[n % 3]);
    }
    EXPECT_NEAR(10.0f, joint.m[3][0], 1e-3);
    g->release();
}

TEST_F(Render3DTest, ImporterReportsScriptsAndModelsItCannotUse) {
    const std::u16string cube = path("cube.x");
    EXPECT_EQ(kOxErrInvalidArgument, importer->import(&cube, nullptr));
    struct Case {
        const char* name;
        const char* script;  // null: no script file
        int32_t expected;
    } cases[] = {{"comment only", "// nothing else\n", 1}, {"no script", nullptr, 1}, {"broken", "-1;", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folder / "cube.ocs");
        if (c.script != nullptr) {
            std::ofstream(folder / "cube.ocs") << c.script;
        }
        IOrvexGeometry* g = load("cube.x", c.expected);
        ASSERT_NE(nullptr, g);
        // The materials keep the file's colours: the diffuse of material 1 as ambient too.
        EXPECT_FLOAT_EQ(0.8f, g->getMaterialLibrary()->getMaterial(1)->getEffect()->getAmbientColor()[2]);
        g->release();
    }
    std::ofstream(folder / "binary.x", std::ios::binary) << "xof 0303bin 0032" << std::string(16, '\0');
    std::ofstream(folder / "broken.x")
        << "xof 0303txt 0032\nFrame A { Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,9;; } }";
    for (const char* name : {"binary.x", "broken.x", "missing.x"}) {
        IOrvexGeometry* g = nullptr;
        const std::u16string p = path(name);
        EXPECT_EQ(kOxErrFailed, importer->import(&p, &g)) << name;
    }
    EXPECT_EQ(u"C:/m/box.ocs", OxGeometryImporter::scriptPath(u"C:/m/box.x"));
    EXPECT_EQ(u"C:\\m/box.lod.ocs", OxGeometryImporter::scriptPath(u"C:\\m\\box.lod.x"));
}

TEST_F(Render3DTest, ModelWithoutBonesOrMaterialsImportsWithItsFrames) {
    // Two nested frames and no bone: a static model, whose bone tree stays empty.
    std::ofstream(folder / "plain.x") << "xof 0303txt 0032\nFrame Top { Frame Inner { Mesh Tri { 3; -1;0;0;, "
                                         "1;0;0;, 0;1;0;; 1; 3;0,1,2;; } } }\n";
    IOrvexGeometry* g = load("plain.x", 1);
    ASSERT_NE(nullptr, g);
    EXPECT_EQ(0u, g->getMaterialLibrary()->getMaterialCount());
    EXPECT_EQ(nullptr, g->getSkinController()->findBone(0));
    IOrvexFrame* first = g->getRootFrame()->getFirstChild();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(u"Inner", first->getName());
    ASSERT_NE(nullptr, first->getMeshContainer());
    // Without materials the mesh has one grey one; without normals it gets them computed, and
    // stored with z up it is turned to y up: the triangle's normal (0, 0, 1) becomes (0, 1, 0).
    auto* container = static_cast<OxDXMeshContainer*>(first->getMeshContainer());
    ASSERT_EQ(1u, container->materials.size());
    EXPECT_EQ(0.5f, container->materials[0].diffuse.g);
    ASSERT_EQ(0x152u, container->mesh->getFvf());
    void* vertices = nullptr;
    ASSERT_EQ(0, container->mesh->lockVertexBuffer(0, &vertices));
    float normal[3];
    std::memcpy(normal, static_cast<unsigned char*>(vertices) + 12, sizeof normal);
    container->mesh->unlockVertexBuffer();
    EXPECT_NEAR(0.0f, normal[0], 1e-6);
    EXPECT_NEAR(1.0f, normal[1], 1e-6);
    EXPECT_NEAR(0.0f, normal[2], 1e-6);
    g->update(0);
    draw(g);
    g->release();
}

TEST_F(Render3DTest, ParticlesFaceTheCameraFromAnySide) {
    IOrvexParticles* particles = nullptr;
    ASSERT_EQ(kOxOk, graphics->createParticles(&particles));
    EXPECT_EQ(nullptr, particles->getFirstParticle());
    ASSERT_EQ(0, particles->setCount(2));
    EXPECT_EQ(nullptr, particles->getParticle(2));
    OxParticle& p = *particles->getFirstParticle();
    EXPECT_EQ(1.0f, p.scale[1]);
    EXPECT_EQ(1.0f, p.bottomLeft[1]);
    p.enabled = 1;
    p.scale[0] = p.scale[1] = p.scale[2] = 2;
    for (const auto& [position, up] : {std::pair{std::array<float, 3>{0, 0, 8}, std::array<float, 3>{0, 1, 0}},
                                       std::pair{std::array<float, 3>{6, 3, -4}, std::array<float, 3>{0, 1, 0}},
                                       std::pair{std::array<float, 3>{0, -8, 0.01f}, std::array<float, 3>{0, 0, 1}}}) {
        SCOPED_TRACE(testing::Message() << position[0] << "," << position[1] << "," << position[2]);
        look({position[0], position[1], position[2]}, {0, 0, 0}, {up[0], up[1], up[2]});
        ASSERT_EQ(kOxOk, renderer->clear(5, kBackground, 1.0f, 0));
        ASSERT_EQ(kOxOk, renderer->drawParticles(particles));
        // Facing the camera, the square is a square centred on the screen whatever the side.
        uint32_t left = 160, right = 0, top = 120, bottom = 0;
        for (uint32_t y = 0; y < 120; ++y) {
            for (uint32_t x = 0; x < 160; ++x) {
                if (at(x, y) != kBackground) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
            }
        }
        ASSERT_LE(left, right);
        EXPECT_NEAR(right - left, bottom - top, 1);
        EXPECT_NEAR(80.0, (left + right + 1) / 2.0, 1.0);
        EXPECT_NEAR(60.0, (top + bottom + 1) / 2.0, 1.0);
    }
    // Disabled particles draw nothing.
    p.enabled = 0;
    ASSERT_EQ(kOxOk, renderer->clear(5, kBackground, 1.0f, 0));
    ASSERT_EQ(kOxOk, renderer->drawParticles(particles));
    EXPECT_EQ(kBackground, at(80, 60));
    particles->release();
}

TEST_F(Render3DTest, CameraMatricesTransposedAreTheDeviceOnes) {
    OxMatrix view, projection;
    camera->getViewMatrix(&view);
    camera->getProjectionMatrix(&projection);
    const Matrix deviceView = Platform::Gpux::matrixLookAtRH({160, 90, 160}, {0, 0, 0}, {0, 1, 0});
    const Matrix deviceProjection =
        Platform::Gpux::matrixPerspectiveFovRH(float(M_PI / 4), 4.0f / 3.0f, 1.0f, 10000.0f);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(deviceView.m[c][r], view.m[r][c], 1e-4) << r << "," << c;
            EXPECT_NEAR(deviceProjection.m[c][r], projection.m[r][c], 1e-4) << r << "," << c;
        }
    }
    // A position on the target: the zero axis stays zero instead of dividing by zero.
    camera->setPosition({0, 0, 0});
    camera->getViewMatrix(&view);
    for (const auto& row : view.m) {
        for (float f : row) {
            EXPECT_TRUE(std::isfinite(f));
        }
    }
    // The renderer takes a set camera's matrices and hands the camera back.
    camera->setPosition({0, 0, 5});
    ASSERT_EQ(kOxOk, renderer->setCamera(camera));
    EXPECT_EQ(camera, renderer->getCamera());
    Matrix m;
    device->getTransform(kTransformView, &m);
    EXPECT_FLOAT_EQ(-5.0f, m.m[3][2]);
    ASSERT_EQ(kOxOk, renderer->setCamera(nullptr));
    EXPECT_NE(camera, renderer->getCamera());
}

TEST_F(Render3DTest, FactoriesMakeWorkingObjectsAndDebugDrawsReachThePixels) {
    IOrvexStaticMesh* mesh = nullptr;
    IOrvexSkinnedMesh* skinned = nullptr;
    ASSERT_EQ(kOxOk, graphics->createStaticMesh(&mesh));
    ASSERT_EQ(kOxOk, graphics->createSkinnedMesh(&skinned));
    EXPECT_EQ(1u, mesh->getMeshType());
    EXPECT_EQ(2u, skinned->getMeshType());
    // Nothing loads a hierarchy into them: drawing one fails, a null mesh is refused.
    EXPECT_EQ(kOxErrFailed, renderer->drawMesh(mesh));
    EXPECT_EQ(kOxErrCreateFailed, renderer->drawMesh(nullptr));
    EXPECT_EQ(kOxErrFailed, skinned->getMotionController()->play(0, 0, 0));
    skinned->update(1);
    mesh->release();
    skinned->release();

    look({0, 0, 10}, {0, 0, 0}, {0, 1, 0});
    const OxSphere sphere{{0, 0, 0}, 2};
    ASSERT_EQ(kOxOk, renderer->clear(5, kBackground, 1.0f, 0));
    ASSERT_EQ(kOxOk, renderer->drawSphere(&sphere, 0xFF00FF00u));
    // A wire-frame sphere: its outline is drawn, and the lighting and fill switches come back.
    uint32_t greenPixels = 0;
    for (uint32_t x = 0; x < 160; ++x) {
        greenPixels += at(x, 60) == 0xFF00FF00u ? 1 : 0;
    }
    EXPECT_GE(greenPixels, 2u);
    bool value = true;
    renderer->getRenderState(3, &value);
    EXPECT_FALSE(value);
    renderer->getRenderState(2, &value);
    EXPECT_TRUE(value);
    // Lines go through the world transform, which the sphere left scaled.
    const float identity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    renderer->setWorldTransform(identity);
    const float line[2][3] = {{-3, 1, 0}, {3, 1, 0}};
    ASSERT_EQ(kOxOk, renderer->clear(5, kBackground, 1.0f, 0));
    ASSERT_EQ(kOxOk, renderer->drawLines(line, 1, 0xFFFF0000u));
    const auto [x, y] = project(0, 1, 0);
    EXPECT_TRUE(at(x, y) == 0xFFFF0000u || at(x, y - 1) == 0xFFFF0000u || at(x, y + 1) == 0xFFFF0000u);
}

}  // namespace
}  // namespace Orvex::Graphics::Test
