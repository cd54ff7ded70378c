// Decoding and colour conversion of an 800-pixel-wide movie at 30 frames per second, through the
// movie player's own video thread. The clock never advances, so every frame is due: each one is
// decoded and converted, back to back. The counter "core_share_at_30fps" is the share of one
// core that playing such a movie in real time takes (seconds per frame x 30).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "engine/movie/TheoraPlayer.h"
#include "platform/gpu/GpuDevice.h"
#include "tools/moviegen/MovieGenerator.h"

namespace {

constexpr uint32_t kFrames = 60;

// Time stands still and waits return at once.
class FrozenClock : public Theora::MovieClock {
public:
    uint32_t nowMs() override { return 0; }
    bool waitForStop(Platform::Kernel::KernelEvent& stop, uint32_t) override { return stop.isSignalled(); }
};

class MemoryReader : public Orvex::IO::StreamIO::IOrvexStreamReader {
public:
    explicit MemoryReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool open(const std::u16string&) override { return position_ = 0, true; }
    void close() override {}
    bool isOpen() const override { return true; }
    std::u16string getFileName() const override { return u"bench.ogv"; }
    uint32_t getSize() override { return static_cast<uint32_t>(bytes_.size()); }
    bool readToVector(Orvex::IO::StreamIO::ByteVector&, uint32_t, uint32_t*) override { return false; }
    bool read(void* buffer, uint32_t count, uint32_t* outCount) override {
        const uint32_t n = std::min<uint32_t>(count, getSize() - position_);
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        if (outCount) *outCount = n;
        return n == count;
    }
    bool seek(uint32_t position) override { return position_ = position, true; }
    bool tell(uint32_t& position) override { return position = position_, true; }
    bool skip(int32_t) override { return false; }
    bool rewind() override { return position_ = 0, true; }
    bool seekToEnd() override { return position_ = getSize(), true; }

private:
    const std::vector<uint8_t>& bytes_;
    uint32_t position_ = 0;
};

const std::vector<uint8_t>& movie() {
    static const std::vector<uint8_t> bytes = [] {
        Orvex::Tools::MovieGen::MovieOptions options;
        options.outputPath = "bench.ogv";  // generated in memory only
        options.width = 800;
        options.height = 608;  // the generator's pictures fill whole 16-pixel blocks
        options.frameCount = kFrames;
        options.fps = 30;
        return Orvex::Tools::MovieGen::generateMovie(options);
    }();
    return bytes;
}

void BM_DecodeAndConvert800x608(benchmark::State& state) {
    Platform::Gpu::PresentParameters parameters;
    parameters.backBufferWidth = 800;
    parameters.backBufferHeight = 600;
    auto* device = new Platform::Gpu::GpuDevice(0, Platform::Gpu::kCreateMultithreaded, parameters);
    auto clock = std::make_shared<FrozenClock>();
    MemoryReader reader(movie());
    double seconds = 0.0;
    uint64_t frames = 0;
    for (auto _ : state) {
        Theora::TheoraPlayer player(device, nullptr, clock);
        const auto start = std::chrono::steady_clock::now();
        if (!player.open(u"bench.ogv", &reader, 0, 0, 800, 600)) {
            state.SkipWithError("the movie does not open");
            break;
        }
        while (player.isPlaying()) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        frames += player.getShownFrameCount();
        player.close();
    }
    if (frames > 0) {
        state.counters["frames_per_second"] = static_cast<double>(frames) / seconds;
        state.counters["core_share_at_30fps"] = seconds / static_cast<double>(frames) * 30.0;
    }
    device->release();
}
BENCHMARK(BM_DecodeAndConvert800x608)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
