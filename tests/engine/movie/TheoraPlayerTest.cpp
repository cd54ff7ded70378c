#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "engine/movie/TheoraPlayer.h"
#include "platform/audio/AudioEngine.h"
#include "platform/gpu/GpuDevice.h"
#include "engine/movie/YuvToRgbTables.h"
#include "engine/system/OxStringConvert.h"
#include "platform/kernel/DebugOutput.h"
#include "tools/moviegen/FramePainter.h"
#include "tools/moviegen/MovieGenerator.h"

namespace {

namespace Gpu = Platform::Gpu;
namespace Audio = Platform::Audio;
using Orvex::IO::StreamIO::ByteVector;
using Theora::TheoraPlayer;

constexpr std::chrono::seconds kLimit{20};

// Polls `done` until it holds or the limit passes.
bool eventually(const std::function<bool()>& done, std::chrono::milliseconds limit = kLimit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A reader over bytes in memory that opens one path.
class MemoryReader : public Orvex::IO::StreamIO::IOrvexStreamReader {
public:
    MemoryReader(std::u16string path, std::vector<uint8_t> bytes) : path_(std::move(path)), bytes_(std::move(bytes)) {}
    bool open(const std::u16string& path) override {
        open_ = path == path_;
        position_ = 0;
        return open_;
    }
    void close() override {
        open_ = false;
        ++closes;
    }
    bool isOpen() const override { return open_; }
    std::u16string getFileName() const override { return path_; }
    uint32_t getSize() override { return static_cast<uint32_t>(bytes_.size()); }
    bool readToVector(ByteVector&, uint32_t, uint32_t*) override { return false; }
    bool read(void* buffer, uint32_t count, uint32_t* outCount) override {
        const uint32_t n = open_ ? std::min<uint32_t>(count, getSize() - position_) : 0;
        if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        if (outCount) *outCount = n;
        return n == count;
    }
    bool seek(uint32_t position) override { return position <= getSize() && (position_ = position, true); }
    bool tell(uint32_t& position) override { return position = position_, true; }
    bool skip(int32_t) override { return false; }
    bool rewind() override { return open_ && (position_ = 0, true); }
    bool seekToEnd() override { return position_ = getSize(), true; }

    int closes = 0;

private:
    std::u16string path_;
    std::vector<uint8_t> bytes_;
    bool open_ = false;
    uint32_t position_ = 0;
};

// Time stands still until the test moves it; waits end at their deadline or when stopped.
class FakeClock : public Theora::MovieClock {
public:
    uint32_t nowMs() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return now_;
    }
    bool waitForStop(Platform::Kernel::KernelEvent& stop, uint32_t ms) override {
        std::unique_lock<std::mutex> lock(mutex_);
        deadline_ = now_ + ms;
        ++waits_;
        changed_.notify_all();
        while (now_ < deadline_) {
            if (stop.isSignalled()) break;
            changed_.wait_for(lock, std::chrono::milliseconds(2));
        }
        deadline_ = 0;
        return stop.isSignalled();
    }
    // Waits (bounded) until the video thread sleeps for the given number of times in all.
    bool waitForSleep(int count, uint32_t& deadline) {
        std::unique_lock<std::mutex> lock(mutex_);
        const bool ok = changed_.wait_for(lock, kLimit, [&] { return waits_ >= count && deadline_ != 0; });
        deadline = deadline_;
        return ok;
    }
    void setNow(uint32_t ms) {
        std::lock_guard<std::mutex> lock(mutex_);
        now_ = ms;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    uint32_t now_ = 1000;
    uint32_t deadline_ = 0;
    int waits_ = 0;
};

std::vector<uint8_t> makeMovie(uint32_t frames, bool sound, uint32_t width = 64, uint32_t height = 48,
                               uint32_t chroma = 420, bool still = false) {
    Orvex::Tools::MovieGen::MovieOptions options;
    options.chroma = chroma;
    options.still = still;
    options.outputPath = "unused.ogv";  // generated in memory only
    options.width = width;
    options.height = height;
    options.frameCount = frames;
    options.fps = 25;
    options.withSound = sound;
    options.sampleRate = 22050;
    return Orvex::Tools::MovieGen::generateMovie(options);
}

// Collects the debug output lines while alive.
class DebugLines {
public:
    DebugLines() {
        Platform::Kernel::setDebugSink([this](std::u16string_view text) {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(Orvex::System::narrow(text));
        });
    }
    ~DebugLines() { Platform::Kernel::setDebugSink({}); }
    // The lines that contain `part`.
    std::vector<std::string> with(const std::string& part) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::string> found;
        for (const std::string& line : lines_) {
            if (line.find(part) != std::string::npos) found.push_back(line);
        }
        return found;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

class TheoraPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Gpu::PresentParameters parameters;
        parameters.backBufferWidth = 128;
        parameters.backBufferHeight = 96;
        device_ = new Gpu::GpuDevice(0, Gpu::kCreateMultithreaded, parameters);
    }
    void TearDown() override { Gpu::safeRelease(device_); }

    // The back buffer pixel at (x, y).
    uint32_t backBufferPixel(int x, int y) {
        Gpu::GpuSurface* back = nullptr;
        EXPECT_EQ(device_->getBackBuffer(0, 0, &back), Gpu::kOk);
        Gpu::LockedRect locked;
        EXPECT_EQ(back->lockRect(&locked, nullptr, Gpu::kLockReadOnly), Gpu::kOk);
        uint32_t value;
        std::memcpy(&value, static_cast<uint8_t*>(locked.bits) + y * locked.pitch + x * 4, 4);
        back->unlockRect();
        back->release();
        return value;
    }

    Gpu::GpuDevice* device_ = nullptr;
};

TEST_F(TheoraPlayerTest, SilentMovieOpensWithoutAudioPlaysToItsEndAndKeepsTheLastPicture) {
    MemoryReader reader(u"Movie\\logo.ogv", makeMovie(10, false));
    TheoraPlayer player(device_, nullptr);
    DebugLines debug;
    ASSERT_TRUE(player.open(u"Movie\\logo.ogv", &reader, 0, 0, 0, 0));
    EXPECT_EQ(debug.with("Movie Movie\\logo.ogv opened: 64x48, 25.00 fps, no sound").size(), 1u);
    EXPECT_TRUE(player.hasVideo());
    EXPECT_FALSE(player.hasAudio());
    EXPECT_EQ(player.getPictureWidth(), 64u);
    EXPECT_EQ(player.getPictureHeight(), 48u);
    ASSERT_TRUE(eventually([&] { return !player.isPlaying(); }));
    EXPECT_GE(player.getShownFrameCount(), 1u);

    // Drawn at its own size at (0, 0): the bottom rows hold the full progress bar of the last
    // picture, which differs from the area above it; outside the picture nothing was drawn.
    device_->clear(0, nullptr, Gpu::kClearTarget, 0xFF000000u, 1.0f, 0);
    device_->beginScene();
    player.draw();
    device_->endScene();
    const uint32_t bar = backBufferPixel(60, 46);
    EXPECT_EQ(bar >> 24, 0xFFu);
    EXPECT_NE(bar & 0xFFFFFF, 0u);
    EXPECT_NE(bar, backBufferPixel(60, 20));
    EXPECT_EQ(backBufferPixel(100, 70), 0xFF000000u);
    player.stop();
    player.close();
    EXPECT_EQ(reader.closes, 1);
}

TEST_F(TheoraPlayerTest, DrawsItsQuadFromAVertexBufferAndReleasesItsReferenceOnClose) {
    MemoryReader reader(u"a.ogv", makeMovie(10, false));
    TheoraPlayer player(device_, nullptr);
    ASSERT_TRUE(player.open(u"a.ogv", &reader, 10, 8, 40, 30));
    ASSERT_TRUE(eventually([&] { return !player.isPlaying(); }));
    device_->clear(0, nullptr, Gpu::kClearTarget, 0xFF000000u, 1.0f, 0);
    player.draw();
    Gpu::GpuSurface* back = nullptr;
    ASSERT_EQ(device_->getBackBuffer(0, 0, &back), Gpu::kOk);
    const std::vector<uint32_t> drawn = back->image()->texels;

    Gpu::GpuVertexBuffer* bound = nullptr;
    uint32_t offset = 1;
    uint32_t stride = 0;
    ASSERT_EQ(device_->getStreamSource(0, &bound, &offset, &stride), Gpu::kOk);
    ASSERT_NE(bound, nullptr);
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(stride, 28u);
    Gpu::VertexBufferDesc desc;
    ASSERT_EQ(bound->getDesc(&desc), Gpu::kOk);
    EXPECT_EQ(desc.size, 112u);
    EXPECT_EQ(desc.usage, uint32_t(Gpu::kUsageWriteOnly));
    EXPECT_EQ(desc.fvf, 0x144u);
    EXPECT_EQ(desc.pool, uint32_t(Gpu::kPoolDefault));

    // The same strip drawn from an array with the states the draw left set gives the same frame:
    // the picture lands in the rectangle given to open, nothing outside it.
    const Gpu::TexturedVertex strip[4] = {{50, 8, 0, 1, 0xFFFFFFFFu, 1, 0},
                                          {50, 38, 0, 1, 0xFFFFFFFFu, 1, 1},
                                          {10, 8, 0, 1, 0xFFFFFFFFu, 0, 0},
                                          {10, 38, 0, 1, 0xFFFFFFFFu, 0, 1}};
    device_->clear(0, nullptr, Gpu::kClearTarget, 0xFF000000u, 1.0f, 0);
    ASSERT_EQ(device_->drawPrimitiveUp(Gpu::kPrimitiveTriangleStrip, 2, strip, sizeof(Gpu::TexturedVertex)), Gpu::kOk);
    EXPECT_EQ(drawn, back->image()->texels);
    back->release();
    EXPECT_NE(backBufferPixel(30, 36) & 0xFFFFFF, 0u);
    EXPECT_EQ(backBufferPixel(30, 40), 0xFF000000u);
    EXPECT_EQ(backBufferPixel(52, 20), 0xFF000000u);

    // After close only the device's binding and this test hold the buffer.
    player.stop();
    player.close();
    EXPECT_EQ(bound->release(), 1u);
}

TEST_F(TheoraPlayerTest, RefusesWhatItCannotPlay) {
    std::vector<uint8_t> garbage(5000);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 7);
    const std::vector<uint8_t> movie = makeMovie(3, false);
    const std::vector<uint8_t> truncated(movie.begin(), movie.begin() + 60);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::u16string openAs;
    };
    for (const Case& c : {Case{"not an Ogg file", garbage, u"a.ogv"}, Case{"headers cut off", truncated, u"a.ogv"},
                          Case{"no such file", movie, u"missing.ogv"}}) {
        SCOPED_TRACE(c.what);
        MemoryReader reader(u"a.ogv", c.bytes);
        TheoraPlayer player(device_, nullptr);
        DebugLines debug;
        EXPECT_FALSE(player.open(c.openAs, &reader, 0, 0, 0, 0));
        EXPECT_EQ(debug.with("Movie " + Orvex::System::narrow(c.openAs) + " failed to open: ").size(), 1u);
        EXPECT_FALSE(player.isPlaying());
        EXPECT_FALSE(reader.isOpen());
        player.stop();
        player.close();
    }
    MemoryReader reader(u"a.ogv", movie);
    TheoraPlayer withoutDevice(nullptr, nullptr);
    EXPECT_FALSE(withoutDevice.open(u"a.ogv", &reader, 0, 0, 0, 0));
}

