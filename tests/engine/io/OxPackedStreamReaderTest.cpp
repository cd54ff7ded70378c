#include "engine/io/OxPackedStreamReader.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

#include "tests/engine/io/TempFolder.h"
#include "tools/packer/OxArchivePacker.h"

namespace {

using namespace Orvex::FileArchiver;
using Orvex::IO::StreamIO::ByteVector;
using Orvex::Packer::PackerEntry;
using Orvex::Packer::PackerOptions;

ByteVector pattern(std::size_t size, uint8_t seed) {
    ByteVector bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(seed + i * 7);
    }
    return bytes;
}

class PackedReader : public ::testing::Test {
protected:
    ByteVector image(const std::vector<PackerEntry>& entries, bool scramble = true) {
        ByteVector bytes;
        std::string error;
        PackerOptions options;
        options.scramble = scramble;
        EXPECT_TRUE(Orvex::Packer::buildArchive(entries, options, bytes, error)) << error;
        return bytes;
    }
    void pack(const std::string& file, const std::vector<PackerEntry>& entries, bool scramble = true) {
        temp_.writeFile(file, image(entries, scramble));
    }
    ByteVector readAll(OxPackedStreamReader& reader, const std::u16string& name) {
        ByteVector out;
        EXPECT_TRUE(reader.open(name)) << Orvex::System::narrow(name);
        EXPECT_TRUE(reader.readToVector(out));
        reader.close();
        return out;
    }

    TempFolder temp_;
};

TEST_F(PackedReader, ReadsBackEveryEntryByteForByte) {
    const std::vector<PackerEntry> entries = {
        {u"Script/Title.lcd", pattern(5000, 1), false},
        {u"Font\\font_00\\font_00.fnt", pattern(300, 2), true},
        {u"Dungeon\\DarkPlane.dds", pattern(70000, 3), false},
        {u"Image/タイトル.png", pattern(33, 4), true},
        {u"empty.txt", {}, true},
    };
    for (const bool scramble : {true, false}) {
        SCOPED_TRACE(scramble ? "scrambled" : "plain");
        pack("d000.bin", entries, scramble);
        OxPackedStreamReader reader;
        ASSERT_EQ(reader.openArchives({u"d000.bin"}, OxArchiveOptions{}), 0u)
            << Orvex::System::narrow(reader.getLastError());
        EXPECT_TRUE(reader.isLoaded());
        for (const PackerEntry& entry : entries) {
            EXPECT_EQ(readAll(reader, entry.name), entry.data);
        }
        // Reading in small steps gives the same bytes as one read.
        ASSERT_TRUE(reader.open(u"Dungeon/DarkPlane.dds"));
        ByteVector pieces;
        uint8_t chunk[999];
        uint32_t got = 0;
        while (reader.read(chunk, sizeof chunk, &got)) {
            pieces.insert(pieces.end(), chunk, chunk + got);
        }
        reader.close();
        EXPECT_EQ(pieces, entries[2].data);
    }
    // Scrambling really changes the bytes on disk.
    const ByteVector plain = image(entries, false);
    const ByteVector scrambled = image(entries, true);
    ASSERT_EQ(plain.size(), scrambled.size());
    EXPECT_NE(ByteVector(plain.begin() + 16, plain.end()), ByteVector(scrambled.begin() + 16, scrambled.end()));
}

TEST_F(PackedReader, LaterArchivesAndLaterRecordsWin) {
    pack("d000.bin", {{u"a.txt", {0}, false}, {u"only0.txt", {1}, false}});
    pack("d500.bin", {{u"a.txt", {5}, true}});
    pack("d900.bin", {{u"a.txt", {9}, false}, {u"b.txt", {1}, false}, {u"b.txt", {2}, true}}, false);
    OxPackedStreamReader reader;
    ASSERT_EQ(reader.openArchives({u"d000.bin", u"d500.bin", u"d900.bin"}, OxArchiveOptions{}), 0u);
    EXPECT_EQ(reader.getArchiveCount(), 3u);
    EXPECT_EQ(readAll(reader, u"a.txt"), ByteVector{9});
    EXPECT_EQ(readAll(reader, u"only0.txt"), ByteVector{1});
    EXPECT_EQ(readAll(reader, u"b.txt"), ByteVector{2});
    EXPECT_FALSE(reader.open(u"missing.txt"));
    EXPECT_FALSE(reader.isOpen());
}

