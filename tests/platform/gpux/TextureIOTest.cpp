#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <stb_image.h>
#include <stb_image_write.h>

#include "platform/gpux/ImageDecoder.h"
#include "platform/gpux/TextureIO.h"

namespace Platform::Gpux {
namespace {

using Bytes = std::vector<uint8_t>;

// Encodes RGBA pixels with the stb writer, as an image tool would.
Bytes encode(const char* kind, int w, int h, int comp, const std::vector<uint8_t>& data) {
    Bytes out;
    auto sink = [](void* ctx, void* bytes, int size) {
        auto* v = static_cast<Bytes*>(ctx);
        v->insert(v->end(), static_cast<uint8_t*>(bytes), static_cast<uint8_t*>(bytes) + size);
    };
    if (std::strcmp(kind, "png") == 0) {
        stbi_write_png_to_func(sink, &out, w, h, comp, data.data(), w * comp);
    } else if (std::strcmp(kind, "bmp") == 0) {
        stbi_write_bmp_to_func(sink, &out, w, h, comp, data.data());
    } else {
        stbi_write_tga_to_func(sink, &out, w, h, comp, data.data());
    }
    return out;
}

Bytes ddsHeader(uint32_t w, uint32_t h, uint32_t pfFlags, const char* code, uint32_t bits,
                std::array<uint32_t, 4> masks = {}) {
    Bytes b(128, 0);
    auto put = [&b](size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); };
    std::memcpy(b.data(), "DDS ", 4);
    put(4, 124);
    put(12, h);
    put(16, w);
    put(76, 32);
    put(80, pfFlags);
    if (code != nullptr) {
        std::memcpy(b.data() + 84, code, 4);
    }
    put(88, bits);
    for (int i = 0; i < 4; ++i) {
        put(92 + 4 * i, masks[i]);
    }
    return b;
}

TEST(ImageDecoderTest, RecognisesFormatsByContentAndKeepsTheAlphaDistinction) {
    const std::vector<uint8_t> rgba = {255, 0, 0, 128, 0, 255, 0, 255, 0, 0, 255, 0, 10, 20, 30, 40};
    const std::vector<uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    struct Case {
        const char* name;
        Bytes bytes;
        bool hasAlpha;
        uint32_t lastPixel;
    } cases[] = {
        {"png rgba", encode("png", 2, 2, 4, rgba), true, 0x280A141Eu},
        {"png rgb", encode("png", 2, 2, 3, rgb), false, 0xFF0A141Eu},
        {"bmp", encode("bmp", 2, 2, 3, rgb), false, 0xFF0A141Eu},
        {"tga rgba", encode("tga", 2, 2, 4, rgba), true, 0x280A141Eu},
    };
    for (const Case& c : cases) {
        DecodedImage image;
        std::string error;
        ASSERT_TRUE(decodeImage(c.bytes.data(), c.bytes.size(), image, error)) << c.name << ": " << error;
        EXPECT_EQ(2u, image.width) << c.name;
        EXPECT_EQ(c.hasAlpha, image.hasAlpha) << c.name;
        EXPECT_EQ(c.lastPixel, image.pixels[3]) << c.name;
        EXPECT_EQ(c.hasAlpha ? 0x80FF0000u : 0xFFFF0000u, image.pixels[0]) << c.name;
    }
}

TEST(ImageDecoderTest, ReadsUncompressedAndBlockCompressedDds) {
    // 32-bit with an alpha mask: one pixel 0x80112233.
    Bytes plain = ddsHeader(1, 1, 0x41, nullptr, 32, {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u});
    for (uint8_t b : {0x33, 0x22, 0x11, 0x80}) {
        plain.push_back(b);
    }
    // DXT1, 4x4: end points pure red (0xF800) and pure blue (0x001F), c0 > c1, texel 0 uses
    // index 0, texel 1 index 1, texel 2 index 2 (2/3 red), the rest index 3.
    Bytes dxt1 = ddsHeader(4, 4, 0x4, "DXT1", 0);
    const uint8_t block1[8] = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xFF, 0xFF, 0xFF};
    dxt1.insert(dxt1.end(), block1, block1 + 8);
    // DXT5, 4x4: alpha end points 255 and 0 (eight-step ramp); texel 0 index 0, texel 1 index 1.
    Bytes dxt5 = ddsHeader(4, 4, 0x4, "DXT5", 0);
    const uint8_t block5[16] = {255, 0, 0x08, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    dxt5.insert(dxt5.end(), block5, block5 + 16);

    DecodedImage image;
    std::string error;
    ASSERT_TRUE(decodeImage(plain.data(), plain.size(), image, error)) << error;
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_EQ(0x80112233u, image.pixels[0]);
    ASSERT_TRUE(decodeImage(dxt1.data(), dxt1.size(), image, error)) << error;
    EXPECT_EQ(0xFFFF0000u, image.pixels[0]);
    EXPECT_EQ(0xFF0000FFu, image.pixels[1]);
    EXPECT_EQ(0xFFAA0055u, image.pixels[2]);
    EXPECT_EQ(0xFF5500AAu, image.pixels[3]);
    ASSERT_TRUE(decodeImage(dxt5.data(), dxt5.size(), image, error)) << error;
    EXPECT_EQ(0xFFu, image.pixels[0] >> 24);
    EXPECT_EQ(0x00u, image.pixels[1] >> 24);
    EXPECT_EQ(0xFFFFFFFFu, image.pixels[0]);

    struct Bad {
        const char* name;
        Bytes bytes;
        const char* reason;
    } bad[] = {
        {"truncated blocks", Bytes(dxt5.begin(), dxt5.end() - 1), "truncated"},
        {"short header", Bytes(dxt5.begin(), dxt5.begin() + 60), "header"},
        {"unknown compression", ddsHeader(4, 4, 0x4, "ATI2", 0), "DXT"},
        {"not an image", Bytes{'h', 'e', 'l', 'l', 'o'}, "not a readable image"},
    };
    for (const Bad& b : bad) {
        error.clear();
        EXPECT_FALSE(decodeImage(b.bytes.data(), b.bytes.size(), image, error)) << b.name;
        EXPECT_NE(std::string::npos, error.find(b.reason)) << b.name << ": " << error;
    }
}

// Plain 8-bit RGB and RGBA files are unfiltered by our own row reader: every filter type, split
// data chunks and the files it leaves to stb (grey, palette, a transparency key) give the
// pixels stb gives.
TEST(ImageDecoderTest, PngsOfEveryFilterAndKindReadAsStbReadsThem) {
    const int w = 13, h = 7;
    auto picture = [&](int comp) {
        std::vector<uint8_t> data(size_t(w) * h * size_t(comp));
        for (size_t i = 0; i < data.size(); ++i) {
            data[i] = uint8_t((i * 37 + i / 5 * 11) ^ (i >> 3));
        }
        return data;
    };
    struct Case {
        std::string name;
        Bytes bytes;
    };
    std::vector<Case> cases;
    for (int comp : {1, 2, 3, 4}) {
        for (int filter = 0; filter <= 4; ++filter) {
            stbi_write_force_png_filter = filter;
            cases.push_back({"comp " + std::to_string(comp) + " filter " + std::to_string(filter),
                             encode("png", w, h, comp, picture(comp))});
        }
    }
    stbi_write_force_png_filter = -1;
    // The first RGBA file with its data chunk split in two.
    {
        const Bytes& whole = cases[15].bytes;
        auto be = [](const uint8_t* p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; };
        size_t at = 8;
        while (std::memcmp(whole.data() + at + 4, "IDAT", 4) != 0) at += 12 + be(whole.data() + at);
        const uint32_t length = be(whole.data() + at);
        const uint32_t half = length / 2;
        auto chunk = [](const char* type, const uint8_t* data, uint32_t n) {
            Bytes c(12 + size_t(n), 0);  // the checksum stays zero: neither reader checks it
            for (int i = 0; i < 4; ++i) {
                c[size_t(i)] = uint8_t(n >> (24 - 8 * i));
            }
            std::memcpy(c.data() + 4, type, 4);
            std::memcpy(c.data() + 8, data, n);
            return c;
        };
        Bytes split(whole.begin(), whole.begin() + std::ptrdiff_t(at));
        for (const Bytes& c :
             {chunk("IDAT", whole.data() + at + 8, half), chunk("IDAT", whole.data() + at + 8 + half, length - half)}) {
            split.insert(split.end(), c.begin(), c.end());
        }
        split.insert(split.end(), whole.begin() + std::ptrdiff_t(at + 12 + length), whole.end());
        cases.push_back({"rgba, data in two chunks", split});
    }
    for (const Case& c : cases) {
        int sw = 0, sh = 0, channels = 0;
        stbi_uc* expected = stbi_load_from_memory(c.bytes.data(), int(c.bytes.size()), &sw, &sh, &channels, 4);
        ASSERT_NE(nullptr, expected) << c.name;
        DecodedImage image;
        std::string error;
        ASSERT_TRUE(decodeImage(c.bytes.data(), c.bytes.size(), image, error)) << c.name << ": " << error;
        ASSERT_EQ(uint32_t(w), image.width);
        ASSERT_EQ(uint32_t(h), image.height);
        EXPECT_EQ(channels == 2 || channels == 4, image.hasAlpha) << c.name;
        for (size_t i = 0; i < image.pixels.size(); ++i) {
            const stbi_uc* p = expected + i * 4;
            const uint32_t want =
                uint32_t(image.hasAlpha ? p[3] : 255) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
            ASSERT_EQ(want, image.pixels[i]) << c.name << ", pixel " << i;
        }
        stbi_image_free(expected);
    }
}

TEST(ImageDecoderTest, PngSizesBeyondTheBoundAreRefusedFromTheHeader) {
    // A one-pixel file whose header claims 9000 x 9000 pixels: refused by the bound before a
    // picture of that size (324 MB) is asked for.
    Bytes png = encode("png", 1, 1, 4, {1, 2, 3, 4});
    for (size_t at : {16u, 20u}) {  // the header's width and height, big-endian
        png[at] = 0;
        png[at + 1] = 0;
        png[at + 2] = 0x23;
        png[at + 3] = 0x28;
    }
    DecodedImage image;
    std::string error;
    EXPECT_FALSE(decodeImage(png.data(), png.size(), image, error));
    EXPECT_NE(std::string::npos, error.find("9000x9000 is not supported")) << error;
    EXPECT_EQ(0u, image.pixels.capacity());
}

TEST(ImageDecoderTest, DdsSizesAreCheckedBeforeAnythingIsAllocated) {
    struct Case {
        const char* name;
        Bytes bytes;
        const char* reason;
    } cases[] = {
        {"32-bit 8192x8192, header only", ddsHeader(8192, 8192, 0x40, nullptr, 32), "truncated"},
        {"DXT5 8192x8192, one block",
         [] {
             Bytes b = ddsHeader(8192, 8192, 0x4, "DXT5", 0);
             b.resize(b.size() + 16, 0);
             return b;
         }(),
         "truncated"},
        {"unknown format 4096x4096", ddsHeader(4096, 4096, 0x2, nullptr, 8), "pixel format"},
        {"wider than the bound", ddsHeader(8193, 1, 0x40, nullptr, 32), "not supported"},
        {"taller than the bound", ddsHeader(1, 0xFFFFFFFFu, 0x40, nullptr, 32), "not supported"},
    };
    for (const Case& c : cases) {
        DecodedImage image;
        std::string error;
        EXPECT_FALSE(decodeImage(c.bytes.data(), c.bytes.size(), image, error)) << c.name;
        EXPECT_NE(std::string::npos, error.find(c.reason)) << c.name << ": " << error;
        EXPECT_EQ(0u, image.pixels.capacity()) << c.name << ": nothing allocated for a refused file";
    }
}

struct TextureIOTest : ::testing::Test {
    Gpu::GpuSystem* system = Gpu::createGpuSystem(Gpu::kSdkVersion);
    Gpu::GpuDevice* device = nullptr;
    std::filesystem::path dir;
    void SetUp() override {
        Gpu::PresentParameters pp;
        pp.backBufferWidth = 16;
        pp.backBufferHeight = 16;
        ASSERT_EQ(Gpu::kOk, system->createDevice(0, Gpu::kDeviceHal, 0, 0, &pp, &device));
        dir = std::filesystem::temp_directory_path() /
              ("gpux_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        Gpu::safeRelease(device);
        Gpu::safeRelease(system);
        std::filesystem::remove_all(dir);
    }
};

TEST_F(TextureIOTest, ImagesArePaddedToPowersOfTwoInTheTopLeftCorner) {
    struct Case {
        int comp;
        uint32_t format;
        uint32_t padding;
    } cases[] = {{4, Gpu::kFormatA8R8G8B8, 0x00000000u}, {3, Gpu::kFormatX8R8G8B8, 0xFF000000u}};
    for (const Case& c : cases) {
        std::vector<uint8_t> data(100 * 60 * size_t(c.comp), 200);
        const Bytes png = encode("png", 100, 60, c.comp, data);
        Gpu::GpuTexture* t = nullptr;
        ImageInfo info;
        ASSERT_EQ(Gpu::kOk, createTextureFromMemory(device, png.data(), png.size(), Gpu::kPoolManaged, &t, &info));
        Gpu::SurfaceDesc desc;
        t->getLevelDesc(0, &desc);
        EXPECT_EQ(128u, desc.width);
        EXPECT_EQ(64u, desc.height);
        EXPECT_EQ(c.format, desc.format);
        EXPECT_EQ(100u, info.width);
        const Gpu::PixelImage& image = *t->image();
        EXPECT_EQ(c.comp == 4 ? 0xC8C8C8C8u : 0xFFC8C8C8u, image.row(59)[99]);
        EXPECT_EQ(c.padding, image.row(59)[100]);
        EXPECT_EQ(c.padding, image.row(60)[0]);
        t->release();
    }
    const char junk[] = "not an image at all";
    Gpu::GpuTexture* t = nullptr;
    std::string error;
    EXPECT_EQ(kErrInvalidData,
              createTextureFromMemory(device, junk, sizeof junk, Gpu::kPoolManaged, &t, nullptr, &error));
    EXPECT_EQ(nullptr, t);
    EXPECT_FALSE(error.empty());
}

// Uncompressed DDS files go straight into the texture's rows: the common B, G, R, A layout is
// copied as it stands, any other layout converted channel by channel.
TEST_F(TextureIOTest, UncompressedDdsLandsInTheTextureRowsInEveryChannelLayout) {
    struct Case {
        const char* name;
        uint32_t pfFlags;
        uint32_t bits;
        std::array<uint32_t, 4> masks;  // red, green, blue, alpha
        uint32_t stored;                // the file's pixel value, little-endian
        uint32_t expected;
        uint32_t format;
    } cases[] = {
        {"A8R8G8B8",
         0x41,
         32,
         {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u},
         0x80112233u,
         0x80112233u,
         Gpu::kFormatA8R8G8B8},
        {"X8R8G8B8, no alpha mask",
         0x40,
         32,
         {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0},
         0x00112233u,
         0xFF112233u,
         Gpu::kFormatX8R8G8B8},
        {"A8B8G8R8",
         0x41,
         32,
         {0x000000FFu, 0x0000FF00u, 0x00FF0000u, 0xFF000000u},
         0x80332211u,
         0x80112233u,
         Gpu::kFormatA8R8G8B8},
        {"R8G8B8, 24-bit",
         0x40,
         24,
         {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0},
         0x112233u,
         0xFF112233u,
         Gpu::kFormatX8R8G8B8},
        {"A2R10G10B10",
         0x41,
         32,
         {0x3FF00000u, 0x000FFC00u, 0x000003FFu, 0xC0000000u},
         0x3u << 30 | 0x3FFu << 20 | 0x200u << 10 | 0u,
         0xFFFF8000u,
         Gpu::kFormatA8R8G8B8},
    };
    for (const Case& c : cases) {
        // 3 x 2 pixels, the last one `stored`, the others zero: a 4 x 2 texture with a column
        // of padding.
        Bytes file = ddsHeader(3, 2, c.pfFlags, nullptr, c.bits, c.masks);
        const size_t pixelBytes = c.bits / 8;
        file.resize(file.size() + 6 * pixelBytes, 0);
        std::memcpy(file.data() + file.size() - pixelBytes, &c.stored, pixelBytes);
        Gpu::GpuTexture* t = nullptr;
        ASSERT_EQ(Gpu::kOk, createTextureFromMemory(device, file.data(), file.size(), Gpu::kPoolManaged, &t)) << c.name;
        Gpu::SurfaceDesc desc;
        t->getLevelDesc(0, &desc);
        EXPECT_EQ(c.format, desc.format) << c.name;
        const Gpu::PixelImage& image = *t->image();
        EXPECT_EQ(c.expected, image.row(1)[2]) << c.name;
        EXPECT_EQ(c.format == Gpu::kFormatX8R8G8B8 ? 0xFF000000u : 0u, image.row(1)[0]) << c.name;
        EXPECT_EQ(c.format == Gpu::kFormatX8R8G8B8 ? 0xFF000000u : 0u, image.row(1)[3]) << c.name << ": padding";
        t->release();
    }
}

TEST_F(TextureIOTest, SavedPngReadsBackAsTheSurfaceAndFilesLoadByEnginePath) {
    Gpu::GpuTexture* rt = nullptr;
    ASSERT_EQ(Gpu::kOk,
              device->createTexture(3, 2, 1, Gpu::kUsageRenderTarget, Gpu::kFormatX8R8G8B8, Gpu::kPoolDefault, &rt));
    Gpu::LockedRect lr;
    rt->lockRect(0, &lr, nullptr, 0);
    static_cast<uint32_t*>(lr.bits)[4] = 0x00123456u;  // the X byte is not colour
    rt->unlockRect(0);
    Gpu::GpuSurface* level = nullptr;
    rt->getSurfaceLevel(0, &level);
    const std::u16string path = std::filesystem::path(dir / "shot.png").u16string();
    ASSERT_EQ(Gpu::kOk, saveSurfaceToPngFile(path, level));
    level->release();
    rt->release();

    // Back through the file loader, with the engine's backslash separators.
    std::u16string enginePath = path;
    for (char16_t& ch : enginePath) {
        ch = ch == u'/' ? u'\\' : ch;
    }
    Gpu::GpuTexture* loaded = nullptr;
    ASSERT_EQ(Gpu::kOk, createTextureFromFile(device, enginePath, Gpu::kPoolManaged, &loaded));
    EXPECT_EQ(0xFF123456u, loaded->image()->row(1)[1]);
    EXPECT_EQ(0xFF000000u, loaded->image()->row(0)[0]);
    loaded->release();

    std::string error;
    EXPECT_LT(createTextureFromFile(device, u"missing\\none.png", Gpu::kPoolManaged, &loaded, nullptr, &error), 0);
    EXPECT_NE(std::string::npos, error.find("missing/none.png"));
}

}  // namespace
}  // namespace Platform::Gpux
