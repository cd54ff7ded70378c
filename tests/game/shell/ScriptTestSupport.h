#pragma once
// Script host fixtures: the services a controller takes, over a real archive reader (on
// archives packed into a temp folder) and a real random generator.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/io/OxPackedStreamReader.h"
#include "engine/random/OxMT19937RandomGenerator.h"
#include "game/services/IScriptServices.h"
#include "tests/engine/io/TempFolder.h"
#include "tools/packer/OxArchivePacker.h"

namespace ScriptTest {

class TestScriptServices : public Fenwarrow::IScriptServices {
public:
    Orvex::IO::StreamIO::IOrvexStreamReader& getArchiveReader() override { return reader; }
    Orvex::Random::IOrvexRandomGenerator& getRandomGenerator() override { return random; }

    Orvex::FileArchiver::OxPackedStreamReader reader;
    Orvex::Random::OxMT19937RandomGenerator random;
};

inline std::vector<uint8_t> readBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    EXPECT_TRUE(in.good()) << file;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<uint8_t> textBytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// Packs the entries into "d000.bin" in the folder and opens the reader on it the way the game
// does (lower-cased names).
inline void openArchive(TempFolder& folder, Orvex::FileArchiver::OxPackedStreamReader& reader,
                        const std::vector<Orvex::Packer::PackerEntry>& entries) {
    std::string error;
    ASSERT_TRUE(Orvex::Packer::writeArchive(folder / "d000.bin", entries, {}, error)) << error;
    // By its full path: an engine root made later resets the base directory.
    ASSERT_EQ(
        reader.openArchives({TempFolder::engineForm(folder / "d000.bin")}, Orvex::FileArchiver::OxArchiveOptions{}), 0u)
        << Orvex::System::narrow(reader.getLastError());
}

}  // namespace ScriptTest
