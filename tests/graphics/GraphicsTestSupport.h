#pragma once
// A graphics object and renderer on the software device, an in-memory stream reader and image
// helpers shared by the graphics library tests.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include <stb_image_write.h>

#include "engine/io/OxStreamIO.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxThreadManager.h"
#include "graphics/OxGraphics.h"
#include "graphics/OxRenderer.h"
#include "graphics/OxTextureData.h"

namespace Orvex::Graphics::Test {

// An opened archive entry: a name and its bytes.
class MemoryReader : public IO::StreamIO::IOrvexStreamReader {
public:
    MemoryReader(std::u16string name, std::vector<uint8_t> bytes) : name_(std::move(name)), bytes_(std::move(bytes)) {}
    bool open(const std::u16string&) override { return false; }
    void close() override {}
    bool isOpen() const override { return true; }
    std::u16string getFileName() const override { return name_; }
    uint32_t getSize() override { return uint32_t(bytes_.size()); }
    bool readToVector(IO::StreamIO::ByteVector& out, uint32_t count, uint32_t* outCount) override {
        const uint32_t n = count == 0 ? uint32_t(bytes_.size()) : std::min<uint32_t>(count, uint32_t(bytes_.size()));
        out.assign(bytes_.begin(), bytes_.begin() + n);
        if (outCount != nullptr) {
            *outCount = n;
        }
        return n > 0;
    }
    bool read(void*, uint32_t, uint32_t*) override { return false; }
    bool seek(uint32_t) override { return false; }
    bool tell(uint32_t&) override { return false; }
    bool skip(int32_t) override { return false; }
    bool rewind() override { return false; }
    bool seekToEnd() override { return false; }

private:
    std::u16string name_;
    std::vector<uint8_t> bytes_;
};

// PNG bytes of a w x h RGBA image whose pixel (x, y) is `color(x, y)` as 0xAARRGGBB.
template <typename Color>
std::vector<uint8_t> pngBytes(int w, int h, Color color) {
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t c = color(x, y);
            uint8_t* p = &rgba[(size_t(y) * w + x) * 4];
            p[0] = uint8_t(c >> 16), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c), p[3] = uint8_t(c >> 24);
        }
    }
    std::vector<uint8_t> out;
    stbi_write_png_to_func(
        [](void* ctx, void* data, int size) {
            auto* v = static_cast<std::vector<uint8_t>*>(ctx);
            v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        },
        &out, w, h, 4, rgba.data(), w * 4);
    return out;
}

// Writes the fallback image into the current directory for the life of the object.
struct FallbackImage {
    explicit FallbackImage(uint32_t color = 0xFFFF00FFu) {
        const uint8_t rgb[3] = {uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color)};
        std::vector<uint8_t> data;
        for (int i = 0; i < 4; ++i) {
            data.insert(data.end(), rgb, rgb + 3);
        }
        stbi_write_bmp("noImage.bmp", 2, 2, 3, data.data());
    }
    ~FallbackImage() { std::filesystem::remove("noImage.bmp"); }
};

struct GraphicsFixture : ::testing::Test {
    std::unique_ptr<OxOrvexManager> root;
    IOrvexGraphics* graphics = nullptr;
    OxRenderer* renderer = nullptr;
    Platform::Gpu::GpuDevice* device = nullptr;

    void SetUp() override {
        root = std::make_unique<OxOrvexManager>();
        graphics = new OxGraphics();
        OxGraphicsParameters p;
        p.width = 160;
        p.height = 120;
        ASSERT_EQ(kOxOk, graphics->initialize(0, &p));
        device = graphics->getDevice();
        IOrvexRenderer* r = nullptr;
        ASSERT_EQ(kOxOk, graphics->createRenderer(&r));
        renderer = static_cast<OxRenderer*>(r);
    }
    void TearDown() override {
        if (renderer != nullptr) {
            EXPECT_EQ(kOxOk, renderer->shutdown()) << "a test left textures held";
            renderer->release();
        }
        graphics->terminate();
        graphics->release();
        root.reset();
        Thread::OxThreadManager::release();
    }
    IOrvexTextureManager* textures() { return renderer->getTextureManager(); }
    IOrvexSpriteDraw* sprite() { return renderer->getSpriteDraw(); }

    IOrvexTexture* textureFrom(const std::u16string& name, const std::vector<uint8_t>& bytes) {
        MemoryReader reader(name, bytes);
        IOrvexTexture* t = nullptr;
        EXPECT_EQ(kOxOk, textures()->createTexture(&t, &reader));
        return t;
    }
    // The pixels of the renderer's frame target.
    const Platform::Gpu::PixelImage& frame() {
        return *textureDataOf(renderer->getRenderTarget())->getDXTexture()->getTexture()->image();
    }
    uint32_t at(uint32_t x, uint32_t y) { return frame().row(y)[x] | 0xFF000000u; }
};

}  // namespace Orvex::Graphics::Test
