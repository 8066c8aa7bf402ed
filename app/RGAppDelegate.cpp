#include "app/RGAppDelegate.h"

#include <map>

#include "hardware/RGHWWrap.h"
#include "platform/appkit/AppKit.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSRunLoop.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSTimer.h"
#include "platform/foundation/NSUserDefaults.h"

RGAppDelegate::RGAppDelegate() = default;

RGAppDelegate::~RGAppDelegate() {
  // The controls outlive the delegate: they must not send to it any more.
  NSControl* const controls[] = {_tempUnitsCFselect, _refreshField, _refreshSlider,
                                 _automaticStartupCheckbox};
  for (NSControl* control : controls) {
    if (control != nullptr && control->target() == this) control->setTarget(nullptr);
  }
  // Releasing the hardware object closes the connection, once, unless Quit already did.
  hwwrap.reset();
}

void RGAppDelegate::applicationDidFinishLaunching() {
  defaults = &NSUserDefaults::standardUserDefaults();
  defaults->registerDefaults({{"farenheit", false}});
  defaults->registerDefaults({{"refreshinterval", std::int64_t{5}}});
  setFarenheit(defaults->boolForKey("farenheit"));
  setRefreshInterval(defaults->integerForKey("refreshinterval"));
  reportBoundedInterval();

  // The controls hold 32 bits; the low ones are shown, as a signed value.
  const int shownInterval = static_cast<int>(_refreshInterval);
  if (_refreshField != nullptr) _refreshField->setIntValue(shownInterval);
  if (_refreshSlider != nullptr) _refreshSlider->setIntValue(shownInterval);
  if (_tempUnitsCFselect != nullptr) _tempUnitsCFselect->setSelectedSegment(_farenheit ? 1 : 0);
  showLoginItemState();

  hwwrap = std::make_unique<RGHWWrap>();
  strTemperature = "";
  strRPM1 = "";
  strRPM2 = "";
  activateStatusMenu();
}

void RGAppDelegate::reportBoundedInterval() const {
  const auto asked = static_cast<double>(_refreshInterval);
  const auto used = static_cast<int>(NSTimer::boundedIntervalSeconds(asked));
  if (used == asked) return;
  NSLog(
      stringWithFormat("Refresh interval of %lld seconds is out of range; the title refreshes "
                       "every %d seconds.",
                       static_cast<long long>(_refreshInterval), used));
}

void RGAppDelegate::showLoginItemState() {
  const bool launchedAtLogin = isAppInLoginItems();
  if (_automaticStartupCheckbox != nullptr) {
    _automaticStartupCheckbox->setState(launchedAtLogin ? NSOnState : NSOffState);
  }
}
