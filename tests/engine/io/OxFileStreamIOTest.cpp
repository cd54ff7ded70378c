#include "engine/io/OxFileStreamIO.h"

#include <gtest/gtest.h>

#include "tests/engine/io/TempFolder.h"

namespace {

using Orvex::IO::StreamIO::ByteVector;
using Orvex::IO::StreamIO::OxFileStreamIO;

TEST(OxFileStreamIO, OpensExistingFilesOnly) {
    TempFolder temp;
    OxFileStreamIO file;
    EXPECT_FALSE(file.open(u"save.bin"));
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.getSize(), 0u);
    uint8_t byte = 0;
    EXPECT_FALSE(file.read(&byte, 1));  // closed: fails without touching the OS

    ASSERT_TRUE(file.createEmptyFile(u"save.bin"));
    ASSERT_TRUE(file.open(u"save.bin"));
    EXPECT_EQ(file.getFileName(), u"save.bin");
    EXPECT_EQ(file.getSize(), 0u);
    EXPECT_FALSE(file.open(u"save.bin"));  // already open
    file.close();
    EXPECT_EQ(file.getFileName(), u"");

    std::filesystem::create_directories(temp / "folder.d");
    EXPECT_FALSE(file.open(u"folder.d"));
}

TEST(OxFileStreamIO, WritesReadsAndPositions) {
    TempFolder temp;
    OxFileStreamIO file;
    ASSERT_TRUE(file.createEmptyFile(u"data.bin"));
    ASSERT_TRUE(file.open(u"data.bin"));

    const ByteVector bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    uint32_t written = 0;
    ASSERT_TRUE(file.writeFromVector(bytes, 0, &written));
    EXPECT_EQ(written, 10u);
    EXPECT_FALSE(file.write(bytes.data(), 0));
    EXPECT_FALSE(file.writeFromVector({}));
    EXPECT_EQ(file.getSize(), 10u);

    uint8_t buffer[16] = {};
    uint32_t got = 99;
    EXPECT_FALSE(file.read(buffer, 4, &got));  // at the end
    EXPECT_EQ(got, 0u);

    ASSERT_TRUE(file.seek(3));
    ASSERT_TRUE(file.read(buffer, 16, &got));  // short read near the end still succeeds
    EXPECT_EQ(got, 7u);
    EXPECT_EQ(buffer[0], 4);

    uint32_t position = 0;
    ASSERT_TRUE(file.rewind());
    ASSERT_TRUE(file.skip(6));
    ASSERT_TRUE(file.tell(position));
    EXPECT_EQ(position, 6u);
    ASSERT_TRUE(file.skip(-2));
    ASSERT_TRUE(file.tell(position));
    EXPECT_EQ(position, 4u);
    EXPECT_FALSE(file.skip(-5));  // before the start

    ASSERT_TRUE(file.truncate());
    EXPECT_EQ(file.getSize(), 4u);
    ASSERT_TRUE(file.seekToEnd());
    ASSERT_TRUE(file.tell(position));
    EXPECT_EQ(position, 4u);
}

TEST(OxFileStreamIO, ReadToVectorKeepsOnlyWhatArrived) {
    TempFolder temp;
    temp.writeFile("part.bin", {10, 20, 30, 40, 50});
    OxFileStreamIO file;
    ASSERT_TRUE(file.open(u"part.bin"));

    ByteVector out;
    uint32_t got = 0;
    ASSERT_TRUE(file.readToVector(out, 0, &got));  // 0 = the whole file
    EXPECT_EQ(out, (ByteVector{10, 20, 30, 40, 50}));

    ASSERT_TRUE(file.seek(3));
    EXPECT_FALSE(file.readToVector(out, 4, &got));  // two bytes left
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(out, (ByteVector{40, 50}));  // no zero tail

    ASSERT_TRUE(file.createEmptyFile(u"empty.bin"));
    OxFileStreamIO empty;
    ASSERT_TRUE(empty.open(u"empty.bin"));
    EXPECT_FALSE(empty.readToVector(out));
}

TEST(OxFileStreamIO, WideStringsTakeTwoBytesPerUnit) {
    TempFolder temp;
    OxFileStreamIO file;
    ASSERT_TRUE(file.createEmptyFile(u"names.bin"));
    ASSERT_TRUE(file.open(u"names.bin"));
    ASSERT_TRUE(file.writeWString(u"勇者A", true));
    ASSERT_TRUE(file.writeWString(u"", true));
    ASSERT_TRUE(file.writeWString(u"tail", false));
    EXPECT_EQ(file.getSize(), 2u * (3 + 1) + 2u + 2u * 4);

    ASSERT_TRUE(file.rewind());
    std::u16string text;
    ASSERT_TRUE(file.readWString(text));
    EXPECT_EQ(text, u"勇者A");
    uint32_t position = 0;
    ASSERT_TRUE(file.tell(position));
    EXPECT_EQ(position, 8u);  // just after the terminator
    ASSERT_TRUE(file.readWString(text));
    EXPECT_EQ(text, u"");
    ASSERT_TRUE(file.readWString(text));  // ends at the end of the file
    EXPECT_EQ(text, u"tail");
    EXPECT_FALSE(file.readWString(text));
}

TEST(OxFileStreamIO, WriteFailsUnlessEveryByteIsWritten) {
    // The full device takes no bytes at all.
    OxFileStreamIO full;
    if (!full.open(u"\\dev\\full")) {
        GTEST_SKIP() << "/dev/full is not available";
    }
    const uint8_t bytes[8] = {};
    uint32_t written = 99;
    EXPECT_FALSE(full.write(bytes, sizeof bytes, &written));
    EXPECT_EQ(written, 0u);
}

}  // namespace
