#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include <stb_image.h>

#include "engine/io/OxPathUtility.h"
#include "platform/kernel/DebugOutput.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace Orvex::Graphics::Test {
namespace {

using TextureManagerTest = GraphicsFixture;

std::vector<uint8_t> whitePng(int w, int h) {
    return pngBytes(w, h, [](int, int) { return 0xFFFFFFFFu; });
}

TEST_F(TextureManagerTest, HandlesOverOneEntryShareTheCachedDataUntilReleased) {
    const std::u16string name = u"Image\\Frame.png";
    IOrvexTexture* a = textureFrom(name, whitePng(4, 4));
    IOrvexTexture* b = textureFrom(name, whitePng(4, 4));
    ASSERT_EQ(a->getData(), b->getData());
    EXPECT_EQ(3u, a->getData()->getRefCount());  // cache + two handles
    EXPECT_TRUE(textures()->contains(&name));
    textures()->releaseTexture(&name);  // still held: kept
    EXPECT_TRUE(textures()->contains(&name));
    a->release();
    EXPECT_EQ(2u, b->getData()->getRefCount());
    b->release();
    textures()->releaseUnused();
    EXPECT_FALSE(textures()->contains(&name));

    IOrvexTexture* c = textureFrom(name, whitePng(4, 4));
    c->release();
    textures()->releaseTexture(&name);  // only the cache held it
    EXPECT_FALSE(textures()->contains(&name));
}

TEST_F(TextureManagerTest, ImagesAreRoundedUpToPowersOfTwoAndNamedOnlyFromFiles) {
    IOrvexTexture* t = textureFrom(u"Image\\Icon.png", whitePng(100, 60));
    EXPECT_EQ(128u, t->getWidth());
    EXPECT_EQ(64u, t->getHeight());
    EXPECT_EQ(std::u16string(), std::u16string(t->getName()));
    t->release();

    const std::filesystem::path file = std::filesystem::current_path() / "texture_manager_test.png";
    {
        const auto bytes = whitePng(3, 5);
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    const std::u16string relative = u"texture_manager_test.png";
    IOrvexTexture* f = nullptr;
    ASSERT_EQ(kOxOk, textures()->createTextureFromFile(&f, &relative));
    const std::u16string absolute = IO::makeAbsolutePath(relative);
    EXPECT_EQ(absolute, std::u16string(f->getName()));
    EXPECT_EQ(4u, f->getWidth());
    EXPECT_EQ(8u, f->getHeight());
    EXPECT_FALSE(textures()->contains(&relative));  // names are compared as given
    EXPECT_TRUE(textures()->contains(&absolute));
    f->release();
    std::filesystem::remove(file);
}

TEST_F(TextureManagerTest, BrokenEntriesShowTheFallbackImageUnderTheirOwnName) {
    std::vector<std::u16string> messages;
    Platform::Kernel::setDebugSink([&messages](std::u16string_view m) { messages.emplace_back(m); });
    const std::u16string name = u"Image\\Broken.png";
    {
        FallbackImage fallback(0xFF00FF00u);
        IOrvexTexture* t = textureFrom(name, {'n', 'o', 'p', 'e'});
        ASSERT_NE(nullptr, t);
        EXPECT_TRUE(textures()->contains(&name));
        auto* image = textureDataOf(t)->getDXTexture()->getTexture()->image().get();
        EXPECT_EQ(0xFF00FF00u, image->read(1, 1));
        t->release();
        ASSERT_FALSE(messages.empty());
        EXPECT_NE(std::u16string::npos, messages.back().find(name));
    }
    // Without the fallback image nothing is cached and the load fails.
    const std::u16string other = u"Image\\Other.png";
    MemoryReader reader(other, {'n', 'o'});
    IOrvexTexture* t = nullptr;
    EXPECT_EQ(kOxErrFailed, textures()->createTexture(&t, &reader));
    EXPECT_EQ(nullptr, t);
    EXPECT_FALSE(textures()->contains(&other));
    Platform::Kernel::setDebugSink({});
    EXPECT_EQ(kOxErrInvalidArgument, textures()->createTexture(&t, nullptr));
    EXPECT_EQ(kOxErrInvalidArgument, textures()->createTexture(nullptr, &reader));
    EXPECT_EQ(kOxErrInvalidArgument, textures()->createTextureFromFile(&t, nullptr));
}

TEST_F(TextureManagerTest, SavesARenderTargetAsPng) {
    ASSERT_EQ(kOxOk, renderer->clear(1, 0xFF102030u, 1, 0));
    const std::filesystem::path file = std::filesystem::current_path() / "texture_manager_save.png";
    const std::u16string path = file.u16string();
    ASSERT_EQ(kOxOk, textures()->saveTextureToFile(renderer->getRenderTarget(), &path));
    int w = 0, h = 0, comp = 0;
    stbi_uc* pixels = stbi_load(file.c_str(), &w, &h, &comp, 4);
    ASSERT_NE(nullptr, pixels);
    EXPECT_EQ(160, w);
    EXPECT_EQ(120, h);
    EXPECT_EQ(0x10, pixels[(7 * 160 + 9) * 4 + 0]);
    EXPECT_EQ(0x30, pixels[(7 * 160 + 9) * 4 + 2]);
    EXPECT_EQ(0xFF, pixels[(7 * 160 + 9) * 4 + 3]);
    stbi_image_free(pixels);
    std::filesystem::remove(file);
    EXPECT_EQ(kOxErrInvalidArgument, textures()->saveTextureToFile(nullptr, &path));
}

TEST_F(TextureManagerTest, WorkerThreadsLoadAndReleaseWhileTheDrawingThreadLooksUp) {
    const auto bytes = whitePng(8, 8);
    const std::u16string names[] = {u"A.png", u"B.png", u"C.png"};
    std::atomic<bool> failed{false};
    auto work = [&](int seed) {
        for (int i = 0; i < 200; ++i) {
            MemoryReader reader(names[(i + seed) % 3], bytes);
            IOrvexTexture* t = nullptr;
            if (textures()->createTexture(&t, &reader) != kOxOk || t->getWidth() != 8) {
                failed = true;
                return;
            }
            t->release();
            if (i % 7 == 0) {
                textures()->releaseUnused();
            }
        }
    };
    std::thread first(work, 0), second(work, 1);
    work(2);
    first.join();
    second.join();
    EXPECT_FALSE(failed);
    textures()->releaseUnused();
    for (const auto& name : names) {
        EXPECT_FALSE(textures()->contains(&name));
    }
}

// A device reset (the full-screen switch) walks every texture while a worker makes and drops
// them: no texture may be reached while it is being built or torn down.
TEST_F(TextureManagerTest, ADeviceResetWhileAWorkerMakesAndDropsTextures) {
    const auto bytes = whitePng(8, 8);
    std::atomic<bool> done{false};
    std::atomic<bool> failed{false};
    std::thread worker([&] {
        for (int i = 0; i < 2000; ++i) {
            MemoryReader reader(u"R.png", bytes);
            IOrvexTexture* t = nullptr;
            IOrvexTexture* target = nullptr;
            if (textures()->createTexture(&t, &reader) != kOxOk ||
                textures()->createRenderTargetTexture(&target, 16, 16, 0) != kOxOk) {
                failed = true;
                break;
            }
            t->release();
            target->release();
            textures()->releaseUnused();
        }
        done = true;
    });
    OxGraphicsParameters parameters;
    parameters.width = 64;
    parameters.height = 48;
    int resets = 0;
    while (!done) {
        ASSERT_EQ(kOxOk, renderer->reset(&parameters));
        ++resets;
    }
    worker.join();
    EXPECT_FALSE(failed);
    EXPECT_GT(resets, 0);
}

}  // namespace
}  // namespace Orvex::Graphics::Test
