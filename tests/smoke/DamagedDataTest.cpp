// The real program, headless, on damaged copies of the sample data: every archive missing,
// cut short at several lengths, with bytes flipped in its directory and in its data (fixed
// seeds), a script that is garbage and one that fails, a garbage font, and a folder where
// "config.ini" should be. Each run ends within a bounded time, never by a signal or with a
// sanitizer report; a failed start ends with status 1 and a line naming the damaged file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/io/OxArchiveFormat.h"
#include "tests/smoke/ArchiveImage.h"
#include "tests/smoke/ProgramRun.h"
#include "tools/packer/OxArchivePacker.h"

namespace {

namespace fs = std::filesystem;
namespace Fa = Orvex::FileArchiver;

const std::vector<std::string> kArchives = {"d000.bin", "d100.bin", "d200.bin", "d300.bin",
                                            "d400.bin", "d500.bin", "d900.bin"};
// Failed starts end in well under a second; a run that gets through to its normal end plays
// the logo movie first.
constexpr std::chrono::seconds kRunLimit{60};

// Lower case with '/' separators, so names compare the way the program spells them.
std::string foldName(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string narrow(const std::u16string& name) { return std::string(name.begin(), name.end()); }

using SmokeTest::ArchiveImage;
using SmokeTest::readArchive;
using SmokeTest::readFile;
using SmokeTest::writeFile;

class DamagedData : public SmokeTest::RunFolderTest {
protected:
    SmokeTest::ProgramRun run() {
        // Debug output off: the failure lines must not depend on it.
        // A run the damage did not stop quits from the title.
        return SmokeTest::runProgram(FENWARROW_PROGRAM, runDirectory_,
                                     {"ORVEX_DEBUG_OUTPUT=0", "ORVEX_INPUT_KEYS=" + SmokeTest::quitFromTitle(300)},
                                     kRunLimit);
    }

    // Restores the pristine archive before the next damage.
    void restore(const std::string& archive) {
        fs::copy_file(fs::path(ORVEX_RUN_DIR) / archive, runDirectory_ / archive, fs::copy_options::overwrite_existing);
    }

    // The run ended by itself, through exit, without a sanitizer's word.
    static void expectOrderlyEnd(const SmokeTest::ProgramRun& result, const std::string& what) {
        EXPECT_FALSE(result.timedOut) << what << ": " << result.describe();
        EXPECT_TRUE(result.exited) << what << ": " << result.describe();
        for (const char* report :
             {"Sanitizer", "runtime error:", "ThreadSanitizer", "Segmentation", "terminate called"}) {
            EXPECT_EQ(result.output.find(report), std::string::npos) << what << ": " << result.describe();
        }
    }

    // A failed start: status 1 and a line naming one of `names`.
    static void expectFailureNaming(const SmokeTest::ProgramRun& result, const std::vector<std::string>& names,
                                    const std::string& what) {
        expectOrderlyEnd(result, what);
        EXPECT_EQ(result.exitCode, 1) << what << ": " << result.describe();
        const std::string output = foldName(result.output);
        const bool named = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return output.find(foldName(name)) != std::string::npos;
        });
        EXPECT_TRUE(named) << what << ": no line names " << names.front() << "\n" << result.describe();
    }
};

class DamagedArchive : public DamagedData, public ::testing::WithParamInterface<std::string> {};

TEST_P(DamagedArchive, MissingOrCutShortEndsTheStartNamingIt) {
    const std::string archive = GetParam();
    fs::remove(runDirectory_ / archive);
    expectFailureNaming(run(), {archive}, archive + " missing");

    const std::vector<uint8_t> whole = readFile(fs::path(ORVEX_RUN_DIR) / archive);
    const ArchiveImage image = readArchive(fs::path(ORVEX_RUN_DIR) / archive);
    // Empty, inside the header, inside the directory, inside the data, one byte short.
    std::vector<size_t> lengths = {0, Fa::kArchiveHeaderSize / 2};
    if (image.directoryEnd > Fa::kArchiveHeaderSize) {
        lengths.push_back(Fa::kArchiveHeaderSize + Fa::kArchiveRecordSize / 2);
    }
    if (whole.size() > image.directoryEnd + 1) {
        lengths.push_back((image.directoryEnd + whole.size()) / 2);
        lengths.push_back(whole.size() - 1);
    }
    for (const size_t length : lengths) {
        writeFile(runDirectory_ / archive, std::vector<uint8_t>(whole.begin(), whole.begin() + std::ptrdiff_t(length)));
        expectFailureNaming(run(), {archive}, archive + " cut to " + std::to_string(length) + " bytes");
    }
}

