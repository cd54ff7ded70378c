#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <stb/stb_image.h>

#include "platform/kernel/ChildProcess.h"
#include "platform/kernel/Process.h"
#include "tools/fontbaker/BakeError.h"
#include "tools/fontbaker/CharacterSet.h"
#include "tools/fontbaker/CommandLine.h"
#include "tools/fontbaker/FontBaker.h"

namespace fs = std::filesystem;
using namespace Orvex::Tools::FontBaker;

namespace {

std::vector<uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// What the engine's loader reads back from a binary font file, read independently of the
// writer: every block bounds-checked, names terminated, records whole.
struct ReadGlyph {
    uint32_t id;
    uint16_t x, y, width, height;
    int16_t xoffset, yoffset, xadvance;
    uint8_t page, chnl;
};
struct ReadFont {
    std::vector<uint8_t> blockTypes;
    uint16_t fontSize = 0;
    uint16_t lineHeight = 0, base = 0, scaleW = 0, scaleH = 0, pages = 0;
    std::vector<std::string> pageNames;
    std::vector<ReadGlyph> glyphs;
    size_t kerningPairs = 0;
};

class Cursor {
public:
    Cursor(const std::vector<uint8_t>& bytes, size_t at, size_t end) : bytes_(bytes), at_(at), end_(end) {}
    uint32_t le(int size) {
        if (end_ - at_ < static_cast<size_t>(size)) throw std::runtime_error("read past the end of a block");
        uint32_t value = 0;
        for (int i = 0; i < size; ++i) value |= uint32_t{bytes_[at_ + i]} << (8 * i);
        at_ += size;
        return value;
    }
    std::string name() {
        const auto begin = bytes_.begin() + static_cast<ptrdiff_t>(at_);
        const auto stop = std::find(begin, bytes_.begin() + static_cast<ptrdiff_t>(end_), uint8_t{0});
        if (stop == bytes_.begin() + static_cast<ptrdiff_t>(end_)) throw std::runtime_error("unterminated name");
        std::string text(begin, stop);
        at_ += text.size() + 1;
        return text;
    }
    size_t left() const { return end_ - at_; }

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_;
    size_t end_;
};

ReadFont readFont(const std::vector<uint8_t>& file) {
    if (file.size() < 4 || file[0] != 0x42 || file[1] != 0x4D || file[2] != 0x46 || file[3] != 0x03) {
        throw std::runtime_error("bad magic");
    }
    ReadFont font;
    size_t at = 4;
    while (at < file.size()) {
        Cursor header(file, at, file.size());
        const auto type = static_cast<uint8_t>(header.le(1));
        const uint32_t size = header.le(4);
        if (size == 0) throw std::runtime_error("empty block (would end the file early)");
        if (file.size() - at - 5 < size) throw std::runtime_error("block larger than the file");
        Cursor block(file, at + 5, at + 5 + size);
        font.blockTypes.push_back(type);
        switch (type) {
            case 1:
                font.fontSize = static_cast<uint16_t>(block.le(2));
                break;
            case 2:
                font.lineHeight = static_cast<uint16_t>(block.le(2));
                font.base = static_cast<uint16_t>(block.le(2));
                font.scaleW = static_cast<uint16_t>(block.le(2));
                font.scaleH = static_cast<uint16_t>(block.le(2));
                font.pages = static_cast<uint16_t>(block.le(2));
                break;
            case 3:
                while (block.left() > 0) font.pageNames.push_back(block.name());
                break;
            case 4:
                if (size % 20 != 0) throw std::runtime_error("chars block not whole records");
                while (block.left() > 0) {
                    ReadGlyph g{};
                    g.id = block.le(4);
                    g.x = static_cast<uint16_t>(block.le(2));
                    g.y = static_cast<uint16_t>(block.le(2));
                    g.width = static_cast<uint16_t>(block.le(2));
                    g.height = static_cast<uint16_t>(block.le(2));
                    g.xoffset = static_cast<int16_t>(block.le(2));
                    g.yoffset = static_cast<int16_t>(block.le(2));
                    g.xadvance = static_cast<int16_t>(block.le(2));
                    g.page = static_cast<uint8_t>(block.le(1));
                    g.chnl = static_cast<uint8_t>(block.le(1));
                    font.glyphs.push_back(g);
                }
                break;
            case 5:
                if (size % 10 != 0) throw std::runtime_error("kerning block not whole pairs");
                font.kerningPairs = size / 10;
                break;
            default:
                throw std::runtime_error("unknown block type " + std::to_string(type));
        }
        at += 5 + size;
    }
    return font;
}

class FontBakerTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("orvex-fontbaker-" + std::to_string(Platform::Kernel::processId()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    BakeOptions options(const std::u32string& extra, uint32_t pageSize = 128) const {
        BakeOptions o;
        o.name = "font_01";
        o.outputRoot = root_;
        o.pixelSize = 30;
        o.lineHeight = 40;
        o.pageSize = pageSize;
        o.characters = buildCharacterSet(std::vector<char32_t>(extra.begin(), extra.end()), true);
        return o;
    }

    fs::path root_;
};

// The kana, kanji, full-width forms and ASCII the game draws.
const std::u32string kSample = U"あア一鼠【】、。！Ｈ　";

const ReadGlyph* findGlyph(const ReadFont& font, char32_t id) {
    for (const ReadGlyph& g : font.glyphs) {
        if (g.id == id) return &g;
    }
    return nullptr;
}

// Spacing added to the face's own line is shared above and below: every glyph moves down by half
// of it, the base with them.
TEST_F(FontBakerTest, ATallerLineSharesItsExtraSpaceAboveAndBelowTheGlyphs) {
    BakeOptions natural = options(U"あ一！", 512);
    natural.lineHeight = 0;
    natural.name = "natural";
    BakeOptions tall = natural;
    const ReadFont own = readFont(readFile(bakeFont(natural).fontFile));
    tall.name = "tall";
    tall.lineHeight = own.lineHeight + 11u;
    const ReadFont taller = readFont(readFile(bakeFont(tall).fontFile));
    EXPECT_EQ(taller.lineHeight, own.lineHeight + 11);
    EXPECT_EQ(taller.base, own.base + 5);
    ASSERT_EQ(taller.glyphs.size(), own.glyphs.size());
    for (size_t i = 0; i < own.glyphs.size(); ++i) {
        EXPECT_EQ(taller.glyphs[i].yoffset, own.glyphs[i].yoffset + 5) << own.glyphs[i].id;
    }
}

TEST_F(FontBakerTest, WritesBlocksPagesAndGlyphsTheLoaderExpects) {
    const BakeOptions o = options(kSample);
    const BakeSummary summary = bakeFont(o);
    ASSERT_EQ(summary.fontFile, root_ / "font_01" / "font_01.fnt");

    const ReadFont font = readFont(readFile(summary.fontFile));
    ASSERT_GE(font.blockTypes.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(font.blockTypes.begin(), font.blockTypes.begin() + 4),
              (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(font.fontSize, 30);
    EXPECT_EQ(font.lineHeight, 40);
    EXPECT_GT(font.base, 0);
    EXPECT_LE(font.base, 40);
    EXPECT_EQ(font.scaleW, 128);
    EXPECT_EQ(font.scaleH, 128);

    // 106 glyphs of about 30 texels cannot share one 128x128 page.
    ASSERT_GT(font.pages, 1);
    ASSERT_EQ(font.pageNames.size(), font.pages);
    ASSERT_EQ(summary.pageFiles.size(), font.pages);
    for (size_t i = 0; i < font.pageNames.size(); ++i) {
        EXPECT_EQ(font.pageNames[i], "font_01_" + std::to_string(i) + ".png");
        EXPECT_TRUE(fs::exists(root_ / "font_01" / font.pageNames[i])) << font.pageNames[i];
    }

    std::vector<uint32_t> ids;
    for (const ReadGlyph& g : font.glyphs) {
        ids.push_back(g.id);
        EXPECT_EQ(g.chnl, 15) << g.id;
        EXPECT_LT(g.page, font.pages) << g.id;
        if (g.width == 0 || g.height == 0) continue;
        // Inside the page, a texel off every edge.
        EXPECT_GE(g.x, 1) << g.id;
        EXPECT_GE(g.y, 1) << g.id;
        EXPECT_LE(g.x + g.width, 127) << g.id;
        EXPECT_LE(g.y + g.height, 127) << g.id;
    }
    std::vector<uint32_t> expected(o.characters.begin(), o.characters.end());
    EXPECT_EQ(ids, expected);

    // No two glyphs share a texel, and filtering one never reaches another.
    for (size_t a = 0; a < font.glyphs.size(); ++a) {
        for (size_t b = a + 1; b < font.glyphs.size(); ++b) {
            const ReadGlyph& p = font.glyphs[a];
            const ReadGlyph& q = font.glyphs[b];
            if (p.page != q.page || p.width == 0 || p.height == 0 || q.width == 0 || q.height == 0) continue;
            const int gap = static_cast<int>(kGlyphSpacing);
            const bool apart = p.x + p.width + gap <= q.x || q.x + q.width + gap <= p.x ||
                               p.y + p.height + gap <= q.y || q.y + q.height + gap <= p.y;
            EXPECT_TRUE(apart) << "glyphs " << p.id << " and " << q.id << " overlap";
        }
    }

    // Full-width glyphs advance a whole em, half-width ones half of it.
    ASSERT_NE(findGlyph(font, U'あ'), nullptr);
    EXPECT_EQ(findGlyph(font, U'あ')->xadvance, 30);
    EXPECT_EQ(findGlyph(font, U'　')->xadvance, 30);
    EXPECT_EQ(findGlyph(font, U'A')->xadvance, 15);
    EXPECT_EQ(findGlyph(font, U' ')->width, 0);
}

TEST_F(FontBakerTest, PageTexelsAreWhiteWithCoverageOnlyInsideGlyphs) {
    const BakeSummary summary = bakeFont(options(kSample));
    const ReadFont font = readFont(readFile(summary.fontFile));
    std::vector<bool> inked(font.glyphs.size(), false);
    for (size_t page = 0; page < summary.pageFiles.size(); ++page) {
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load(summary.pageFiles[page].c_str(), &width, &height, &channels, 4);
        ASSERT_NE(pixels, nullptr) << summary.pageFiles[page];
        EXPECT_EQ(width, 128);
        EXPECT_EQ(height, 128);
        EXPECT_EQ(channels, 4);
        size_t stray = 0, notWhite = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const stbi_uc* texel = pixels + (static_cast<size_t>(y) * width + x) * 4;
                if (texel[0] != 255 || texel[1] != 255 || texel[2] != 255) ++notWhite;
                if (texel[3] == 0) continue;
                bool inside = false;
                for (size_t g = 0; g < font.glyphs.size(); ++g) {
                    const ReadGlyph& r = font.glyphs[g];
                    if (r.page == page && x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height) {
                        inside = inked[g] = true;
                    }
                }
                if (!inside) ++stray;
            }
        }
        stbi_image_free(pixels);
        EXPECT_EQ(stray, 0u) << "coverage outside every glyph on page " << page;
        EXPECT_EQ(notWhite, 0u) << "page " << page;
    }
    for (size_t g = 0; g < font.glyphs.size(); ++g) {
        if (font.glyphs[g].width > 0 && font.glyphs[g].height > 0) {
            EXPECT_TRUE(inked[g]) << "glyph " << font.glyphs[g].id << " has an empty rectangle";
        }
    }
}

TEST_F(FontBakerTest, SameInputGivesSameBytesAndAFewerPagesBakeRemovesOldPages) {
    BakeOptions first = options(kSample);
    first.outputRoot = root_ / "a";
    BakeOptions second = first;
    second.outputRoot = root_ / "b";
    const BakeSummary a = bakeFont(first);
    const BakeSummary b = bakeFont(second);
    EXPECT_EQ(readFile(a.fontFile), readFile(b.fontFile));
    ASSERT_EQ(a.pageFiles.size(), b.pageFiles.size());
    for (size_t i = 0; i < a.pageFiles.size(); ++i) EXPECT_EQ(readFile(a.pageFiles[i]), readFile(b.pageFiles[i]));

    // Rebaking into the same directory on larger pages leaves no page of the old bake behind.
    BakeOptions larger = first;
    larger.pageSize = 512;
    const BakeSummary c = bakeFont(larger);
    ASSERT_EQ(c.pageFiles.size(), 1u);
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(root_ / "a" / "font_01")) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2u);  // font_01.fnt and font_01_0.png
}

