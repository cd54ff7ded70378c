// The mixer's cost in real time: 32 looping voices of 44.1 kHz stereo resampled to a 48 kHz
// output, one 10 ms pass per iteration. The "cpu_share" counter is the share of one core the
// mixer takes while playing (pass time / 10 ms).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/audio/AudioEngine.h"

namespace {

using namespace Platform::Audio;

void BM_Mix32Voices(benchmark::State& state) {
    constexpr uint32_t kVoices = 32;
    constexpr uint32_t kSourceRate = 44100;
    constexpr uint32_t kPassFrames = 480;  // 10 ms at 48 kHz
    auto engine = AudioEngine::create({OutputMode::Manual, 48000});
    MasteringVoice* master = nullptr;
    engine->createMasteringVoice(&master);
    master->setVolume(0.5f);

    std::vector<uint8_t> samples(kSourceRate * 4);  // one second of stereo
    for (size_t i = 0; i < samples.size() / 2; ++i) {
        const auto value = static_cast<int16_t>(std::sin(static_cast<double>(i) * 0.01) * 8000.0);
        samples[2 * i] = static_cast<uint8_t>(value & 0xFF);
        samples[2 * i + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
    }
    WaveFormat format{kWaveFormatPcm, 2, kSourceRate, kSourceRate * 4, 4, 16, 0};
    for (uint32_t v = 0; v < kVoices; ++v) {
        SourceVoice* voice = nullptr;
        engine->createSourceVoice(&voice, format, 0, 4.0f, nullptr);
        AudioBuffer buffer;
        buffer.audioBytes = static_cast<uint32_t>(samples.size());
        buffer.audioData = samples.data();
        buffer.loopCount = kLoopInfinite;
        voice->submitSourceBuffer(buffer);
        voice->start();
    }
    std::vector<float> out(kPassFrames * kOutputChannels);
    for (auto _ : state) {
        engine->pump(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["cpu_share"] = benchmark::Counter(static_cast<double>(state.iterations()) * 0.010,
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Mix32Voices);

}  // namespace
