#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/font/OxBitmapFont.h"
#include "engine/io/OxPackedStreamReader.h"
#include "tests/engine/graphics/GraphicsTestDoubles.h"
#include "tools/packer/OxArchivePacker.h"

namespace Orvex::FontLib {
namespace {

using Bytes = std::vector<uint8_t>;

void putU16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void putU32(Bytes& b, uint32_t v) {
    putU16(b, v & 0xFFFF);
    putU16(b, v >> 16);
}

// A font file written block by block.
struct FontFile {
    Bytes bytes{0x42, 0x4D, 0x46, 0x03};

    FontFile& block(uint8_t type, const Bytes& payload) { return rawBlock(type, uint32_t(payload.size()), payload); }
    FontFile& rawBlock(uint8_t type, uint32_t size, const Bytes& payload) {
        bytes.push_back(type);
        putU32(bytes, size);
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        return *this;
    }
    FontFile& info(uint32_t size) {
        Bytes p;
        putU16(p, size);
        p.resize(14, 0);
        return block(1, p);
    }
    FontFile& common(uint32_t lineHeight, uint32_t base, uint32_t pages) {
        Bytes p;
        putU16(p, lineHeight);
        putU16(p, base);
        putU16(p, 256);
        putU16(p, 256);
        putU16(p, pages);
        p.resize(15, 0);
        return block(2, p);
    }
    FontFile& pages(const std::vector<std::string>& names) {
        Bytes p;
        for (const std::string& n : names) {
            p.insert(p.end(), n.begin(), n.end());
            p.push_back(0);
        }
        return block(3, p);
    }
    static Bytes glyph(uint32_t id, uint32_t x, uint32_t w, int32_t xoffset, int32_t advance, uint8_t page,
                       uint8_t channel = 15) {
        Bytes p;
        putU32(p, id);
        putU16(p, x);
        putU16(p, 2);
        putU16(p, w);
        putU16(p, 12);
        putU16(p, uint32_t(xoffset) & 0xFFFF);
        putU16(p, 1);
        putU16(p, uint32_t(advance) & 0xFFFF);
        p.push_back(page);
        p.push_back(channel);
        return p;
    }
    FontFile& chars(const std::vector<Bytes>& records) {
        Bytes p;
        for (const Bytes& r : records) {
            p.insert(p.end(), r.begin(), r.end());
        }
        return block(4, p);
    }
};

class BitmapFontLoad : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() / ("h9_font_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Packs the font file as Font\<name>\<name>.fnt with the given page entries and loads it.
    uint32_t load(const Bytes& file, const std::vector<std::u16string>& pageEntries = {},
                  const std::u16string& name = u"font_00") {
        std::vector<Packer::PackerEntry> entries;
        entries.push_back({u"Font\\" + name + u"\\" + name + u".fnt", file, false});
        for (const std::u16string& page : pageEntries) {
            entries.push_back({u"Font\\" + name + u"\\" + page, Bytes{1, 2, 3}, false});
        }
        std::string error;
        const auto archive = dir_ / "d000.bin";
        EXPECT_TRUE(Packer::writeArchive(archive, entries, Packer::PackerOptions{}, error)) << error;
        reader_ = std::make_shared<FileArchiver::OxPackedStreamReader>();
        EXPECT_EQ(0u, reader_->openArchives({archive.u16string()}, FileArchiver::OxArchiveOptions{}));
        loader_ = std::make_shared<OxBitmapFontLoader>(&rig_.renderer, reader_);
        loader_->setRootDirectory(u"Font");
        font_ = std::make_shared<OxBitmapFont>(loader_);
        return font_->load(name);
    }

    Graphics::Testing::RendererRig rig_;
    std::filesystem::path dir_;
    std::shared_ptr<FileArchiver::OxPackedStreamReader> reader_;
    std::shared_ptr<OxBitmapFontLoader> loader_;
    std::shared_ptr<OxBitmapFont> font_;
};

TEST_F(BitmapFontLoad, ReadsMetricsGlyphsAndPagesOfAWellFormedFile) {
    FontFile file;
    file.info(24).common(30, 22, 2).pages({"font_00_0.png", "font_00_1.png"});
    file.chars({FontFile::glyph(u'A', 10, 8, -1, 9, 0), FontFile::glyph(0xFFFFFFFFu, 0, 1, 0, 1, 0),
                FontFile::glyph(u'あ', 20, 20, 2, 24, 1), FontFile::glyph(u'A', 40, 7, 0, 11, 0)});
    file.block(5, Bytes(30, 7));  // kerning pairs: accepted, never applied
    ASSERT_EQ(0u, load(file.bytes, {u"font_00_0.png", u"font_00_1.png"})) << loader_->getLastError();
    EXPECT_EQ(u"font_00", font_->name);
    EXPECT_EQ(24u, font_->fontSize);
    EXPECT_EQ(30u, font_->lineHeight);
    EXPECT_EQ(22u, font_->base);
    EXPECT_EQ(2, font_->glyphs.count());
    const OxCharDesc* a = font_->findGlyph(u'A');
    ASSERT_NE(nullptr, a);
    EXPECT_FLOAT_EQ(40.0f, a->left);  // the later record of the same id wins
    EXPECT_FLOAT_EQ(47.0f, a->right);
    EXPECT_FLOAT_EQ(14.0f, a->bottom);
    EXPECT_FLOAT_EQ(11.0f, a->xadvance);
    const OxCharDesc* hiragana = font_->findGlyph(u'あ');
    ASSERT_NE(nullptr, hiragana);
    EXPECT_EQ(1u, hiragana->page);
    EXPECT_FLOAT_EQ(2.0f, hiragana->xoffset);
    ASSERT_EQ(2u, font_->pages.size());
    EXPECT_NE(nullptr, font_->getPage(1));
    EXPECT_EQ(nullptr, font_->getPage(2));
    ASSERT_EQ(2u, rig_.textures.sources.size());
    EXPECT_EQ(u"Font\\font_00\\font_00_1.png", rig_.textures.sources[1]);

    // Only the magic; a zero-sized block ends the parse before later (bad) blocks.
    EXPECT_EQ(0u, load(FontFile().bytes));
    EXPECT_EQ(0, font_->glyphs.count());
    FontFile stops;
    stops.info(12).rawBlock(4, 0, {}).rawBlock(9, 3, {1, 2, 3});
    EXPECT_EQ(0u, load(stops.bytes));
    EXPECT_EQ(12u, font_->fontSize);
}

TEST_F(BitmapFontLoad, NegativeSizeMeansItsMagnitude) {
    const struct {
        uint16_t stored;
        uint32_t size;
    } cases[] = {{24, 24}, {uint16_t(-30), 30}, {uint16_t(-1), 1}, {0x7FFF, 32767}, {0x8000, 32768}};
    for (const auto& c : cases) {
        ASSERT_EQ(0u, load(FontFile().info(c.stored).bytes)) << loader_->getLastError();
        EXPECT_EQ(c.size, font_->fontSize) << c.stored;
    }
}

TEST_F(BitmapFontLoad, MalformedFilesAreRefusedWithAResetFontAndAReason) {
    const Bytes record = FontFile::glyph(u'A', 0, 8, 0, 8, 0);
    Bytes cutRecord(record.begin(), record.end() - 1);
    struct Case {
        const char* name;
        Bytes file;
        const char* reason;
    } cases[] = {
        {"version 2", Bytes{0x42, 0x4D, 0x46, 0x02}, "version 3"},
        {"short magic", Bytes{0x42, 0x4D}, "version 3"},
        {"cut block header",
         [] {
             FontFile f;
             f.bytes.insert(f.bytes.end(), {1, 4, 0});
             return f.bytes;
         }(),
         "header"},
        {"unknown block", FontFile().block(6, Bytes(4)).bytes, "unknown block"},
        {"size past the end", FontFile().rawBlock(1, 0xFFFFFFF0u, Bytes(4)).bytes, "larger than the rest"},
        {"short info", FontFile().block(1, Bytes{7}).bytes, "info block shorter"},
        {"short common", FontFile().block(2, Bytes(9)).bytes, "common block shorter"},
        {"pages before common", FontFile().pages({"a.png"}).common(10, 8, 1).bytes, "before the common"},
        {"more pages than declared", FontFile().common(10, 8, 1).pages({"a.png", "b.png"}).bytes, "more than the 1"},
        {"name without terminator", FontFile().common(10, 8, 1).block(3, Bytes{'a', 'b'}).bytes, "terminator"},
        {"record cut off", FontFile().info(8).block(4, cutRecord).bytes, "cuts a record"},
        {"channel not 15", FontFile().chars({FontFile::glyph(u'B', 0, 8, 0, 8, 0, 4)}).bytes, "channel 4"},
        {"page cannot be opened", FontFile().common(10, 8, 1).pages({"missing.png"}).bytes, "cannot be opened"},
        {"page is not a texture", FontFile().common(10, 8, 1).pages({"broken.png"}).bytes, "not a texture"},
        {"declared page never named", FontFile().common(10, 8, 1).bytes, "cannot be opened"},
    };
    for (const Case& c : cases) {
        const Bytes withGlyphs = [&] {
            // A glyph and metrics first, so a reset is visible.
            FontFile f;
            f.info(16).chars({record});
            Bytes b = f.bytes;
            if (c.file.size() >= 4 && c.file[3] == 3 && c.file[0] == 0x42) {
                b.insert(b.end(), c.file.begin() + 4, c.file.end());
                return b;
            }
            return c.file;
        }();
        EXPECT_EQ(OxBitmapFontLoader::kErrFailed, load(withGlyphs, {u"broken.png"})) << c.name;
        EXPECT_NE(std::string::npos, loader_->getLastError().find(c.reason))
            << c.name << ": " << loader_->getLastError();
        EXPECT_NE(std::string::npos, loader_->getLastError().find("font_00.fnt")) << c.name;
        EXPECT_EQ(0u, font_->fontSize) << c.name;
        EXPECT_EQ(0, font_->glyphs.count()) << c.name;
        EXPECT_TRUE(font_->pages.empty()) << c.name;
        EXPECT_TRUE(font_->name.empty()) << c.name;
        EXPECT_FALSE(reader_->isOpen()) << c.name;
    }
    // The loader recovers: a good file loads after the failures; a missing one fails cleanly.
    EXPECT_EQ(0u, load(FontFile().info(9).bytes));
    EXPECT_EQ(9u, font_->fontSize);
    EXPECT_EQ(OxBitmapFontLoader::kErrFailed, font_->load(u"other"));
    EXPECT_NE(std::string::npos, loader_->getLastError().find("other.fnt: cannot be opened"));
    EXPECT_EQ(OxBitmapFontLoader::kErrNullFont, loader_->load(nullptr, u"font_00"));
}

}  // namespace
}  // namespace Orvex::FontLib