TEST_F(PackedReader, NamesAreNormalisedAndOptionallyLowerCased) {
    pack("d000.bin", {{u"Script/Dungeon/Loading.lua", {1}, false}, {u"map.png", {2}, false}, {u"MAP.png", {3}, false}});
    const struct {
        uint8_t lowerCase;
        std::u16string name;
        bool found;
        uint8_t value;
    } cases[] = {
        {0, u"Script/Dungeon/Loading.lua", true, 1},
        {0, u"Script\\Dungeon\\Loading.lua", true, 1},
        {0, u"script/dungeon/loading.lua", false, 0},  // case-sensitive without the flag
        {0, u"map.png", true, 2},
        {0, u"MAP.png", true, 3},
        {1, u"SCRIPT/Dungeon/loading.LUA", true, 1},
        {1, u"Map.PNG", true, 3},  // both spellings fold to one key: the later record wins
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Orvex::System::narrow(c.name) + (c.lowerCase ? " (lower-case)" : ""));
        OxPackedStreamReader reader;
        ASSERT_EQ(reader.openArchives({u"d000.bin"}, OxArchiveOptions{kArchiveOpenerKey, c.lowerCase}), 0u);
        ASSERT_EQ(reader.open(c.name), c.found);
        if (c.found) {
            EXPECT_EQ(reader.getFileName(), c.name);  // as given
            uint8_t value = 0;
            EXPECT_TRUE(reader.read(&value, 1));
            EXPECT_EQ(value, c.value);
            reader.close();
        }
    }
}

TEST_F(PackedReader, ReadsAndPositionsStayInsideTheEntry) {
    // Neighbours on both sides, so a read that leaves the window would show their bytes.
    for (const bool preload : {false, true}) {
        SCOPED_TRACE(preload ? "preloaded" : "from the file");
        pack("d000.bin", {{u"before", pattern(50, 100), false},
                          {u"entry", pattern(200, 1), preload},
                          {u"after", pattern(50, 200), false}});
        OxPackedStreamReader reader;
        ASSERT_EQ(reader.openArchives({u"d000.bin"}, OxArchiveOptions{}), 0u);
        ASSERT_TRUE(reader.open(u"entry"));
        EXPECT_EQ(reader.getSize(), 200u);

        uint8_t buffer[100] = {};
        uint32_t got = 0;
        uint32_t position = 0;
        ASSERT_TRUE(reader.seek(190));
        ASSERT_TRUE(reader.read(buffer, 100, &got));
        EXPECT_EQ(got, 10u);
        EXPECT_EQ(buffer[0], pattern(200, 1)[190]);
        EXPECT_FALSE(reader.read(buffer, 100, &got));

        EXPECT_TRUE(reader.seek(200));
        EXPECT_FALSE(reader.seek(201));
        ASSERT_TRUE(reader.rewind());
        ASSERT_TRUE(reader.skip(120));
        ASSERT_TRUE(reader.tell(position));
        EXPECT_EQ(position, 120u);
        EXPECT_FALSE(reader.skip(81));
        EXPECT_FALSE(reader.skip(-121));
        ASSERT_TRUE(reader.read(buffer, 1, &got));
        EXPECT_EQ(buffer[0], pattern(200, 1)[120]);
        ASSERT_TRUE(reader.seekToEnd());
        ASSERT_TRUE(reader.tell(position));
        EXPECT_EQ(position, 200u);

        ByteVector out;
        ASSERT_TRUE(reader.rewind());
        EXPECT_FALSE(reader.readToVector(out, 300, &got));  // more than the entry holds
        EXPECT_EQ(out, pattern(200, 1));
        reader.close();
        EXPECT_FALSE(reader.seek(0));
        EXPECT_EQ(reader.getSize(), 0u);
    }
}

