// One full sample (actualState: three key reads, six driver calls) through the scripted
// "AppleSMC" service.

#include <benchmark/benchmark.h>

#include <cstddef>

#include "hardware/RGHWWrap.h"
#include "platform/foundation/NSLog.h"
#include "tests/support/ScopedAppleSMC.h"

static void BM_RGHWWrapActualState(benchmark::State& state) {
  ScopedAppleSMC smc;
  smc.service().setFanRpm("F0Ac", 1200);
  smc.service().setFanRpm("F1Ac", 2400);
  smc.service().setTemperature("TC0D", 45.5);
  LogCaptureForTesting quiet;
  RGHWWrap wrap;
  std::size_t samples = 0;
  for (auto _ : state) {
    wrap.actualState();
    benchmark::DoNotOptimize(wrap.getRPMforFan(0));
    // The scripted service records every call; forgetting them now and then keeps its memory
    // flat at a negligible cost (clearing keeps the capacity).
    if (++samples % 4096 == 0) smc.service().resetCounters();
  }
  if (wrap.getRPMforFan(0) != 1200) state.SkipWithError("the scripted service was not read");
}
BENCHMARK(BM_RGHWWrapActualState);