TEST_F(FontBakerTest, RefusesBadInputWithAClearMessageAndWritesNothing) {
    const fs::path textFile = root_.string() + "-not-a-font.txt";
    std::ofstream(textFile) << "plain text";
    struct Case {
        const char* what;
        std::function<void(BakeOptions&)> change;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"capital letters", [](BakeOptions& o) { o.name = "Font_01"; }, "font name \"Font_01\""},
        {"path in the name", [](BakeOptions& o) { o.name = "../x"; }, "font name"},
        {"size 0", [](BakeOptions& o) { o.pixelSize = 0; }, "font size 0"},
        {"page not a power of two", [](BakeOptions& o) { o.pageSize = 100; }, "page size 100"},
        {"no characters", [](BakeOptions& o) { o.characters.clear(); }, "character set is empty"},
        {"family not installed", [](BakeOptions& o) { o.family = "NoSuchFamilyOrvex"; },
         "\"NoSuchFamilyOrvex\" is not installed"},
        {"not a font file", [&](BakeOptions& o) { o.fontFile = textFile.string(); }, "not a font"},
        {"character the font lacks", [](BakeOptions& o) { o.characters.push_back(0x0378); },
         "no glyph for 1 character(s): U+0378"},
        {"glyph larger than a page",
         [](BakeOptions& o) {
             o.pixelSize = 200;
             o.pageSize = 64;
         },
         "does not fit on a page of 64x64"},
    };
    for (const Case& c : cases) {
        BakeOptions o = options(U"あ");
        c.change(o);
        try {
            bakeFont(o);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const BakeError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.what << ": " << error.what();
        }
        EXPECT_FALSE(fs::exists(root_)) << c.what << ": wrote output";
    }
    fs::remove(textFile);
}