TEST_F(TheoraPlayerTest, MovieWithSoundNeedsAnAudioEngine) {
    MemoryReader reader(u"a.ogv", makeMovie(5, true));
    TheoraPlayer player(device_, nullptr);
    DebugLines debug;
    EXPECT_FALSE(player.open(u"a.ogv", &reader, 0, 0, 0, 0));
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(debug.with("Movie a.ogv failed to open: it has sound and there is no sound device").size(), 1u);
}

// Every chroma layout gives the painted picture: compared with the generator's own full
// resolution picture converted directly, the shown one differs only by coding noise.
TEST_F(TheoraPlayerTest, EveryChromaLayoutShowsThePaintedColours) {
    constexpr uint32_t kWidth = 64;
    constexpr uint32_t kHeight = 48;
    constexpr uint32_t kFrames = 3;
    Orvex::Tools::MovieGen::FramePainter painter(kWidth, kHeight, 210, true);
    Orvex::Tools::MovieGen::YCbCrFrame painted;
    painted.chromaShiftX = 0;
    painted.chromaShiftY = 0;
    painter.paint(0, kFrames, painted);
    Theora::YuvPlanes planes;
    planes.y = painted.y.data();
    planes.u = painted.cb.data();
    planes.v = painted.cr.data();
    planes.yStride = planes.uvStride = kWidth;
    planes.chromaShiftX = planes.chromaShiftY = 0;
    std::vector<uint32_t> expected(kWidth * kHeight);
    Theora::YuvToRgbTables::instance().convert(planes, 0, 0, kWidth, kHeight, expected.data(), kWidth);

    for (uint32_t chroma : {420u, 422u, 444u}) {
        SCOPED_TRACE(chroma);
        MemoryReader reader(u"a.ogv", makeMovie(kFrames, false, kWidth, kHeight, chroma, true));
        TheoraPlayer player(device_, nullptr);
        ASSERT_TRUE(player.open(u"a.ogv", &reader, 0, 0, 0, 0));
        ASSERT_TRUE(eventually([&] { return !player.isPlaying(); }));
        device_->clear(0, nullptr, Gpu::kClearTarget, 0xFF000000u, 1.0f, 0);
        player.draw();
        // The mean error of each channel over the picture, and the worst row's mean.
        double worstRow = 0.0;
        double total = 0.0;
        for (uint32_t y = 0; y < kHeight; ++y) {
            double row = 0.0;
            for (uint32_t x = 0; x < kWidth; ++x) {
                const uint32_t shown = backBufferPixel(static_cast<int>(x), static_cast<int>(y));
                const uint32_t wanted = expected[y * kWidth + x];
                for (int shift : {0, 8, 16}) {
                    row += std::abs(static_cast<int>((shown >> shift) & 0xFF) -
                                    static_cast<int>((wanted >> shift) & 0xFF));
                }
            }
            row /= 3.0 * kWidth;
            worstRow = std::max(worstRow, row);
            total += row;
        }
        // Coding noise stays near 2 on average and below 5 on any row; a chroma plane read with
        // the wrong layout gives rows off by more than 30.
        EXPECT_LT(total / kHeight, 3.5);
        EXPECT_LT(worstRow, 8.0);
        player.close();
    }
}

