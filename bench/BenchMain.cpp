// The entry point of every benchmark program: the machine a figure comes from goes into the
// context printed before the first figure, then Google Benchmark runs as its own main would.
#include <benchmark/benchmark.h>

#include "bench/BenchMachine.h"

int main(int argc, char** argv) {
    Orvex::Bench::describeMachine();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
