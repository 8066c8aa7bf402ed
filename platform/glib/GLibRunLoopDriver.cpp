#include "platform/glib/GLibRunLoopDriver.h"

#include <glib.h>

#include <chrono>

#include "platform/foundation/GLibPtr.h"
#include "platform/foundation/NSBundle.h"

// How GLib's loop meets ours: each iteration of a GMainContext asks its sources whether they are
// ready, polls until the earliest of their ready times, then dispatches the ready ones. Our one
// source carries the run loop's next deadline as its ready time (-1 while no timer can fire, so
// the context sleeps until some other event). Its dispatch fires the due timers and sets the
// ready time again; GLib never clears it by itself.

namespace {

struct TimerSource {
  GSource base;
  NSRunLoop* loop;
};

// Sets the source's ready time to the loop's next deadline, on GLib's monotonic clock.
void arm(TimerSource* source) {
  const auto next = source->loop->nextFireDate();
  if (!next) {
    g_source_set_ready_time(&source->base, -1);
    return;
  }
  const auto wait = std::chrono::ceil<std::chrono::microseconds>(*next - source->loop->now());
  // One microsecond more covers the truncation of g_get_monotonic_time(): waking a hair early
  // would find nothing due and only arm again.
  const gint64 micros = wait.count() > 0 ? wait.count() + 1 : 0;
  g_source_set_ready_time(&source->base, g_get_monotonic_time() + micros);
}

gboolean dispatchTimers(GSource* base, GSourceFunc, gpointer) {
  auto* source = reinterpret_cast<TimerSource*>(base);
  source->loop->fireDueTimers();
  arm(source);
  return G_SOURCE_CONTINUE;
}

GSourceFuncs timerSourceFuncs = {nullptr, nullptr, dispatchTimers, nullptr, nullptr, nullptr};

}  // namespace

struct GLibRunLoopDriver::Glib {
  GSourcePtr source;
  GMainLoopPtr mainLoop;
};

GLibRunLoopDriver::GLibRunLoopDriver(NSRunLoop& loop) : glib(std::make_unique<Glib>()) {
  GSource* source = g_source_new(&timerSourceFuncs, sizeof(TimerSource));
  reinterpret_cast<TimerSource*>(source)->loop = &loop;
  g_source_set_name(source,
                    (NSBundle::mainBundle().identity().programName + " run loop timers").c_str());
  g_source_attach(source, nullptr);
  glib->source.reset(source);
  glib->mainLoop.reset(g_main_loop_new(nullptr, FALSE));
  arm(reinterpret_cast<TimerSource*>(source));
}

GLibRunLoopDriver::~GLibRunLoopDriver() = default;

void GLibRunLoopDriver::run() { g_main_loop_run(glib->mainLoop.get()); }

void GLibRunLoopDriver::stop() { g_main_loop_quit(glib->mainLoop.get()); }

void GLibRunLoopDriver::timersChanged() { arm(reinterpret_cast<TimerSource*>(glib->source.get())); }
