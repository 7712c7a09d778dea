// What one pass of the main loop costs the machine, its one-second sleep left out: the simulated
// sleep only moves virtual time, so the measured time is the pass's own work.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
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
        UserSid = "\\S-1-5-21-0-0-0-1000";
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

void MainLoopPass(benchmark::State& state) {
    const auto passes = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        SimMachine sim;
        sim.SetMemory(8ull << 30, 3ull << 30, 12ull << 30, 6ull << 30);
        sim.SetProcessorCount(4);
        sim.SetProcesses(TypicalProcessTable());
        sim.SetPageFiles({{1 << 20, 1 << 18}});
        sim.AddWindow("TKorvanelXPF", "KorvanelXP Settings");
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
BENCHMARK(MainLoopPass)->Arg(1000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
