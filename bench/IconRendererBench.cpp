// DrawIcon's cost on the simulated machine: a numeric, a graph and a block drawing with its
// conversion to an icon. The real GDI figure comes from IconSoak under Wine.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "config/TConfig.h"
#include "platform/sim/SimMachine.h"
#include "tray/DisplayModel.h"
#include "tray/TIconRenderer.h"

namespace {

void DrawIconBench(benchmark::State& state) {
    kxp::sim::SimMachine sim;
    kxp::TConfig config = kxp::DefaultIcon1Config();
    kxp::ApplyForeColor(config);
    kxp::TIconRenderer renderer(sim.platform().drawing, sim.platform().locale);
    renderer.Objects().ApplyOptions(1, config);
    kxp::TPipe history(15);
    std::int32_t lastValue = -1;
    const auto kind = static_cast<std::int32_t>(state.range(0));
    std::uint32_t value = 0;
    for (auto _ : state) {
        // A new value every time, so that no drawing is skipped.
        value = (value + 37) % 5000;
        benchmark::DoNotOptimize(
            renderer.DrawIcon(1, config, lastValue, history, kind, value, 5000));
    }
}
BENCHMARK(DrawIconBench)->Arg(kxp::dkNumeric)->Arg(kxp::dkGraph)->Arg(kxp::dkBlock);

}  // namespace
