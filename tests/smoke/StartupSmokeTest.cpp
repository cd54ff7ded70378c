// The real program, headless, on the built sample data: it runs the start-up scene, plays the
// logo movie to its end, stops at the request for the title (which this program does not have
// yet) and shuts down in order with exit status 0.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <stb_image.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

Image loadPng(const fs::path& path) {
    Image image;
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &image.width, &image.height, &channels, 3);
    if (pixels != nullptr) {
        image.rgb.assign(pixels, pixels + size_t(image.width) * image.height * 3);
        stbi_image_free(pixels);
    }
    return image;
}

double meanDifference(const Image& a, const Image& b) {
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    }
    return sum / double(a.rgb.size());
}

// The logo's ring is drawn in a light cream colour; the gradient behind it never is.
size_t countRingPixels(const Image& image) {
    size_t count = 0;
    for (size_t i = 0; i + 2 < image.rgb.size(); i += 3) {
        if (image.rgb[i] > 200 && image.rgb[i + 1] > 200 && image.rgb[i + 2] > 180) {
            ++count;
        }
    }
    return count;
}

class StartupSmokeTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/fenwarrow-smokeXXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        runDirectory_ = pattern;
        for (const auto& entry : fs::directory_iterator(ORVEX_RUN_DIR)) {
            if (entry.is_regular_file()) {
                fs::copy_file(entry.path(), runDirectory_ / entry.path().filename());
            }
        }
    }
    void TearDown() override { fs::remove_all(runDirectory_); }

    // Runs the program in the run directory and returns its exit status; its debug output goes
    // to `log`.
    int runGame(const std::string& captureFrames) {
        const fs::path log = runDirectory_ / "debug.log";
        std::ostringstream command;
        command << "cd '" << runDirectory_.string() << "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "
                << "ORVEX_DEBUG_OUTPUT=1 ORVEX_CAPTURE_FRAMES=" << captureFrames << " ORVEX_CAPTURE_DIR='"
                << runDirectory_.string() << "' timeout 120 '" << FENWARROW_PROGRAM << "' 2> '" << log.string() << "'";
        const int status = std::system(command.str().c_str());
        std::ifstream file(log);
        log_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path runDirectory_;
    std::string log_;
};

TEST_F(StartupSmokeTest, PlaysTheLogoToItsEndAndStopsAtTheTitleRequest) {
    ASSERT_EQ(runGame("60"), 0) << log_;
    EXPECT_NE(log_.find("GameThread h="), std::string::npos) << log_;
    EXPECT_NE(log_.find("The scene controller refused its step"), std::string::npos) << log_;
    EXPECT_NE(log_.find("ms_pInstance.release().\nOK.\n"), std::string::npos) << log_;

    const Image frame = loadPng(runDirectory_ / "frame60.png");
    ASSERT_EQ(frame.width, 800);
    ASSERT_EQ(frame.height, 600);
    // The frame shows the logo movie: the ring is there.
    EXPECT_GT(countRingPixels(frame), 5000u);
    // The logo is a still card, so whenever frame 60 is presented it shows the same picture.
    const Image reference = loadPng(ORVEX_FIXTURE_DIR "/smoke/logo_frame60.png");
    ASSERT_EQ(reference.rgb.size(), frame.rgb.size());
    EXPECT_LT(meanDifference(frame, reference), 1.0);
}

TEST_F(StartupSmokeTest, MissingArchivesEndTheStartWithTheMessage) {
    fs::remove(runDirectory_ / "d300.bin");
    EXPECT_EQ(runGame("0"), 0) << log_;
    EXPECT_NE(log_.find("データファイルを読み込めませんでした。"), std::string::npos) << log_;
    EXPECT_EQ(log_.find("GameThread h="), std::string::npos) << log_;
}

}  // namespace
