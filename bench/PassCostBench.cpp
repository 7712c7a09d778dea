// What one pass of the main loop costs the machine, its one-second sleep left out: the simulated
// sleep only moves virtual time, so the measured time is the pass's own work.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPerformanceData.h"
#include "service/TKorvanelXPService.h"

namespace {

using kxp::sim::SimMachine;
using kxp::sim::SimProcess;

// A machine with a user at the desktop, so that every step of the pass runs.
class LoggedOnService : public kxp::TKorvanelXPService {
  public:
    using TKorvanelXPService::TKorvanelXPService;

  protected:
    std::string GetSessionUser(const std::string& previousName) override {
        TKorvanelXPService::GetSessionUser(previousName);
        SetUserSid("\\S-1-5-21-0-0-0-1000");
        return "alice";
    }
};

std::vector<SimProcess> TypicalProcessTable() {
    std::vector<SimProcess> processes{{0, std::nullopt, 0, 0}};
    for (std::uint32_t pid = 4; pid < 4 + 4 * 120; pid += 4) {
        processes.push_back({pid, u"process" + std::u16string(1, u'a' + pid % 26) + u".exe",
                             pid * 1000, pid * 500});
    }
    processes.push_back({9000, u"explorer.exe", 1, 1});
    return processes;
}

// Where the per-core figures come from.
enum PerCoreSource : std::int64_t {
    kNoPerCore = 0,  // neither counters nor per-processor times: every core shows the machine's
    kNativeTimes = 1,
    kCounters = 2,
};

void Arrange(SimMachine& sim, std::int64_t source) {
    // The service does not start without its English language file.
    sim.AddFile("C:\\Program Files\\KorvanelXP\\languages\\English.klf",
                {'=', '$', '0', '4', '0', '9'});
    sim.SetMemory(8ull << 30, 3ull << 30, 12ull << 30, 6ull << 30);
    sim.SetProcessorCount(4);
    sim.SetProcesses(TypicalProcessTable());
    sim.SetPageFiles({{1 << 20, 1 << 18}});
    sim.AddWindow("TKorvanelXPF", "KorvanelXP Settings");
    sim.SetProcessorTimes({{10, 20, 30}, {11, 21, 31}, {12, 22, 32}, {13, 23, 33}});
    if (source == kNoPerCore) {
        sim.FailQuery(kxp::platform::kSystemProcessorPerformanceInformation, 0xC0000002);
    }
    if (source == kCounters) {
        kxp::sim::SimPerformanceBlock block;
        block.objects[0].idleCounters = {1, 2, 3, 4, 10};  // four processors and the total
        sim.SetPerformanceData(kxp::sim::PerformanceBlockBytes(block));
    }
}

void MainLoopPass(benchmark::State& state) {
    const auto passes = state.range(0);
    const auto source = state.range(1);
    for (auto _ : state) {
        state.PauseTiming();
        SimMachine sim;
        Arrange(sim, source);
        LoggedOnService service(sim.platform());
        sim.At(static_cast<std::uint32_t>(passes * 1000 + 500),
               [&service] { service.ServiceControlHandler(kxp::SV_QUIT); });
        state.ResumeTiming();
        service.ServiceExecute();
    }
    state.counters["pass"] = benchmark::Counter(
        static_cast<double>(passes),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
// The pass cost without per-core figures, with them from the per-processor times and from the
// counters: the per-core sampling must not double the first.
BENCHMARK(MainLoopPass)
    ->ArgNames({"passes", "percore"})
    ->Args({1000, kNoPerCore})
    ->Args({1000, kNativeTimes})
    ->Args({1000, kCounters})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

}  // namespace