TEST_F(PackedReader, AnEmptyEntryReadsAsAnEmptyVector) {
    pack("d000.bin", {{u"empty.lua", {}, false}});
    OxPackedStreamReader reader;
    ASSERT_EQ(reader.openArchives({u"d000.bin"}, OxArchiveOptions{}), 0u);
    ASSERT_TRUE(reader.open(u"empty.lua"));
    ByteVector out = {1, 2, 3};
    EXPECT_TRUE(reader.readToVector(out, 0));
    EXPECT_TRUE(out.empty());
    uint8_t byte = 0;
    EXPECT_FALSE(reader.read(&byte, 1));
}

TEST_F(PackedReader, OneEntrySessionAtATimePerThread) {
    pack("d000.bin", {{u"a", {1}, false}, {u"b", {2}, false}});
    OxPackedStreamReader reader;
    ASSERT_EQ(reader.openArchives({u"d000.bin"}, OxArchiveOptions{}), 0u);
    ASSERT_TRUE(reader.open(u"a"));
    EXPECT_FALSE(reader.open(u"b"));  // the same thread: refused, the first entry stays
    uint8_t byte = 0;
    ASSERT_TRUE(reader.read(&byte, 1));
    EXPECT_EQ(byte, 1);
    reader.close();
    EXPECT_EQ(reader.getFileName(), u"a");  // the name stays after close
    ASSERT_TRUE(reader.open(u"b"));
    reader.close();
    reader.close();  // closing twice is harmless
}

TEST_F(PackedReader, AnotherThreadWaitsForTheOpenEntry) {
    pack("d000.bin", {{u"a", {1}, false}, {u"b", {2}, false}});
    OxPackedStreamReader reader;
    ASSERT_EQ(reader.openArchives({u"d000.bin"}, OxArchiveOptions{}), 0u);
    ASSERT_TRUE(reader.open(u"a"));

    std::promise<uint8_t> secondRead;
    auto result = secondRead.get_future();
    std::thread other([&] {
        uint8_t byte = 0;
        const bool opened = reader.open(u"b");
        if (opened) {
            reader.read(&byte, 1);
            reader.close();
        }
        secondRead.set_value(opened ? byte : 0xFF);
    });
    // While this thread holds its entry the other one must not get in.
    EXPECT_EQ(result.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    uint8_t byte = 0;
    ASSERT_TRUE(reader.read(&byte, 1));
    EXPECT_EQ(byte, 1);
    reader.close();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(result.get(), 2);
    other.join();
}

// A streamed source opens its entry on the game thread and reads and closes it on its own.
TEST_F(PackedReader, ASessionCanBeReadAndClosedFromAnotherThread) {
    pack("d000.bin", {{u"music", {7, 8}, false}, {u"next", {9}, false}});
    OxPackedStreamReader reader;
    ASSERT_EQ(reader.openArchives({u"d000.bin"}, OxArchiveOptions{}), 0u);
    ASSERT_TRUE(reader.open(u"music"));
    ByteVector out;
    std::thread streamer([&] {
        reader.readToVector(out);
        reader.close();
    });
    streamer.join();
    EXPECT_EQ(out, (ByteVector{7, 8}));
    EXPECT_FALSE(reader.isOpen());
    ASSERT_TRUE(reader.open(u"next"));  // the session ended with that close
    reader.close();
}

TEST_F(PackedReader, ThreadsSharingAReaderNeverMixTheirBytes) {
    std::vector<PackerEntry> entries;
    for (int i = 0; i < 4; ++i) {
        entries.push_back(
            {u"file" + std::u16string(1, char16_t(u'0' + i)), pattern(3000 + i * 100, uint8_t(i * 40)), i == 3});
    }
    pack("d000.bin", entries);
    OxPackedStreamReader reader;
    ASSERT_EQ(reader.openArchives({u"d000.bin"}, OxArchiveOptions{}), 0u);
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 100; ++round) {
                const PackerEntry& entry = entries[(t + round) % entries.size()];
                ByteVector out;
                if (!reader.open(entry.name) || !reader.readToVector(out) || out != entry.data) {
                    ++mismatches;
                }
                reader.close();
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches.load(), 0);
}

