#include "game/save/CSaveDataController.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

#include "engine/serialization/OxSerializer.h"
#include "tests/engine/io/TempFolder.h"

namespace {

using Fenwarrow::CSaveDataController;
using Orvex::Serialization::OxSerializer;
using Bytes = std::vector<uint8_t>;

OxSerializer serializerWith(const Bytes& bytes) {
    OxSerializer data;
    data.writeBlock(bytes.data(), bytes.size());
    return data;
}

Bytes sampleBytes(std::size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(count);
    for (auto& b : bytes) b = static_cast<uint8_t>(random() % 7);  // compressible, not trivial
    return bytes;
}

// The scrambled 16-byte header.
Bytes forgeHeader(uint8_t version = 1, const char* magic = "HERO") {
    Bytes header(16, 0);
    for (int i = 0; i < 4; ++i) header[i] = static_cast<uint8_t>(magic[i]);
    header[4] = version;
    header[5] = 0x42;
    for (auto& b : header) b ^= 0xB5;
    return header;
}

// A container built here from the format's description alone, independent of the writer.
Bytes forgeContainer(const Bytes& plain, uint8_t version = 1, const char* magic = "HERO") {
    Bytes scrambled = plain;
    for (auto& b : scrambled) b ^= 0xB5;
    uLongf size = compressBound(static_cast<uLong>(scrambled.size()));
    Bytes compressed(size);
    EXPECT_EQ(compress(compressed.data(), &size, scrambled.data(), static_cast<uLong>(scrambled.size())), Z_OK);
    compressed.resize(size);
    Bytes file = forgeHeader(version, magic);
    for (const uint8_t c : compressed) {
        const uint16_t w = static_cast<uint16_t>(c * 255);
        const uint16_t x = static_cast<uint16_t>(w ^ 0x91E3);
        file.insert(file.end(), {uint8_t(x & 0xFF), uint8_t(x >> 8), uint8_t(w & 0xFF), uint8_t(w >> 8)});
    }
    return file;
}

class SaveContainerTest : public ::testing::Test {
protected:
    bool write(const Bytes& bytes, const std::u16string& path = u"save.bin") {
        CSaveDataController controller;
        controller.prepareHeader();
        return controller.writeContainer(serializerWith(bytes), path);
    }
    bool read(Bytes& out, const std::u16string& path = u"save.bin") {
        OxSerializer data;
        data.writeByte(9);  // stale content must not survive the read
        const bool ok = reader.readContainer(data, path);
        EXPECT_FALSE(data.isWriting());
        EXPECT_EQ(data.getPosition(), 0u);
        out = data.getBuffer();
        return ok;
    }

