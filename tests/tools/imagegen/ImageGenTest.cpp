// The image generator: recipe errors name their line, painters give the layout the game cuts
// from, and every format it writes reads back with the same pixels.
#include <gtest/gtest.h>
#include <stb_image.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "tools/imagegen/ImagePainter.h"
#include "tools/imagegen/ImageRecipe.h"
#include "tools/imagegen/ImageWriter.h"
#include "tools/imagegen/RecipeError.h"

namespace {

using namespace Orvex::Tools::ImageGen;

ImageRecipe recipeOf(const std::string& line) {
    const auto recipes = parseRecipes(line, "test.recipe");
    EXPECT_EQ(recipes.size(), 1u);
    return recipes.at(0);
}

TEST(ImageGenTest, BadRecipesNameTheFileAndLine) {
    const char* const bad[] = {
        "a.png 16",                       // too few fields
        "a.png 0 16 solid FF000000",      // zero width
        "a.png 16 9999 solid FF000000",   // too high
        "../a.png 16 16 solid FF000000",  // leaves the output folder
    };
    for (const char* text : bad) {
        try {
            parseRecipes(std::string("# comment\n\n") + text, "test.recipe");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const RecipeError& error) {
            EXPECT_NE(std::string(error.what()).find("test.recipe:3"), std::string::npos) << error.what();
        }
    }
    const char* const badPaint[] = {
        "a.png 16 16 solid FF00000",                  // seven hex digits
        "a.png 16 16 solid FF000000 1",               // extra argument
        "a.png 16 16 sparkle FF000000",               // unknown painter
        "a.png 100 100 icons",                        // too small for the icon table
        "a.png 256 256 icons FF000000",               // the icons take no colours
        "a.png 1000 480 character hero",              // not the sheet size
        "a.png 1008 480 character dragon",            // no such character
        "a.png 320 240 wallsheet FF000000 FF000000",  // not 4 s x 4 s
        "a.png 80 136 arrows 6",                      // only 4 or 8 directions
        "a.png 64 64 hollow",                         // smaller than its 128 chip
        "a.png 64 64 picture sunset",                 // no such picture
        "a.png 320 80 items sword spoon",             // no such item drawing
        "a.png 64 32 marks 32 star star star",        // three marks, room for two
        "a.png 64 32 marks 32 - spoon",               // no such drawing
    };
    for (const char* text : badPaint) {
        EXPECT_THROW(paint(recipeOf(text)), RecipeError) << text;
    }
    EXPECT_THROW(encodeImage(paint(recipeOf("a.gif 4 4 solid FF000000")), "a.gif"), RecipeError);
}

TEST(ImageGenTest, FrameHasClearCornersOpaqueEdgesAndAFilledCentre) {
    const Canvas frame = paint(recipeOf("f.png 192 192 frame 6 FF8098C8 D0182038"));
    auto at = [&](uint32_t x, uint32_t y) { return frame.pixels[y * frame.width + x]; };
    EXPECT_EQ(at(0, 0) >> 24, 0u);        // rounded-off corner
    EXPECT_EQ(at(96, 1), 0xFF8098C8u);    // top edge, cut into cell 1
    EXPECT_EQ(at(1, 96), 0xFF8098C8u);    // left edge, cell 3
    EXPECT_EQ(at(96, 96), 0xD0182038u);   // centre cell 4, stretched by the window
    EXPECT_EQ(at(64, 64), at(127, 127));  // the centre cell is uniform

    // Set in by a clear margin, the edge lies inside the edge cells, where a window's title
    // line (a bottom edge cell) stays above the text under it.
    const Canvas inset = paint(recipeOf("f.png 192 192 frame 6 FF8098C8 D0182038 8"));
    auto in = [&](uint32_t x, uint32_t y) { return inset.pixels[y * inset.width + x]; };
    EXPECT_EQ(in(96, 4) >> 24, 0u);
    EXPECT_EQ(in(96, 187) >> 24, 0u);
    EXPECT_EQ(in(96, 9), 0xFF8098C8u);
    EXPECT_EQ(in(96, 182), 0xFF8098C8u);
    EXPECT_EQ(in(9, 96), 0xFF8098C8u);
    EXPECT_EQ(in(96, 96), 0xD0182038u);
    EXPECT_THROW(paint(recipeOf("f.png 192 192 frame 6 FF8098C8 D0182038 8 1")), RecipeError);
}

TEST(ImageGenTest, EveryFormatReadsBackTheSamePixels) {
    const Canvas canvas = paint(recipeOf("c 8 4 checker 2 80FF00FF FF102030"));
    for (const char* file : {"c.png", "c.tga", "c.bmp"}) {
        const auto bytes = encodeImage(canvas, file);
        int w = 0, h = 0, n = 0;
        stbi_uc* rgba = stbi_load_from_memory(bytes.data(), int(bytes.size()), &w, &h, &n, 4);
        ASSERT_NE(rgba, nullptr) << file;
        ASSERT_EQ(w, 8);
        ASSERT_EQ(h, 4);
        const bool keepsAlpha = std::string(file) != "c.bmp";
        for (size_t i = 0; i < canvas.pixels.size(); ++i) {
            const uint32_t p = canvas.pixels[i];
            const uint32_t alpha = keepsAlpha ? p >> 24 : 0xFF;
            const uint32_t got = uint32_t(rgba[4 * i + 3]) << 24 | uint32_t(rgba[4 * i]) << 16 |
                                 uint32_t(rgba[4 * i + 1]) << 8 | rgba[4 * i + 2];
            EXPECT_EQ(got, (alpha << 24) | (p & 0xFFFFFFu)) << file << " pixel " << i;
        }
        stbi_image_free(rgba);
    }
    const auto dds = encodeImage(canvas, "c.DDS");
    ASSERT_EQ(dds.size(), 128u + 8 * 4 * 4);
    uint32_t first = 0;
    std::memcpy(&first, dds.data() + 128, 4);  // stored as B, G, R, A: the ARGB value little-endian
    EXPECT_EQ(first, canvas.pixels[0]);
}

// The game decodes these files whenever it enters a floor: every row is unfiltered (the cheap
// form to read back), and the chunks carry the checksums a strict reader insists on.
TEST(ImageGenTest, PngRowsAreUnfilteredAndChunksChecksummed) {
    const Canvas canvas = paint(recipeOf("c 20 6 checker 3 80FF00FF FF102030"));
    const auto png = encodeImage(canvas, "c.png");
    ASSERT_GT(png.size(), 8u);
    auto u32 = [&](size_t at) {
        return uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | uint32_t(png[at + 2]) << 8 | png[at + 3];
    };
    std::vector<uint8_t> packed;
    std::vector<std::string> types;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = u32(at);
        ASSERT_LE(at + 12 + length, png.size());
        types.emplace_back(reinterpret_cast<const char*>(png.data() + at + 4), 4);
        EXPECT_EQ(u32(at + 8 + length), uint32_t(crc32(0, png.data() + at + 4, length + 4))) << types.back();
        if (types.back() == "IDAT") {
            packed.insert(packed.end(), png.begin() + std::ptrdiff_t(at + 8),
                          png.begin() + std::ptrdiff_t(at + 8 + length));
        }
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    const size_t rowBytes = 1 + 20 * 4;
    std::vector<uint8_t> raw(rowBytes * 6);
    uLongf rawSize = uLongf(raw.size());
    ASSERT_EQ(uncompress(raw.data(), &rawSize, packed.data(), uLong(packed.size())), Z_OK);
    ASSERT_EQ(rawSize, raw.size());
    for (size_t y = 0; y < 6; ++y) {
        EXPECT_EQ(raw[y * rowBytes], 0) << "row " << y << " is filtered";
    }
}

TEST(ImageGenTest, PaintingIsDeterministic) {
    const ImageRecipe recipe = recipeOf("i.png 1008 480 character hero");
    EXPECT_EQ(encodeImage(paint(recipe), "i.png"), encodeImage(paint(recipe), "i.png"));
}

}  // namespace