TEST(FontBakerCharacterSet, DecodesUtf8AndNamesTheOffsetOfBadBytes) {
    EXPECT_EQ(decodeUtf8("a\xE3\x81\x82\xF0\x9F\x98\x80", "t"), (std::vector<char32_t>{U'a', U'あ', 0x1F600}));
    struct Case {
        std::string bytes;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"ab\xFF", "list.txt: invalid UTF-8 at byte 2 (bad lead byte)"},
        {"\xE3\x81", "byte 0 (sequence cut off"},
        {"x\xE3\x41\x82", "byte 1 (bad continuation"},
        {"\xC0\x80", "overlong"},
        {"\xED\xA0\x80", "surrogate"},
        {"\xF4\x90\x80\x80", "beyond U+10FFFF"},
    };
    for (const Case& c : cases) {
        try {
            decodeUtf8(c.bytes, "list.txt");
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const BakeError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

TEST(FontBakerCharacterSet, SortsDropsControlsAddsAsciiAndRefusesCharactersBeyondUtf16Units) {
    const std::vector<char32_t> listed = {U'ん', U'\n', U'あ', 0xFEFF, U'あ', U'\r', U'\t', U'A'};
    EXPECT_EQ(buildCharacterSet(listed, false), (std::vector<char32_t>{U'A', U'あ', U'ん'}));
    const std::vector<char32_t> withAscii = buildCharacterSet(listed, true);
    EXPECT_EQ(withAscii.size(), 95u + 2u);
    EXPECT_EQ(withAscii.front(), U' ');
    EXPECT_TRUE(std::is_sorted(withAscii.begin(), withAscii.end()));
    EXPECT_THROW(buildCharacterSet({0x1F600}, true), BakeError);
}

TEST(FontBakerCommandLine, ParsesOptionsAndRefusesBadOnes) {
    const BakeOptions o =
        parseCommandLine({"--name", "font_00", "--output-root", "out", "--size", "24", "--line-height", "32",
                          "--page-size", "256", "--chars", "いあ", "--no-ascii", "--family", "IPAPGothic"});
    EXPECT_EQ(o.name, "font_00");
    EXPECT_EQ(o.outputRoot, fs::path("out"));
    EXPECT_EQ(o.pixelSize, 24u);
    EXPECT_EQ(o.lineHeight, 32u);
    EXPECT_EQ(o.pageSize, 256u);
    EXPECT_EQ(o.family, "IPAPGothic");
    EXPECT_EQ(o.characters, (std::vector<char32_t>{U'あ', U'い'}));

    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"--output-root", "out"}, "--name is required"},
        {{"--name", "f"}, "--output-root is required"},
        {{"--name", "f", "--output-root", "o", "--size"}, "option --size needs a value"},
        {{"--name", "f", "--output-root", "o", "--size", "3O"}, "\"3O\" is not a whole number"},
        {{"--name", "f", "--output-root", "o", "--colour", "red"}, "unknown option \"--colour\""},
        {{"--name", "f", "--output-root", "o", "--charset-file", "/nonexistent/chars.txt"}, "cannot open"},
    };
    for (const Case& c : cases) {
        try {
            parseCommandLine(c.args);
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const BakeError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

TEST_F(FontBakerTest, ProgramBakesFromACharacterFileAndFailsWithStatusOnBadInput) {
    fs::create_directories(root_);
    std::ofstream(root_ / "chars.txt") << "あいう\n";
    using namespace Platform::Kernel;
    ChildProcess tool;
    ChildOptions good;
    good.arguments = {"--name",         "font_00",
                      "--output-root",  (root_ / "Font").string(),
                      "--charset-file", (root_ / "chars.txt").string()};
    good.output = ChildOutput::kDiscard;
    ASSERT_TRUE(tool.start(ORVEX_FONTBAKER_TOOL, good)) << tool.error();
    const ChildEnd baked = tool.wait();
    EXPECT_TRUE(baked.exited && baked.exitCode == 0) << baked.exitCode << " " << baked.signal;
    const ReadFont font = readFont(readFile(root_ / "Font" / "font_00" / "font_00.fnt"));
    EXPECT_NE(findGlyph(font, U'う'), nullptr);
    EXPECT_NE(findGlyph(font, U'~'), nullptr);
    ChildOptions bad;
    bad.arguments = {"--name", "font_00"};
    bad.errors = ChildOutput::kDiscard;
    ASSERT_TRUE(tool.start(ORVEX_FONTBAKER_TOOL, bad)) << tool.error();
    const ChildEnd refused = tool.wait();
    EXPECT_TRUE(refused.exited && refused.exitCode == 2) << refused.exitCode << " " << refused.signal;
}

}  // namespace