    TempFolder folder;
    CSaveDataController reader;
};

TEST_F(SaveContainerTest, WrittenFileFollowsTheFormatAndReadsBack) {
    for (const Bytes& plain : {Bytes{7}, sampleBytes(2928, 1), sampleBytes(300000, 2)}) {
        SCOPED_TRACE(plain.size());
        const OxSerializer data = serializerWith(plain);
        CSaveDataController writer;
        ASSERT_TRUE(writer.prepareHeader());
        ASSERT_TRUE(writer.writeContainer(data, u"save.bin"));
        EXPECT_EQ(data.getBuffer(), plain);  // the caller's bytes stay plain

        // Decode the file by hand: scrambled header, word pairs, zlib, scrambled bytes.
        const Bytes file = folder.readFile("save.bin");
        ASSERT_GE(file.size(), 16u);
        ASSERT_EQ((file.size() - 16) % 4, 0u);
        const Bytes magic = {'H', 'E', 'R', 'O', 1};
        for (std::size_t i = 0; i < 16; ++i) {
            if (i != 5) {
                EXPECT_EQ(file[i] ^ 0xB5, i < 5 ? magic[i] : 0) << i;
            }
        }
        Bytes compressed;
        for (std::size_t i = 16; i < file.size(); i += 4) {
            const uint16_t x = static_cast<uint16_t>(file[i] | file[i + 1] << 8);
            const uint16_t w = static_cast<uint16_t>(file[i + 2] | file[i + 3] << 8);
            ASSERT_EQ(x ^ 0x91E3, w);
            ASSERT_EQ(w % 255, 0);
            compressed.push_back(static_cast<uint8_t>(w / 255));
        }
        Bytes decoded(plain.size());
        uLongf size = static_cast<uLongf>(decoded.size());
        ASSERT_EQ(uncompress(decoded.data(), &size, compressed.data(), static_cast<uLong>(compressed.size())), Z_OK);
        for (auto& b : decoded) b ^= 0xB5;
        EXPECT_EQ(decoded, plain);

        Bytes back;
        ASSERT_TRUE(read(back));
        EXPECT_EQ(back, plain);
        EXPECT_EQ(reader.getFormatVersion(), 1);
        EXPECT_EQ(reader.getHeader()[0], 'H');
    }
}

TEST_F(SaveContainerTest, TwoWritesOfTheSameDataDifferOnlyInTheClockByte) {
    const Bytes plain = sampleBytes(5000, 3);
    ASSERT_TRUE(write(plain, u"a.bin"));
    ASSERT_TRUE(write(plain, u"b.bin"));
    Bytes a = folder.readFile("a.bin");
    Bytes b = folder.readFile("b.bin");
    ASSERT_EQ(a.size(), b.size());
    a[5] = b[5] = 0;
    EXPECT_EQ(a, b);
}

TEST_F(SaveContainerTest, ReadsFilesForgedFromTheFormat) {
    const Bytes plain = sampleBytes(4000, 4);
    struct Case {
        const char* name;
        std::function<void(Bytes&)> change;
        bool readable;
        bool valid;
        const char* reason;  // part of the refusal's reason
    } cases[] = {
        {"untouched", [](Bytes&) {}, true, true, ""},
        {"other magic", [](Bytes& f) { f[0] = 'X' ^ 0xB5; }, true, false, ""},
        {"one to three stray bytes",
         [](Bytes& f) {
             f.insert(f.end(), {1, 2, 3});
         },
         true, true, ""},
        {"groups after the stream",
         [](Bytes& f) {
             f.insert(f.end(), {0xE3, 0x91, 0, 0, 0x1C, 0x6F, 0xFF, 0xFE});
         },
         true, true, ""},
        {"forged word not a multiple of 255",
         [](Bytes& f) {
             const uint16_t w = static_cast<uint16_t>((f[18] | f[19] << 8) + 1), x = w ^ 0x91E3;
             f[16] = x & 0xFF, f[17] = x >> 8, f[18] = w & 0xFF, f[19] = w >> 8;
         },
         true, true, ""},
        {"first word changed", [](Bytes& f) { f[40] ^= 1; }, false, true,
         "the word pair at body byte 24 does not check"},
        {"second word changed", [](Bytes& f) { f[f.size() - 2] ^= 0x10; }, false, true, "does not check"},
        {"bad group after the stream",
         [](Bytes& f) {
             f.insert(f.end(), {0, 0, 0, 1});
         },
         false, true, "does not check"},
        {"cut inside the stream", [](Bytes& f) { f.erase(f.end() - 32, f.end()); }, false, true,
         "the body ends before its compressed data does"},
        {"header only", [](Bytes& f) { f.resize(16); }, false, true, "the body ends before its compressed data does"},
        {"short header", [](Bytes& f) { f.resize(15); }, false, false, "shorter than its 16-byte header (15 bytes)"},
        {"empty file", [](Bytes& f) { f.clear(); }, false, false, "shorter than its 16-byte header (0 bytes)"},
        {"old version", [](Bytes& f) { f[4] = 0 ^ 0xB5; }, false, false, "of the old format (version 0)"},
        {"unknown version", [](Bytes& f) { f[4] = 2 ^ 0xB5; }, false, false, "version byte reads 2"},
        {"valid groups, no zlib stream",
         [](Bytes& f) {
             for (std::size_t i = 16; i + 4 <= f.size(); i += 4)
                 f[i] = 0xE3, f[i + 1] = 0x91, f[i + 2] = 0, f[i + 3] = 0;
         },
         false, true, "does not inflate at body byte 8 ("},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = forgeContainer(plain);
        c.change(file);
        folder.writeFile("save.bin", file);
        Bytes back;
        EXPECT_EQ(read(back), c.readable);
        EXPECT_EQ(back, c.readable ? plain : Bytes{});
        EXPECT_EQ(CSaveDataController::isValidSaveFile(u"save.bin"), c.valid);
        if (c.readable) {
            EXPECT_EQ(reader.getLastError(), "");
        } else {
            EXPECT_NE(reader.getLastError().find(c.reason), std::string::npos) << reader.getLastError();
        }
    }
    Bytes back;
    EXPECT_FALSE(read(back, u"missing.bin"));
    EXPECT_EQ(reader.getLastError(), "the file cannot be opened");
    EXPECT_NE(reader.getFormatVersion(), CSaveDataController::kOldVersion) << "a missing file is no old save";
    EXPECT_FALSE(CSaveDataController::isValidSaveFile(u"missing.bin"));
}

TEST_F(SaveContainerTest, AFailedWriteKeepsThePreviousFile) {
    const Bytes previous = sampleBytes(1000, 5);
    ASSERT_TRUE(write(previous));
    const Bytes before = folder.readFile("save.bin");
    // The new file cannot be created beside the old one.
    std::filesystem::create_directory(folder / "save.bin.new");
    EXPECT_FALSE(write(sampleBytes(1000, 6)));
    EXPECT_EQ(folder.readFile("save.bin"), before);
    std::filesystem::remove(folder / "save.bin.new");

    ASSERT_TRUE(write(sampleBytes(1000, 6)));
    Bytes back;
    ASSERT_TRUE(read(back));
    EXPECT_EQ(back, sampleBytes(1000, 6));
    EXPECT_FALSE(std::filesystem::exists(folder / "save.bin.new"));
    // A missing directory is a failed write, not a crash.
    EXPECT_FALSE(write(previous, u"NoSuchDir/save.bin"));
}

TEST_F(SaveContainerTest, RefusesABodyThatExpandsWithoutBound) {
    // About 300 MiB of zeros compress to a few hundred KiB: a file that small must not make
    // the reader allocate all of it.
    z_stream stream{};
    ASSERT_EQ(deflateInit(&stream, Z_BEST_COMPRESSION), Z_OK);
    const Bytes zeros(1 << 20, 0);
    Bytes compressed;
    Bytes area(1 << 16);
    for (int block = 0; block < 300; ++block) {
        stream.next_in = const_cast<uint8_t*>(zeros.data());
        stream.avail_in = static_cast<uInt>(zeros.size());
        const int flush = block == 299 ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = area.data();
            stream.avail_out = static_cast<uInt>(area.size());
            deflate(&stream, flush);
            compressed.insert(compressed.end(), area.data(), area.data() + (area.size() - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    Bytes file = forgeHeader();
    for (const uint8_t c : compressed) {
        const uint16_t w = static_cast<uint16_t>(c * 255), x = w ^ 0x91E3;
        file.insert(file.end(), {uint8_t(x & 0xFF), uint8_t(x >> 8), uint8_t(w & 0xFF), uint8_t(w >> 8)});
    }
    folder.writeFile("bomb.bin", file);
    Bytes back;
    EXPECT_FALSE(read(back, u"bomb.bin"));
    EXPECT_TRUE(back.empty());
    EXPECT_EQ(reader.getLastError(), "the data inflates beyond 256 MiB");
}

}  // namespace
