#include "platform/foundation/NSRunLoop.h"

#include <map>

#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSTimer.h"

namespace {

RunLoopClock::duration boundedInterval(double seconds) {
  return std::chrono::duration_cast<RunLoopClock::duration>(
      std::chrono::duration<double>(NSTimer::boundedIntervalSeconds(seconds)));
}

}  // namespace

struct NSRunLoop::State {
  NSRunLoopMode mode = NSRunLoopMode::Default;
  // Timers by deadline; a multimap keeps timers with equal deadlines in the order they were added.
  std::multimap<RunLoopClock::time_point, NSInvocation> timers;
  std::function<RunLoopClock::time_point()> clock;
  std::shared_ptr<RunLoopDriver> driver;
};

NSRunLoop::NSRunLoop() : state(std::make_unique<State>()) {}
NSRunLoop::~NSRunLoop() = default;

NSRunLoop& NSRunLoop::mainRunLoop() {
  static NSRunLoop loop;
  return loop;
}

NSRunLoopMode NSRunLoop::currentMode() const { return state->mode; }

void NSRunLoop::setMode(NSRunLoopMode mode) {
  state->mode = mode;
  if (state->driver) state->driver->timersChanged();
}

void NSRunLoop::addTimer(double intervalSeconds, NSInvocation invocation) {
  state->timers.emplace(now() + boundedInterval(intervalSeconds), std::move(invocation));
  if (state->driver) state->driver->timersChanged();
}

std::optional<RunLoopClock::time_point> NSRunLoop::nextFireDate() const {
  if (state->mode != NSRunLoopMode::Default || state->timers.empty()) return std::nullopt;
  return state->timers.begin()->first;
}

void NSRunLoop::fireDueTimers() {
  const RunLoopClock::time_point dueBy = now();
  // Each timer leaves the list before it runs, so its invocation may add timers, change the mode
  // or run the loop's other operations safely. A timer that opens a menu holds the rest.
  while (state->mode == NSRunLoopMode::Default && !state->timers.empty() &&
         state->timers.begin()->first <= dueBy) {
    auto timer = state->timers.extract(state->timers.begin());
    timer.mapped().invoke();
  }
}

std::size_t NSRunLoop::pendingTimerCount() const { return state->timers.size(); }

void NSRunLoop::run() {
  // Held for the whole run, so a driver replaced while running stays alive until it returns.
  const std::shared_ptr<RunLoopDriver> driver = state->driver;
  if (driver) driver->run();
}

void NSRunLoop::stop() {
  if (state->driver) state->driver->stop();
}

void NSRunLoop::setDriver(std::shared_ptr<RunLoopDriver> driver) {
  state->driver = std::move(driver);
  if (state->driver) state->driver->timersChanged();
}

void NSRunLoop::setClockForTesting(std::function<RunLoopClock::time_point()> clock) {
  state->clock = std::move(clock);
}

void NSRunLoop::resetForTesting() {
  // Moved out first: destroying an invocation may run code that touches the loop again.
  auto timers = std::move(state->timers);
  state->timers.clear();
  auto driver = std::move(state->driver);
  state->driver.reset();
  state->clock = nullptr;
  state->mode = NSRunLoopMode::Default;
}

RunLoopClock::time_point NSRunLoop::now() const {
  if (state->clock) return state->clock();
  return RunLoopClock::now();
}
