// The recovery's fill routine against memset, each writing a fresh block of 64 MB and of 512 MB
// from the same allocator, as the recovery does: most of the cost is the system handing out fresh
// pages. Prints, after Google Benchmark's table, the fill's speed as a share of memset's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "recovery/FillBlock.h"

namespace {

constexpr std::size_t kMB = std::size_t{1} << 20;
constexpr int kSizesMB[] = {64, 512};

template <bool OwnFill>
void WriteFreshBlock(benchmark::State& state, std::size_t size) {
    for (auto _ : state) {
        state.PauseTiming();
        void* block = std::malloc(size);
        if (block == nullptr) {
            state.SkipWithError("no block");
            break;
        }
        state.ResumeTiming();
        if constexpr (OwnFill) {
            kxp::FillBlock(block, size);
        } else {
            std::memset(block, kxp::kRecoveryFillByte, size);
        }
        benchmark::DoNotOptimize(block);
        benchmark::ClobberMemory();
        state.PauseTiming();
        std::free(block);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

// The console table as usual, and the median real time of each benchmark kept for the ratio.
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const auto& run : reports) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }
    std::map<std::string, double> medians;
};

}  // namespace

int main(int argc, char** argv) {
    for (const int mb : kSizesMB) {
        const std::size_t size = static_cast<std::size_t>(mb) * kMB;
        for (const auto& [name, run] : {std::pair{"FillBlock/", &WriteFreshBlock<true>},
                                        std::pair{"memset/", &WriteFreshBlock<false>}}) {
            benchmark::RegisterBenchmark((name + std::to_string(mb) + "MB").c_str(), run, size)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->Repetitions(7)
                ->ReportAggregatesOnly(true);
        }
    }
    // Alternating the two routines spreads drifts of the machine over both.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.push_back(interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    for (const int mb : kSizesMB) {
        const std::string suffix = std::to_string(mb) + "MB";
        const auto fill = reporter.medians.find("FillBlock/" + suffix);
        const auto memset = reporter.medians.find("memset/" + suffix);
        if (fill == reporter.medians.end() || memset == reporter.medians.end()) continue;
        std::printf("%s: fill %.1f ms, memset %.1f ms: the fill runs at %.1f %% of memset\n",
                    suffix.c_str(), fill->second, memset->second,
                    100.0 * memset->second / fill->second);
    }
    return 0;
}