TEST_F(TheoraPlayerTest, SoundFlowsToTheVoiceAndStopInTheMiddleIsSafe) {
    auto engine = Audio::AudioEngine::create({Audio::OutputMode::Manual, 22050});
    Audio::MasteringVoice* master = nullptr;
    ASSERT_EQ(engine->createMasteringVoice(&master), Audio::kAudioOk);
    MemoryReader reader(u"a.ogv", makeMovie(50, true));
    {
        TheoraPlayer player(device_, engine.get());
        ASSERT_TRUE(player.open(u"a.ogv", &reader, 0, 0, 0, 0));
        EXPECT_TRUE(player.hasAudio());
        // The chime is not silent: some pumped pass carries it.
        std::vector<float> mix(2 * 1024);
        bool heard = false;
        EXPECT_TRUE(eventually([&] {
            engine->pump(mix);
            for (float sample : mix) heard = heard || sample != 0.0f;
            return heard;
        }));
        // Stop and close while the voice still holds queued blocks and the threads run.
        player.stop();
        player.close();
        EXPECT_FALSE(player.isPlaying());
        engine->pump(mix);
    }
    EXPECT_EQ(reader.closes, 1);
    master->destroyVoice();
}

TEST_F(TheoraPlayerTest, MovieWithSoundEndsOnlyWhenBothStreamsHaveEnded) {
    auto engine = Audio::AudioEngine::create({Audio::OutputMode::Manual, 22050});
    Audio::MasteringVoice* master = nullptr;
    ASSERT_EQ(engine->createMasteringVoice(&master), Audio::kAudioOk);
    auto clock = std::make_shared<FakeClock>();
    MemoryReader reader(u"a.ogv", makeMovie(50, true));
    TheoraPlayer player(device_, engine.get(), clock);
    ASSERT_TRUE(player.open(u"a.ogv", &reader, 0, 0, 0, 0));
    // Once the video thread sleeps, every later picture is made late: the video stream runs to
    // its end at once. The two seconds of sound cannot all be decoded while nobody drains the
    // voice, so the movie goes on.
    uint32_t deadline = 0;
    ASSERT_TRUE(clock->waitForSleep(1, deadline));
    clock->setNow(1000000);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(player.isPlaying());
    std::vector<float> mix(2 * 512);
    EXPECT_TRUE(eventually([&] {
        engine->pump(mix);
        return !player.isPlaying();
    }));
    player.stop();
    player.close();
    master->destroyVoice();
}

