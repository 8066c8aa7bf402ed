#include <cstdint>

#include "app/RGAppDelegate.h"
#include "hardware/RGHWWrap.h"
#include "platform/appkit/AppKit.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSTimer.h"

void RGAppDelegate::checkState() {
  if (hwwrap == nullptr) return;
  // Either getter takes a fresh sample of all three sensors; the fan getters read that sample.
  strTemperature = _farenheit ? stringWithFormat("%2.0f °F", hwwrap->getCPUtempF())
                              : stringWithFormat("%2.0f °C", hwwrap->getCPUtempC());
  if (theItem != nullptr) theItem->setTitle(strTemperature);

  // A fan that reads -1 keeps its last title; a fan without an entry only updates its string.
  const std::int64_t rpm1 = hwwrap->getRPMforFan(0);
  const std::int64_t rpm2 = hwwrap->getRPMforFan(1);
  if (rpm1 != -1) {
    strRPM1 = stringWithFormat("Fan 1: %ld RPM", static_cast<long>(rpm1));
    if (statusRPM1 != nullptr) statusRPM1->setTitle(strRPM1);
  }
  if (rpm2 != -1) {
    strRPM2 = stringWithFormat("Fan 2: %ld RPM", static_cast<long>(rpm2));
    if (statusRPM2 != nullptr) statusRPM2->setTitle(strRPM2);
  }

  // A pass run by the units action finds the timer pending and leaves it: one chain only.
  if (!*refreshPending) armRefreshTimer();
}

void RGAppDelegate::armRefreshTimer() {
  *refreshPending = true;
  // The interval is read now: a later change applies from the timer after this one.
  NSInvocation nextPass([this, pending = std::weak_ptr<bool>(refreshPending)] {
    const std::shared_ptr<bool> stillHere = pending.lock();
    if (stillHere == nullptr) return;
    *stillHere = false;
    checkState();
  });
  NSTimer::scheduledTimerWithTimeInterval(static_cast<double>(_refreshInterval),
                                          std::move(nextPass), false);
}
