// The real program, headless, driven by recorded keys through the scenes around the dungeons:
// the trial dungeon taken to its end, its result, the world map (its save, its memo window and
// a story told over it) and the trial again until the turn limit's meltdown ends it; and a
// ranking viewed from the extras. Each run checks what a player would see at each stage against
// reference pictures, the common saves written on the way, and the orderly end of the program.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/smoke/FlowKeyScript.h"
#include "tests/smoke/FrameImage.h"
#include "tests/smoke/ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using SmokeTest::Image;
using SmokeTest::loadPng;
using SmokeTest::meanDifference;

using KeyScript = SmokeTest::FlowKeyScript;

// Frame numbers from `first` to `last`, every `step`.
std::vector<int> frameRange(int first, int last, int step = 20) {
    std::vector<int> frames;
    for (int frame = first; frame <= last; frame += step) frames.push_back(frame);
    return frames;
}

// The frames that may show what the keys from `fromRead` to `toRead` see. The game reads the
// keys once per update and presents at most once per update: on a loaded machine it presents
// fewer frames than it reads, so the window reaches back to 60 % of the first read.
std::vector<int> frameWindow(int fromRead, int toRead) { return frameRange(fromRead * 6 / 10, toRead); }

std::string frameList(const std::vector<std::vector<int>>& ranges) {
    std::string text;
    for (const auto& range : ranges) {
        for (const int frame : range) text += (text.empty() ? "" : ",") + std::to_string(frame);
    }
    return text;
}

// The captured frame among `frames` (in the folder) closest to the reference, and how far it is;
// a distance of 255 when none of them was captured with the reference's size.
struct ClosestFrame {
    fs::path path;
    double difference = 255.0;
};

ClosestFrame closestFrame(const fs::path& folder, const std::vector<int>& frames, const Image& reference) {
    ClosestFrame best;
    for (const int frame : frames) {
        const fs::path path = folder / ("frame" + std::to_string(frame) + ".png");
        const Image image = loadPng(path);
        if (image.rgb.empty() || image.rgb.size() != reference.rgb.size()) continue;
        const double difference = meanDifference(image, reference);
        if (difference < best.difference) best = {path, difference};
    }
    return best;
}

Image reference(const std::string& name) { return loadPng(fs::path(ORVEX_FIXTURE_DIR "/smoke") / name); }

// What a program prints, as text.
std::string commandOutput(const std::string& command) {
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (pipe == nullptr) return output;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe.get()) != nullptr) output += buffer;
    return output;
}

// A global integer as the save tool shows it ("[17]=9"); empty when it is zero.
std::string globalInt(const std::string& shown, int index) {
    const std::string label = " [" + std::to_string(index) + "]=";
    const std::size_t at = shown.find(label);
    if (at == std::string::npos) return {};
    const std::size_t from = at + label.size();
    return shown.substr(from, shown.find_first_of(" \n", from) - from);
}

// Every version of a file while the program runs, in the order they appear. The game replaces
// a save by renaming the finished file over the old one, so each read sees a whole version.
class FileVersions {
public:
    explicit FileVersions(fs::path path) : path_(std::move(path)), watcher_([this] { watch(); }) {}
    ~FileVersions() { stop(); }
    FileVersions(const FileVersions&) = delete;
    FileVersions& operator=(const FileVersions&) = delete;

    // Stops looking (after a last look) and gives the versions seen.
    const std::vector<std::string>& stop() {
        if (watcher_.joinable()) {
            stopping_ = true;
            watcher_.join();
        }
        return versions_;
    }

private:
    void watch() {
        while (!stopping_) {
            look();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        look();
    }
    void look() {
        std::ifstream in(path_, std::ios::binary);
        if (!in) return;
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!bytes.empty() && (versions_.empty() || versions_.back() != bytes)) versions_.push_back(std::move(bytes));
    }

    fs::path path_;
    std::vector<std::string> versions_;
    std::atomic<bool> stopping_{false};
    std::thread watcher_;  // last: it starts once the rest is made
};

using SmokeTest::cut;
using SmokeTest::Region;

// A shown picture matches its reference within a small tolerance (moving parts such as a
// cursor's blink aside).
constexpr double kTolerance = 3.0;

class ProgramFlowTest : public SmokeTest::RunFolderTest {
protected:
    void SetUp() override {
        SmokeTest::RunFolderTest::SetUp();
        // A first run: no common save yet.
        fs::remove(runDirectory_ / "c000.bin");
    }

    SmokeTest::ProgramRun run(const std::string& keys, const std::string& frames) {
        return SmokeTest::runProgram(FENWARROW_PROGRAM, runDirectory_,
                                     {"ORVEX_DEBUG_OUTPUT=1", "ORVEX_INPUT_KEYS=" + keys,
                                      "ORVEX_CAPTURE_FRAMES=" + frames, "ORVEX_CAPTURE_DIR=" + runDirectory_.string()},
                                     std::chrono::seconds(280));
    }

