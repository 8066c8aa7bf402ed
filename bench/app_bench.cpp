// The application's refresh pass (checkState: one sample, the status item's and fan entries'
// titles, the pending timer left as it is) through the model and the scripted "AppleSMC"
// service, and the heap after 100,000 passes run by the refresh timer on a manual clock.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "app/MainInterface.h"
#include "app/RGAppDelegate.h"
#include "platform/appkit/NSMainInterface.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/loginitems/LSSharedFileList.h"
#include "tests/support/ManualClock.h"
#include "tests/support/ScopedAppleSMC.h"

namespace {

std::filesystem::path makeTemporaryHome() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pyrelle-bench-XXXXXX").string();
  return mkdtemp(pattern.data()) != nullptr ? pattern : "/nonexistent";
}

// The application launched in a private home, with its run loop on a manual clock.
class LaunchedApplication {
 public:
  LaunchedApplication() {
    NSUserDefaults::resetStandardUserDefaultsForTesting((home / "config").string());
    LSSharedFileList::setDirectoryForTesting((home / "config" / "autostart").string());
    NSBundle::mainBundle().setBundlePathForTesting((home / "pyrelle").string());
    smc.service().setFanRpm("F0Ac", 1200);
    smc.service().setFanRpm("F1Ac", 2400);
    smc.service().setTemperature("TC0D", 45.5);
    loop.resetForTesting();
    loop.setClockForTesting(clock.function());
    delegate = NSLoadMainInterface(objects);
    delegate->applicationDidFinishLaunching();
  }
  ~LaunchedApplication() {
    delegate.reset();
    loop.resetForTesting();
    NSBundle::mainBundle().setBundlePathForTesting(std::nullopt);
    LSSharedFileList::setDirectoryForTesting(std::nullopt);
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
  }

  RGAppDelegate& app() { return static_cast<RGAppDelegate&>(*delegate); }
  // The pass the refresh timer runs after the default 5 seconds.
  void nextTimedPass() {
    clock.advance(std::chrono::seconds(5));
    loop.fireDueTimers();
  }
  // The scripted service records every call; forgetting them now and then keeps its memory
  // flat (clearing keeps the capacity).
  void forgetCalls(std::size_t passes) {
    if (passes % 4096 == 0) smc.service().resetCounters();
  }

  std::filesystem::path home = makeTemporaryHome();
  ScopedAppleSMC smc;
  LogCaptureForTesting quiet;
  ManualClock clock;
  NSRunLoop& loop = NSRunLoop::mainRunLoop();
  NSMainInterface objects;
  std::unique_ptr<NSApplicationDelegate> delegate;
};

void BM_RGAppDelegateCheckState(benchmark::State& state) {
  LaunchedApplication launched;
  std::size_t passes = 0;
  for (auto _ : state) {
    launched.app().checkState();
    launched.forgetCalls(++passes);
  }
  if (launched.loop.pendingTimerCount() != 1) state.SkipWithError("more than one refresh chain");
}
BENCHMARK(BM_RGAppDelegateCheckState);

// Heap in use (mallinfo2) after a warm-up and after 100,000 more timed passes, one in ten of
// them joined by an extra pass as the units action runs one.
void BM_RGAppDelegateHeapOver100000Passes(benchmark::State& state) {
  LaunchedApplication launched;
  std::size_t passes = 0;
  for (; passes < 10000; launched.forgetCalls(++passes)) launched.nextTimedPass();
  const std::size_t before = mallinfo2().uordblks;
  for (auto _ : state) {
    for (int pass = 0; pass < 100000; ++pass, launched.forgetCalls(++passes)) {
      launched.nextTimedPass();
      if (pass % 10 == 0) launched.app().checkState();
    }
  }
  const std::size_t after = mallinfo2().uordblks;
  state.counters["heap_before_bytes"] = static_cast<double>(before);
  state.counters["heap_after_bytes"] = static_cast<double>(after);
  state.counters["heap_growth_bytes"] = static_cast<double>(after) - static_cast<double>(before);
  state.counters["pending_timers"] = static_cast<double>(launched.loop.pendingTimerCount());
}
BENCHMARK(BM_RGAppDelegateHeapOver100000Passes)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
