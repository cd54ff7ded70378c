// Replacing a file whole or not at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/io/OxFileReplace.h"
#include "tests/engine/io/TempFolder.h"

namespace {

using Orvex::IO::replaceFileAtomically;
using Orvex::IO::StreamIO::OxFileStreamIO;

const std::vector<uint8_t> kOld = {1, 2, 3, 4, 5, 6, 7, 8};
const std::vector<uint8_t> kNew = {9, 9, 9};

bool writeNew(OxFileStreamIO& file) { return file.write(kNew.data(), static_cast<uint32_t>(kNew.size())); }

TEST(ReplaceFileAtomically, ReplacesTheWholeFileAndLeavesNoPendingFile) {
    TempFolder folder;
    folder.writeFile("save.dat", kOld);
    // A pending file left by an earlier crash does not get in the way.
    folder.writeFile("save.dat.new", {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7});
    ASSERT_TRUE(replaceFileAtomically(u"save.dat", writeNew));
    EXPECT_EQ(folder.readFile("save.dat"), kNew);
    EXPECT_FALSE(std::filesystem::exists(folder / "save.dat.new"));

    ASSERT_TRUE(replaceFileAtomically(u"fresh.dat", writeNew));  // no earlier file
    EXPECT_EQ(folder.readFile("fresh.dat"), kNew);
}

TEST(ReplaceFileAtomically, AFailureLeavesTheOldFileAndNoPendingFile) {
    TempFolder folder;
    folder.writeFile("save.dat", kOld);
    // The writer fails halfway.
    EXPECT_FALSE(replaceFileAtomically(u"save.dat", [](OxFileStreamIO& file) { return writeNew(file) && false; }));
    EXPECT_EQ(folder.readFile("save.dat"), kOld);
    EXPECT_FALSE(std::filesystem::exists(folder / "save.dat.new"));

    // The target cannot be replaced: a folder stands in its place.
    std::filesystem::create_directories(folder / "taken" / "inside");
    EXPECT_FALSE(replaceFileAtomically(u"taken", writeNew));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken"));
    EXPECT_FALSE(std::filesystem::exists(folder / "taken.new"));
}

}  // namespace
