// Draws marked-up Japanese text with a font baked from the installed Gothic, through the archive,
// the graphics library and the software device, and compares the frame with a reference picture.
//
// Tolerance: fonts rasterised by another FreeType build may differ at glyph edges, so the frame
// matches when the mean absolute difference per channel is at most 2.0 and at most 1% of the
// pixels differ by more than 32 in any channel. ORVEX_UPDATE_REFERENCE=1 rewrites the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <stb_image_write.h>

#include "engine/font/OxBitmapFont.h"
#include "engine/font/OxFontRenderer.h"
#include "engine/io/OxPackedStreamReader.h"
#include "graphics/include/IOrvexGraphics.h"
#include "platform/gpux/ImageDecoder.h"
#include "tools/fontbaker/FontBaker.h"
#include "tools/packer/OxArchivePacker.h"

namespace Orvex::FontLib {
namespace {

namespace fs = std::filesystem;
using Graphics::OxColor;

constexpr uint32_t kWidth = 400;
constexpr uint32_t kHeight = 120;

const std::u16string kText =
    u"<#1.0,0.35,0.35,1.0:COLOR>{0}</COLOR>は<1:ICON>{2}を手に入れた！\n"
    u"所持金<#150:POSX>{3:d}<#1:OFFSET>ゴールド<#Shield:HICON>\n"
    u"<4:COLOR>緑の文字</COLOR>と　全角ＡＢＣ、ascii {5:f}.";

MarkupParameters parameters() {
    return {std::u16string(u"フェンの勇者"), std::u16string(u"Shield"),
            std::u16string(u"鉄の盾"),       int32_t(1234),
            OxColor{0.3f, 1.0f, 0.3f, 1.0f}, 2.5f};
}

std::vector<uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A 16 x 16 icon: a yellow disc on transparent ground.
std::vector<uint8_t> iconPng() {
    std::vector<uint8_t> rgba(16 * 16 * 4, 0);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if ((x - 7.5) * (x - 7.5) + (y - 7.5) * (y - 7.5) < 49.0) {
                uint8_t* p = &rgba[size_t(y * 16 + x) * 4];
                p[0] = 250, p[1] = 210, p[2] = 40, p[3] = 255;
            }
        }
    }
    std::vector<uint8_t> png;
    stbi_write_png_to_func(
        [](void* ctx, void* data, int size) {
            auto* out = static_cast<std::vector<uint8_t>*>(ctx);
            out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        },
        &png, 16, 16, 4, rgba.data(), 16 * 4);
    return png;
}

