// The cost of one key read through the I/O Kit stand-in and of each decoder.

#include <benchmark/benchmark.h>

#include "sensors/smc.h"
#include "tests/support/ScopedAppleSMC.h"

namespace {

// Two driver calls: key info, then the bytes, each through the connection table.
void BM_SMCReadKey(benchmark::State& state) {
  ScopedAppleSMC smc;
  smc.service().setTemperature("TC0D", 47.25);
  if (SMCOpen() != 0) {
    state.SkipWithError("no connection");
    return;
  }
  SMCReading reading;
  for (auto _ : state) {
    benchmark::DoNotOptimize(SMCReadKey("TC0D", reading));
    benchmark::ClobberMemory();
    smc.service().resetCounters();  // the service keeps every record it received
  }
  SMCClose();
}
BENCHMARK(BM_SMCReadKey);

SMCReading handMade(const char (&type)[5], std::uint8_t high, std::uint8_t low) {
  SMCReading reading{};
  for (int i = 0; i < 5; ++i) reading.dataType[i] = type[i];
  reading.dataSize = 2;
  reading.bytes[0] = high;
  reading.bytes[1] = low;
  return reading;
}

void BM_SMCDecodeTemperature(benchmark::State& state) {
  SMCReading reading = handMade("sp78", 0x2f, 0x40);
  for (auto _ : state) {
    benchmark::DoNotOptimize(reading);
    benchmark::DoNotOptimize(SMCDecodeTemperature(reading));
  }
}
BENCHMARK(BM_SMCDecodeTemperature);

void BM_SMCDecodeFanRpm(benchmark::State& state) {
  SMCReading reading = handMade("fpe2", 0x1c, 0x20);
  for (auto _ : state) {
    benchmark::DoNotOptimize(reading);
    benchmark::DoNotOptimize(SMCDecodeFanRpm(reading));
  }
}
BENCHMARK(BM_SMCDecodeFanRpm);

}  // namespace