// Corrupt archives: each is refused, with a message naming the file and the fault.
TEST_F(PackedReader, CorruptArchivesAreRefusedWithAClearError) {
    const ByteVector good = image({{u"a.lua", pattern(100, 1), true}, {u"b.lua", pattern(100, 2), false}}, false);
    auto patched = [&](std::size_t at, uint32_t value) {
        ByteVector bytes = good;
        Orvex::FileArchiver::storeLe32(bytes.data() + at, value);
        return bytes;
    };
    const std::size_t record1 = 16;
    const std::size_t record2 = 16 + 148;
    const struct {
        const char* what;
        ByteVector bytes;
        std::u16string reason;
    } cases[] = {
        {"short header", ByteVector(good.begin(), good.begin() + 10), u"header is truncated"},
        {"foreign magic", patched(0, 0x30414650), u"wrong magic"},
        {"version 2", patched(4, 2), u"version 2"},
        {"65536 entries", patched(8, 65536), u"65536 entries"},
        {"huge count, tiny file", patched(8, 65535), u"directory is truncated"},
        {"truncated directory", ByteVector(good.begin(), good.begin() + 16 + 148 + 20), u"directory is truncated"},
        {"size past the end", patched(record2 + 8, 5000), u"\"b.lua\" lies outside the file"},
        {"offset past the end", patched(record2 + 12, 0x7FFFFFFF), u"\"b.lua\" lies outside the file"},
        {"offset + size wraps",
         [&] {
             ByteVector bytes = patched(record1 + 12, 0xFFFFFF00u);
             Orvex::FileArchiver::storeLe32(bytes.data() + record1 + 8, 0x200);
             return bytes;
         }(),
         u"\"a.lua\" lies outside the file"},
        {"truncated data", ByteVector(good.begin(), good.end() - 1), u"\"b.lua\" lies outside the file"},
    };
    pack("d000.bin", {{u"ok.lua", {7}, false}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        temp_.writeFile("d100.bin", c.bytes);
        OxPackedStreamReader reader;
        EXPECT_EQ(reader.openArchives({u"d000.bin", u"d100.bin", u"d900.bin"}, OxArchiveOptions{}), 0x80000008u);
        EXPECT_FALSE(reader.isLoaded());
        EXPECT_EQ(reader.getArchiveCount(), 1u);  // the archive before the bad one stays
        const std::u16string error = reader.getLastError();
        EXPECT_NE(error.find(u"d100.bin: "), std::u16string::npos) << Orvex::System::narrow(error);
        EXPECT_NE(error.find(c.reason), std::u16string::npos) << Orvex::System::narrow(error);
        EXPECT_EQ(readAll(reader, u"ok.lua"), ByteVector{7});
    }
}

TEST_F(PackedReader, AMissingArchiveIsNamed) {
    OxPackedStreamReader reader;
    EXPECT_EQ(reader.openArchives({u"d000.bin"}, OxArchiveOptions{}), 0x80000008u);
    EXPECT_NE(reader.getLastError().find(u"d000.bin: the archive cannot be opened"), std::u16string::npos);
    OxPackedStreamReader none;
    EXPECT_EQ(none.openArchives({}, OxArchiveOptions{}), 0u);  // an empty list loads
    EXPECT_TRUE(none.isLoaded());
}

}  // namespace