// Flipped bytes need not be noticed (the format carries no checksums): the program then runs
// to its normal end with status 0. When it does notice, it fails like any failed start,
// naming the archive or the damaged entry.
TEST_P(DamagedArchive, FlippedBytesInDirectoryOrDataEndInOrder) {
    const std::string archive = GetParam();
    const std::vector<uint8_t> whole = readFile(fs::path(ORVEX_RUN_DIR) / archive);
    const ArchiveImage image = readArchive(fs::path(ORVEX_RUN_DIR) / archive);
    std::vector<std::string> names = {archive};
    for (const auto& entry : image.entries) {
        // Scripts are named without the suffix of their compiled entries.
        std::string name = narrow(entry.name);
        if (name.ends_with(".lcd")) {
            name.resize(name.size() - 4);
        }
        names.push_back(name);
    }
    struct Region {
        const char* name;
        size_t begin;
        size_t end;
    };
    const Region regions[] = {{"directory", Fa::kArchiveHeaderSize, image.directoryEnd},
                              {"data", image.directoryEnd, whole.size()}};
    for (const Region& region : regions) {
        if (region.end <= region.begin) {
            continue;  // an archive without entries has neither
        }
        std::mt19937 random(static_cast<uint32_t>(std::hash<std::string>{}(archive + region.name) & 0xFFFF));
        std::vector<uint8_t> damaged = whole;
        for (int flips = 0; flips < 8; ++flips) {
            const size_t at = region.begin + random() % (region.end - region.begin);
            damaged[at] = static_cast<uint8_t>(damaged[at] ^ (1u << (random() % 8)));
        }
        writeFile(runDirectory_ / archive, damaged);
        const SmokeTest::ProgramRun result = run();
        const std::string what = archive + " with bytes flipped in its " + region.name;
        expectOrderlyEnd(result, what);
        if (result.exitCode != 0) {
            expectFailureNaming(result, names, what);
        }
        restore(archive);
    }
}

INSTANTIATE_TEST_SUITE_P(EachArchive, DamagedArchive, ::testing::ValuesIn(kArchives),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param.substr(0, info.param.find('.'));
                         });

// Replaces one entry of an archive in the run folder, or leaves it out when `data` is empty.
void replaceEntry(const fs::path& folder, const std::string& archive, const std::u16string& name,
                  const std::vector<uint8_t>& data) {
    ArchiveImage image = readArchive(folder / archive);
    const auto named = [&](const Orvex::Packer::PackerEntry& entry) {
        return foldName(narrow(entry.name)) == foldName(narrow(name));
    };
    const auto found = std::find_if(image.entries.begin(), image.entries.end(), named);
    ASSERT_NE(found, image.entries.end()) << narrow(name) << " is not in " << archive;
    if (data.empty()) {
        image.entries.erase(found);
    } else {
        found->data = data;
    }
    Orvex::Packer::PackerOptions options;
    options.scramble = image.scrambled;
    std::string error;
    ASSERT_TRUE(Orvex::Packer::writeArchive(folder / archive, image.entries, options, error)) << error;
}

std::vector<uint8_t> garbage(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (auto& byte : bytes) {
        byte = static_cast<uint8_t>(random());
    }
    return bytes;
}

std::vector<uint8_t> text(const std::string& source) { return std::vector<uint8_t>(source.begin(), source.end()); }