    void expectShown(const std::vector<int>& frames, const std::string& referenceName,
                     const SmokeTest::ProgramRun& run) {
        const Image picture = reference(referenceName);
        ASSERT_EQ(picture.width, 800) << referenceName;
        const ClosestFrame closest = closestFrame(runDirectory_, frames, picture);
        SmokeTest::offerForRenewal(referenceName, loadPng(closest.path));
        EXPECT_LT(closest.difference, kTolerance) << referenceName << " not shown; closest " << closest.path << "\n"
                                                  << run.describe();
    }

    // As expectShown, comparing only `area` of the frames with the same part of the reference.
    // That part must differ clearly from the same part of `unlike` (a frame it must not be
    // taken for), or the comparison would prove nothing.
    void expectShownIn(const std::vector<int>& frames, const std::string& referenceName, const Region& area,
                       const std::string& unlike, const SmokeTest::ProgramRun& run) {
        const Image picture = cut(reference(referenceName), area);
        ASSERT_FALSE(picture.rgb.empty()) << referenceName;
        const Image other = cut(reference(unlike), area);
        ASSERT_EQ(other.rgb.size(), picture.rgb.size()) << unlike;
        EXPECT_GT(meanDifference(picture, other), 4 * kTolerance) << referenceName << " looks like " << unlike;
        double best = 255.0;
        fs::path bestPath;
        for (const int frame : frames) {
            const fs::path path = runDirectory_ / ("frame" + std::to_string(frame) + ".png");
            const Image shown = cut(loadPng(path), area);
            if (shown.rgb.size() != picture.rgb.size()) continue;
            if (const double difference = meanDifference(shown, picture); difference < best) {
                best = difference;
                bestPath = path;
            }
        }
        if (!bestPath.empty()) SmokeTest::offerForRenewal(referenceName, loadPng(bestPath));
        EXPECT_LT(best, kTolerance) << referenceName << " not shown; closest " << bestPath << "\n" << run.describe();
    }

    // What the save tool reads in `bytes`, kept as a file of the run folder under `name`.
    std::string showSave(const std::string& bytes, const std::string& name) {
        const fs::path path = runDirectory_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return commandOutput(std::string("\"") + ORVEX_SAVETOOL + "\" show \"" + path.string() +
                             "\" 2>&1; echo exit $?");
    }
};

// The trial dungeon's floors are one room with the stairs six steps right of the start: the
// player walks there, takes them ("すすむ") on both floors and clears the trial. The result
// (cleared, score) leads to the world map. There the player saves ("記録する"), opens the memo
// window and closes it with the cancel key, hears the test story told over the map, and takes
// the second entry into the trial again; there the player rests (run + attack keys) until the
// turn limit's meltdown. Its result keeps the replay of that dive and leads back to the title,
// where the game is ended.
TEST_F(ProgramFlowTest, TheTrialClearedThenLostToTheTurnLimit) {
    KeyScript keys(300);
    SmokeTest::intoTheTrialBySceneList(keys).wait(300);
    keys.hold({"Right"}, 200).wait(30).press("Z").wait(300);  // 1F: the stairs, "すすむ"
    keys.hold({"Right"}, 200).wait(30).press("Z");            // B2F: out of the trial
    const int resultFrom = keys.read() + 150;
    keys.wait(420);
    const std::vector<int> resultFrames = frameWindow(resultFrom, keys.read());
    keys.press("Z").wait(20).press("Z");  // the result, then the world map
    const int worldMapFrom = keys.read() + 60;
    keys.wait(240);
    const std::vector<int> worldMapFrames = frameWindow(worldMapFrom, keys.read());
    keys.press("Down", 8).press("Z").wait(60);  // "記録する": the map's own save
    keys.press("Up", 4).press("Z");             // "メモを開く": the memo window over the map
    const int memoFrom = keys.read() + 40;
    keys.wait(120);
    const std::vector<int> memoFrames = frameWindow(memoFrom, keys.read());
    // The cancel key closes it; the map's menu takes keys only once no layer lies over the
    // map, so the story that follows opens only if the memo was closed.
    keys.press("A").wait(60);
    keys.press("Up").press("Z");  // "ここで物語を聞く": the test story over the map
    const int storyFrom = keys.read() + 40;
    keys.wait(120);
    const std::vector<int> storyFrames = frameWindow(storyFrom, keys.read());
    // Its second line, the timed wait and the last line, each ended by the decide key.
    keys.press("Z").wait(60).press("Z").wait(150).press("Z").wait(120);
    keys.press("Up", 2).press("Z").wait(300);  // the trial again
    // Fast rests from turn 898 to 1000, let go before the meltdown's result can be up.
    const int meltdownFrom = keys.read() + 420;
    keys.hold({"A", "Z"}, 300).wait(700);
    const std::vector<int> meltdownFrames = frameWindow(meltdownFrom, keys.read());
    // The meltdown's result; the dive from the map was recorded, so it asks whether to keep the
    // replay ("はい"); then the title.
    keys.press("Z").wait(20).press("Z").wait(20).press("Z").wait(300);
    // With a common save the title's cursor starts on "load": twice up to "quit".
    keys.press("Up", 2).press("Z");

    FileVersions saves(runDirectory_ / "c000.bin");
    const SmokeTest::ProgramRun program =
        run(keys.text(), frameList({resultFrames, worldMapFrames, memoFrames, storyFrames, meltdownFrames}));
    const std::vector<std::string>& saved = saves.stop();

    ASSERT_TRUE(program.exited && program.exitCode == 0) << program.describe();
    EXPECT_EQ(program.output.find("is not in the archives"), std::string::npos) << program.describe();
    EXPECT_EQ(program.output.find("Not open logo file."), std::string::npos) << program.describe();
    expectShown(resultFrames, "trial_cleared_result.png", program);
    expectShown(worldMapFrames, "world_map.png", program);
    // The memo window, still empty, stands over the map's top left corner. The story covers
    // the map with its room: the face and the text window with the first line. The story's
    // end lets the menu take keys again, for the trial below.
    expectShownIn(memoFrames, "world_map_memo.png", {0, 0, 130, 130}, "world_map.png", program);
    expectShownIn(storyFrames, "world_map_story.png", {20, 160, 760, 420}, "world_map.png", program);
    expectShown(meltdownFrames, "meltdown_result.png", program);
    // Three common saves, in order: the result's, the world map's and the meltdown result's.
    // The map's is read back whole: it records the map as the scene it was made on, and holds
    // the trial's ranking entry the result filed.
    ASSERT_EQ(saved.size(), 3u) << program.describe();
    const std::string mapSave = showSave(saved[1], "c000.map.bin");
    EXPECT_NE(mapSave.find("exit 0"), std::string::npos) << mapSave;
    EXPECT_EQ(globalInt(mapSave, 17), "9") << mapSave;
    EXPECT_NE(mapSave.find(" score 1005000"), std::string::npos) << mapSave;
    EXPECT_NE(globalInt(showSave(saved[0], "c000.result.bin"), 17), "9");
    // Both results were filed in the rankings of the common save; the cleared trial scores a
    // million and more.
    ASSERT_TRUE(fs::exists(runDirectory_ / "c000.bin"));
    const std::string save = commandOutput(std::string("\"") + ORVEX_SAVETOOL + "\" show \"" +
                                           (runDirectory_ / "c000.bin").string() + "\" 2>&1");
    EXPECT_NE(save.find(" score 1005000"), std::string::npos) << save;
    // Only the dive chosen on the world map was recorded.
    ASSERT_TRUE(fs::is_directory(runDirectory_ / "Replay")) << program.describe();
    EXPECT_EQ(std::distance(fs::directory_iterator(runDirectory_ / "Replay"), fs::directory_iterator()), 1)
        << program.describe();
}