TEST_F(TheoraPlayerTest, FramesAreShownOnTimeAndLateOnesDroppedOnTheMovieClock) {
    auto clock = std::make_shared<FakeClock>();
    MemoryReader reader(u"a.ogv", makeMovie(75, false));
    TheoraPlayer player(device_, nullptr, clock);
    ASSERT_TRUE(player.open(u"a.ogv", &reader, 0, 0, 0, 0));

    // At a standstill the thread converts the due frame and sleeps until the next frame time.
    uint32_t deadline = 0;
    ASSERT_TRUE(clock->waitForSleep(1, deadline));
    const uint32_t first = player.getShownFrameCount();
    EXPECT_GE(first, 1u);
    EXPECT_NEAR(deadline, 1000.0 + 40.0 * first, 1.0);
    for (int step = 2; step <= 4; ++step) {
        clock->setNow(deadline);
        ASSERT_TRUE(clock->waitForSleep(step, deadline));
        EXPECT_EQ(player.getShownFrameCount(), first + step - 1u);
        // Waits are truncated to whole milliseconds (0.12 - 0.04 s may give 79 ms).
        EXPECT_NEAR(deadline, 1000.0 + 40.0 * (first + step - 1u), 1.0);
    }

    // One second behind: one late frame is shown to move the picture, the rest are dropped
    // until a frame is due again.
    const uint32_t before = player.getShownFrameCount();
    clock->setNow(deadline + 1000);
    ASSERT_TRUE(clock->waitForSleep(5, deadline));
    EXPECT_EQ(player.getShownFrameCount(), before + 2);
    EXPECT_TRUE(player.isPlaying());

    // Stopping wakes the sleeping thread at once, although the clock never moves again.
    player.stop();
    EXPECT_TRUE(eventually([&] { return !player.isPlaying(); }));
    player.close();
}

TEST_F(TheoraPlayerTest, CloseWhileDecodingAndLoopingFreesNothingUnderARunningThread) {
    auto engine = Audio::AudioEngine::create({Audio::OutputMode::Manual, 22050});
    Audio::MasteringVoice* master = nullptr;
    ASSERT_EQ(engine->createMasteringVoice(&master), Audio::kAudioOk);
    const std::vector<uint8_t> movie = makeMovie(8, true);
    for (int round = 0; round < 5; ++round) {
        MemoryReader reader(u"a.ogv", movie);
        TheoraPlayer player(device_, engine.get());
        player.setLoop(true);
        ASSERT_TRUE(player.open(u"a.ogv", &reader, 10, 10, 32, 24));
        std::vector<float> mix(2 * 256);
        for (int i = 0; i < round * 3; ++i) engine->pump(mix);
        player.draw();
        player.close();  // without a stop first
        engine->pump(mix);
    }
    master->destroyVoice();
}

}  // namespace