// The item set-up runs at the start; the title's script when the logo has ended: a title that
// cannot start ends the program too, since no scene would be left to run.
TEST_F(DamagedData, AMissingGarbageOrFailingScriptEndsTheProgramNamingIt) {
    struct Script {
        std::u16string entry;
        const char* name;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> data;  // empty: the entry is left out
    };
    const Case cases[] = {
        {"missing", {}},
        {"garbage", garbage(300, 16)},
        {"an error", text("error('broken on purpose')\n")},
        {"a runtime fault", text("local t = nil\nt.field = 1\n")},
    };
    for (const Script& script : {Script{u"script\\item\\itemsetup.lua.lcd", "script/item/itemsetup.lua"},
                                 Script{u"script\\menu\\demotitle.lua.lcd", "script/menu/demotitle.lua"}}) {
        for (const Case& c : cases) {
            replaceEntry(runDirectory_, "d000.bin", script.entry, c.data);
            expectFailureNaming(run(), {script.name}, std::string(script.name) + " as " + c.what);
            restore("d000.bin");
        }
    }
}

TEST_F(DamagedData, AGarbageFontEndsTheStartNamingIt) {
    const ArchiveImage image = readArchive(runDirectory_ / "d100.bin");
    for (const auto& entry : image.entries) {
        const std::string name = foldName(narrow(entry.name));
        if (name.size() > 4 && name.ends_with(".fnt")) {
            replaceEntry(runDirectory_, "d100.bin", entry.name, garbage(entry.data.size(), 100));
        }
    }
    expectFailureNaming(run(), {"font_01.fnt"}, "garbage fonts");
}

// A common save that cannot be read: a line says so, the file is kept as "c000.bin.bad", and
// the game goes on as without a save (quitting from the title ends with status 0).
TEST_F(DamagedData, ADamagedCommonSaveIsKeptAsideAndTheGameGoesOn) {
    const std::vector<uint8_t> oldSave = readFile(fs::path(ORVEX_RUN_DIR) / "seed" / "c000_old.bin");
    ASSERT_GT(oldSave.size(), 32u);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* reason;  // the check that refused it, as the line names it
    };
    const Case cases[] = {
        {"garbage", garbage(2000, 26), ""},
        {"an old-format save cut short", std::vector<uint8_t>(oldSave.begin(), oldSave.begin() + 24),
         "(old format: the global flags, integers and reals end early (file byte 16))"},
        {"an empty file", {}, "(the file is shorter than its 16-byte header (0 bytes))"},
    };
    for (const Case& c : cases) {
        fs::remove(runDirectory_ / "c000.bin.bad");
        writeFile(runDirectory_ / "c000.bin", c.bytes);
        const SmokeTest::ProgramRun result = run();
        expectOrderlyEnd(result, c.what);
        EXPECT_EQ(result.exitCode, 0) << c.what << ": " << result.describe();
        const std::size_t line = result.output.find("c000.bin: the common save cannot be read (");
        ASSERT_NE(line, std::string::npos) << c.what << ": " << result.describe();
        const std::string said = result.output.substr(line, result.output.find('\n', line) - line);
        EXPECT_NE(said.find(c.reason), std::string::npos) << c.what << ": " << said;
        EXPECT_NE(said.find("; it is kept as c000.bin.bad"), std::string::npos) << c.what << ": " << said;
        EXPECT_EQ(readFile(runDirectory_ / "c000.bin.bad"), c.bytes) << c.what;
        EXPECT_FALSE(fs::exists(runDirectory_ / "c000.bin")) << c.what << ": nothing saved over it";
    }
}

TEST_F(DamagedData, AFolderForTheSettingsFileRunsOnTheDefaultsWithALine) {
    fs::remove(runDirectory_ / "config.ini");
    fs::create_directory(runDirectory_ / "config.ini");
    const SmokeTest::ProgramRun result = run();
    expectOrderlyEnd(result, "config.ini a folder");
    EXPECT_EQ(result.exitCode, 0) << result.describe();
    EXPECT_NE(result.output.find("config.ini: is not a regular file; the default settings are used"), std::string::npos)
        << result.describe();
}

}  // namespace