TEST(MarkupRenderingTest, BakedFontDrawsMarkedUpJapaneseTextAsTheReference) {
    const fs::path work = fs::temp_directory_path() / ("h9_markup_" + std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work);

    // Bake every character the text and its parameters use, onto several small pages.
    const std::u16string used = kText + u"フェンの勇者鉄の盾1234567890.-";
    Tools::FontBaker::BakeOptions options;
    options.name = "font_t";
    options.outputRoot = work / "Font";
    options.family = "IPAPGothic";
    options.pixelSize = 20;
    options.pageSize = 128;
    for (char16_t c : used) {
        if (c >= 0x20) {
            options.characters.push_back(c);
        }
    }
    std::sort(options.characters.begin(), options.characters.end());
    options.characters.erase(std::unique(options.characters.begin(), options.characters.end()),
                             options.characters.end());
    const Tools::FontBaker::BakeSummary baked = Tools::FontBaker::bakeFont(options);
    ASSERT_GE(baked.pageFiles.size(), 2u) << "the test wants a font spread over several pages";

    std::vector<Packer::PackerEntry> entries;
    entries.push_back({u"Font\\font_t\\font_t.fnt", readFile(baked.fontFile), false});
    for (const fs::path& page : baked.pageFiles) {
        entries.push_back({u"Font\\font_t\\" + page.filename().u16string(), readFile(page), false});
    }
    entries.push_back({u"Icon\\shield.png", iconPng(), false});
    std::string error;
    ASSERT_TRUE(Packer::writeArchive(work / "d000.bin", entries, Packer::PackerOptions{}, error)) << error;
    auto reader = std::make_shared<FileArchiver::OxPackedStreamReader>();
    ASSERT_EQ(0u, reader->openArchives({(work / "d000.bin").u16string()}, FileArchiver::OxArchiveOptions{}));

    Graphics::IOrvexGraphics* graphics = OXCreateGraphics(Graphics::kOxGraphicsVersion);
    ASSERT_NE(nullptr, graphics);
    Graphics::OxGraphicsParameters gp;
    gp.width = kWidth;
    gp.height = kHeight;
    ASSERT_EQ(Graphics::kOxOk, graphics->initialize(0, &gp));
    Graphics::IOrvexRenderer* renderer = nullptr;
    ASSERT_EQ(Graphics::kOxOk, graphics->createRenderer(&renderer));
    uint32_t lineHeight = 0;

    {
        auto loader = std::make_shared<OxBitmapFontLoader>(renderer, reader);
        loader->setRootDirectory(u"Font");
        auto font = std::make_shared<OxBitmapFont>(loader);
        ASSERT_EQ(0u, font->load(u"font_t")) << loader->getLastError();
        EXPECT_EQ(20u, font->fontSize);
        EXPECT_EQ(baked.pageFiles.size(), font->pages.size());
        lineHeight = font->lineHeight;
        ASSERT_GT(lineHeight, 0u);

        Graphics::IOrvexTexture* icon = nullptr;
        ASSERT_TRUE(reader->open(u"Icon\\shield.png"));
        ASSERT_EQ(Graphics::kOxOk, renderer->getTextureManager()->createTexture(&icon, reader.get()));
        reader->close();
        OxFontRenderer text(renderer, font);
        text.registerIcon(u"Shield",
                          boost::any(OxTextureTagObject(icon, std::make_shared<OxTextureTagObject::SourceRect>(
                                                                  OxTextureTagObject::SourceRect{0, 0, 16, 16}))));
        icon->release();

        renderer->clear(1, 0xFF182030u, 1.0f, 0);
        ASSERT_EQ(Graphics::kOxOk, renderer->beginScene());
        renderer->getSpriteDraw()->begin();
        text.penX = 8;
        text.penY = 8;
        text.drawText(kText, parameters());
        renderer->getSpriteDraw()->end();
        renderer->endScene();
        ASSERT_EQ(Graphics::kOxOk, renderer->present());
    }
    const auto frame = graphics->getDevice()->getFrameMailbox()->latest();
    ASSERT_NE(nullptr, frame);
    ASSERT_EQ(kWidth, frame->width);

    // The picture shows what the mark-up asks for: red text on the first line, green on the third.
    auto countColour = [&](uint32_t top, uint32_t bottom, auto test) {
        int n = 0;
        for (uint32_t y = top; y < bottom; ++y) {
            for (uint32_t x = 0; x < kWidth; ++x) {
                const uint32_t p = frame->pixels[size_t(y) * kWidth + x];
                n += test(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)) ? 1 : 0;
            }
        }
        return n;
    };
    const uint32_t first = 8, third = 8 + 2 * lineHeight;
    auto red = [](int r, int g, int b) { return r > 200 && g < 150 && b < 150; };
    auto green = [](int r, int g, int b) { return g > 200 && r < 150 && b < 150; };
    auto yellow = [](int r, int g, int b) { return r > 200 && g > 150 && b < 100; };  // the icon
    EXPECT_GT(countColour(first, first + lineHeight, red), 30);
    EXPECT_EQ(0, countColour(first + lineHeight, kHeight, red));
    EXPECT_GT(countColour(third, std::min(kHeight, third + lineHeight), green), 30);
    EXPECT_EQ(0, countColour(0, third, green));
    EXPECT_GT(countColour(first, first + lineHeight, yellow), 20);

    const fs::path reference = fs::path(ORVEX_FIXTURE_DIR) / "font" / "markup_reference.png";
    if (std::getenv("ORVEX_UPDATE_REFERENCE") != nullptr) {
        std::vector<uint8_t> rgba(size_t(kWidth) * kHeight * 4);
        for (size_t i = 0; i < frame->pixels.size(); ++i) {
            const uint32_t p = frame->pixels[i];
            rgba[i * 4 + 0] = uint8_t(p >> 16), rgba[i * 4 + 1] = uint8_t(p >> 8), rgba[i * 4 + 2] = uint8_t(p);
            rgba[i * 4 + 3] = 255;
        }
        fs::create_directories(reference.parent_path());
        ASSERT_NE(0, stbi_write_png(reference.c_str(), int(kWidth), int(kHeight), 4, rgba.data(), int(kWidth) * 4));
    }
    const std::vector<uint8_t> bytes = readFile(reference);
    Platform::Gpux::DecodedImage expected;
    ASSERT_TRUE(Platform::Gpux::decodeImage(bytes.data(), bytes.size(), expected, error)) << reference << ": " << error;
    ASSERT_EQ(kWidth, expected.width);
    ASSERT_EQ(kHeight, expected.height);
    double sum = 0;
    size_t farOff = 0;
    for (size_t i = 0; i < frame->pixels.size(); ++i) {
        int worst = 0;
        for (int shift : {16, 8, 0}) {
            const int d = std::abs(int((frame->pixels[i] >> shift) & 0xFF) - int((expected.pixels[i] >> shift) & 0xFF));
            sum += d;
            worst = std::max(worst, d);
        }
        farOff += worst > 32 ? 1 : 0;
    }
    const double mean = sum / (3.0 * double(frame->pixels.size()));
    EXPECT_LE(mean, 2.0);
    EXPECT_LE(farOff, frame->pixels.size() / 100);

    EXPECT_EQ(Graphics::kOxOk, renderer->shutdown());
    renderer->release();
    graphics->terminate();
    graphics->release();
    fs::remove_all(work);
}

}  // namespace
}  // namespace Orvex::FontLib
