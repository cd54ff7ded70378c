#include "tools/packer/OxArchivePacker.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "engine/io/OxPackedStreamReader.h"
#include "engine/system/OxEngineState.h"
#include "engine/system/OxStringConvert.h"
#include "platform/kernel/Process.h"

namespace {

using namespace Orvex::Packer;
namespace fs = std::filesystem;

class PackerFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("orvex-pack-" + std::to_string(Platform::Kernel::processId()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
        saved_ = Orvex::System::engineState().baseDirectoryW;
        std::u16string base = Orvex::System::widen(root_.string());
        std::replace(base.begin(), base.end(), u'/', u'\\');
        Orvex::System::engineState().baseDirectoryW = base;
    }
    void TearDown() override {
        Orvex::System::engineState().baseDirectoryW = saved_;
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    void write(const fs::path& relative, const std::string& text) {
        fs::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative, std::ios::binary) << text;
    }
    std::string readEntry(Orvex::FileArchiver::OxPackedStreamReader& reader, const std::u16string& name) {
        std::vector<uint8_t> bytes;
        if (!reader.open(name)) return "<missing>";
        reader.readToVector(bytes);
        reader.close();
        return std::string(bytes.begin(), bytes.end());
    }

    fs::path root_;
    std::u16string saved_;
};

TEST(Packer, EntryNamesMustFitTheDirectory) {
    const struct {
        std::string in;
        bool ok;
        std::string message;
    } cases[] = {
        {"Script/Title.lcd", true, ""},
        {std::string(64, 'a'), true, ""},
        {std::string(65, 'a'), false, "is 65 UTF-16 units long; at most 64 fit"},
        {"画像/" + std::string(60, 'x') + "タイトル", false, "is 67 UTF-16 units long"},
        {"", false, "empty name"},
        {"bad\xff", false, "not valid UTF-8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        std::u16string name;
        std::string error;
        EXPECT_EQ(makeEntryName(c.in, name, error), c.ok);
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
    std::u16string name;
    std::string error;
    ASSERT_TRUE(makeEntryName("Font/font_00/font_00.fnt", name, error));
    EXPECT_EQ(name, u"Font\\font_00\\font_00.fnt");

    std::vector<uint8_t> image;
    EXPECT_FALSE(buildArchive({{std::u16string(65, u'b'), {1}, false}}, PackerOptions{}, image, error));
    EXPECT_NE(error.find("at most 64 fit"), std::string::npos);
    EXPECT_TRUE(image.empty());
}

TEST(Packer, PreloadPatterns) {
    const struct {
        std::u16string name;
        std::u16string pattern;
        bool match;
    } cases[] = {
        {u"Font\\font_00\\font_00.fnt", u"Font\\*", true},
        {u"Font\\font_00\\font_00.fnt", u"*.FNT", true},
        {u"Script\\a.lcd", u"*.fnt", false},
        {u"a1.png", u"a?.png", true},
        {u"a12.png", u"a?.png", false},
        {u"abc", u"a*b*c*", true},
        {u"abd", u"a*c", false},
        {u"", u"*", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(matchesPattern(c.name, c.pattern), c.match)
            << Orvex::System::narrow(c.name) << " ~ " << Orvex::System::narrow(c.pattern);
    }
}

TEST_F(PackerFolder, FolderAndListArchivesReadBack) {
    write("src/Script/Title.lcd", "title chunk");
    write("src/Font/font_00.fnt", "font bytes");
    write("src/Image/タイトル.png", "png");
    std::vector<PackerEntry> entries;
    std::string error;
    ASSERT_TRUE(collectFolder(root_ / "src", {u"Font\\*"}, entries, error)) << error;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, u"Font\\font_00.fnt");  // sorted, backslash separators
    EXPECT_TRUE(entries[0].preload);
    EXPECT_FALSE(entries[1].preload);
    ASSERT_TRUE(writeArchive(root_ / "d000.bin", entries, PackerOptions{}, error)) << error;

    write("list.txt", "# overrides\nScript/Title.lcd\tsrc/Font/font_00.fnt\r\n\nextra.txt\t" +
                          (root_ / "src/Image/タイトル.png").string() + "\n");
    std::vector<PackerEntry> listed;
    ASSERT_TRUE(collectList(root_ / "list.txt", {}, listed, error)) << error;
    ASSERT_TRUE(writeArchive(root_ / "d900.bin", listed, PackerOptions{false}, error)) << error;

    Orvex::FileArchiver::OxPackedStreamReader reader;
    ASSERT_EQ(reader.openArchives({u"d000.bin", u"d900.bin"}, Orvex::FileArchiver::OxArchiveOptions{}), 0u)
        << Orvex::System::narrow(reader.getLastError());
    EXPECT_EQ(readEntry(reader, u"script/title.lcd"), "font bytes");
    EXPECT_EQ(readEntry(reader, u"Font/font_00.fnt"), "font bytes");
    EXPECT_EQ(readEntry(reader, u"Image/タイトル.png"), "png");
    EXPECT_EQ(readEntry(reader, u"extra.txt"), "png");
}

TEST_F(PackerFolder, ListErrorsNameTheLine) {
    write("list.txt", "a.txt\tmissing.bin\n");
    write("nosep.txt", "\n# comment\njust-a-name\n");
    std::vector<PackerEntry> entries;
    std::string error;
    EXPECT_FALSE(collectList(root_ / "list.txt", {}, entries, error));
    EXPECT_NE(error.find("list.txt:1: cannot read"), std::string::npos) << error;
    EXPECT_FALSE(collectList(root_ / "nosep.txt", {}, entries, error));
    EXPECT_NE(error.find("nosep.txt:3: expected"), std::string::npos) << error;
}

TEST_F(PackerFolder, CommandLineTool) {
    write("src/Sound/se.wav", "wave");
    write("long/" + std::string(70, 'n'), "x");
    const std::string tool = ORVEX_PACK_TOOL;
    const std::string quiet = " 2>" + (root_ / "stderr.txt").string();
    EXPECT_EQ(std::system((tool + " -o " + (root_ / "d000.bin").string() + " -d " + (root_ / "src").string() +
                           " -p '*.wav'" + quiet)
                              .c_str()),
              0);
    Orvex::FileArchiver::OxPackedStreamReader reader;
    ASSERT_EQ(reader.openArchives({u"d000.bin"}, Orvex::FileArchiver::OxArchiveOptions{}), 0u);
    EXPECT_EQ(readEntry(reader, u"Sound/se.wav"), "wave");

    EXPECT_NE(std::system(
                  (tool + " -o " + (root_ / "bad.bin").string() + " -d " + (root_ / "long").string() + quiet).c_str()),
              0);
    std::ifstream in(root_ / "stderr.txt");
    const std::string message((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(message.find("at most 64 fit"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(root_ / "bad.bin"));
}

}  // namespace
