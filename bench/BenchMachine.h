#pragma once
// The machine a benchmark figure comes from, printed in the benchmark's context: the processor,
// the vector extensions it has and the span writer the software device chose.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "platform/gpu/Rasterizer.h"

namespace Orvex::Bench {

inline std::string processorName() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0) {
            const size_t colon = line.find(':');
            return colon == std::string::npos ? line : line.substr(colon + 2);
        }
    }
    return "unknown";
}

inline std::string vectorExtensions() {
    std::string out;
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    auto add = [&out](bool has, const char* name) {
        if (has) {
            out += out.empty() ? name : std::string(" ") + name;
        }
    };
    add(__builtin_cpu_supports("sse4.2"), "sse4.2");
    add(__builtin_cpu_supports("avx"), "avx");
    add(__builtin_cpu_supports("avx2"), "avx2");
    add(__builtin_cpu_supports("avx512f"), "avx512f");
    add(__builtin_cpu_supports("avx512bw"), "avx512bw");
    add(__builtin_cpu_supports("avx512vl"), "avx512vl");
#endif
    return out.empty() ? "none" : out;
}

// Adds the machine to the context every benchmark program prints first; the shared main
// (bench/BenchMain.cpp) calls it before any benchmark runs.
inline void describeMachine() {
    benchmark::AddCustomContext("processor", processorName());
    benchmark::AddCustomContext("vector extensions", vectorExtensions());
    benchmark::AddCustomContext("span writer", Platform::Gpu::spanWriterName(Platform::Gpu::defaultSpanWriter()));
}

}  // namespace Orvex::Bench
