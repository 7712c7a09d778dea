// What opening a tray menu costs before it shows: the captions, the check marks of the machine
// options, the display and the interval, and the title, on the simulated machine.
#include <benchmark/benchmark.h>

#include "platform/sim/SimMachine.h"
#include "service/TKorvanelXPService.h"
#include "tray/DisplayModel.h"

namespace {

void BM_MenuOpening(benchmark::State& state) {
    kxp::sim::SimMachine sim;
    kxp::TKorvanelXPService service(sim.platform());
    kxp::TConfig config = service.Config(1);
    config.Display1 = kxp::dkGraph;
    config.Display2 = kxp::dmCpuUsageAll;
    service.PublishConfig(1, config);
    for (auto _ : state) {
        service.PopupMenu1Popup();
        service.RefreshChange();
        service.miDisplayClick();
    }
}
BENCHMARK(BM_MenuOpening)->Unit(benchmark::kMicrosecond);

}  // namespace
