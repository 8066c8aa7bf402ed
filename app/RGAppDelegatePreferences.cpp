#include "app/RGAppDelegate.h"
#include "platform/appkit/AppKit.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSUserDefaults.h"

void RGAppDelegate::tempUnitsCF(NSSegmentedCell& sender) {
  setFarenheit(sender.selectedSegment() != 0);
  if (defaults != nullptr) defaults->setBool(_farenheit, "farenheit");
  // The title changes now; the pending timer stays the only one.
  checkState();
}

void RGAppDelegate::takeIntValueForRefreshFrom(NSControl& sender) {
  const int seconds = sender.intValue();
  // The slider and the field both send this: each shows what the other set.
  if (_refreshField != nullptr) _refreshField->setIntValue(seconds);
  if (_refreshSlider != nullptr) _refreshSlider->setIntValue(seconds);
  setRefreshInterval(seconds);
  reportBoundedInterval();
  if (defaults != nullptr) defaults->setInteger(_refreshInterval, "refreshinterval");
}

void RGAppDelegate::toggleAutomaticStartup(NSButton& sender) {
  if (sender.state() == NSOnState) {
    NSLog("Making application launch on user login");
    addAppAsLoginItem();
  } else {
    NSLog("Remove application launch on user login");
    deleteAppFromLoginItem();
  }
  // A failed addition or removal must not leave the box showing what the user asked for.
  sender.setState(loginItemsHoldApp() ? NSOnState : NSOffState);
}