// The extras' first entry shows the best score's record as a result without bookkeeping; the
// decide key goes back to the extras, whose last entry returns to the title.
TEST_F(ProgramFlowTest, ARankingViewedFromTheExtrasReturnsToTheExtrasAndTheTitle) {
    KeyScript keys(300);
    keys.press("Down", 4).press("Z").wait(150).press("Z");  // the extras, the first ranking
    const int rankingFrom = keys.read() + 60;
    keys.wait(240);
    const std::vector<int> rankingFrames = frameWindow(rankingFrom, keys.read());
    keys.press("Z");  // back to the extras
    const int extrasFrom = keys.read() + 60;
    keys.wait(150);
    const std::vector<int> extrasFrames = frameWindow(extrasFrom, keys.read());
    keys.press("Up").press("Z");  // its last entry: the title
    const int titleFrom = keys.read() + 100;
    keys.wait(200);
    const std::vector<int> titleFrames = frameWindow(titleFrom, keys.read());
    const SmokeTest::ProgramRun program =
        run(keys.text() + SmokeTest::quitFromTitle(keys.read()), frameList({rankingFrames, extrasFrames, titleFrames}));

    ASSERT_TRUE(program.exited && program.exitCode == 0) << program.describe();
    expectShown(rankingFrames, "ranking_view.png", program);
    expectShown(extrasFrames, "extras.png", program);
    // Back on the title: its lower part (the sky above plays a movie) as the title test sees it.
    const Image title = reference("title_faded_in.png");
    ASSERT_FALSE(title.rgb.empty());
    const auto lowerPart = [](Image image) {
        image.rgb.erase(image.rgb.begin(), image.rgb.begin() + 240 * 800 * 3);
        return image;
    };
    double best = 255.0;
    for (const int frame : titleFrames) {
        const Image shown = loadPng(runDirectory_ / ("frame" + std::to_string(frame) + ".png"));
        if (shown.rgb.size() == title.rgb.size())
            best = std::min(best, meanDifference(lowerPart(shown), lowerPart(title)));
    }
    EXPECT_LT(best, kTolerance) << program.describe();
    // A view-only result files nothing: no common save is written.
    EXPECT_FALSE(fs::exists(runDirectory_ / "c000.bin"));
}

}  // namespace
