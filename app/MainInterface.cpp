// The main interface's connections: which object is the delegate, which control fills which
// outlet, and which action each control sends. The look of the window and the widget of each
// object live in the interface file in resources/.

#include "app/MainInterface.h"

#include "app/RGAppDelegate.h"
#include "platform/appkit/NSMainInterface.h"

std::unique_ptr<NSApplicationDelegate> NSLoadMainInterface(NSMainInterface& objects) {
  auto delegate = std::make_unique<RGAppDelegate>();

  delegate->setWindow(&objects.window);
  delegate->setTempUnitsCFselect(&objects.unitsControl);
  delegate->setRefreshField(&objects.intervalField);
  delegate->setRefreshSlider(&objects.intervalSlider);
  delegate->setAutomaticStartupCheckbox(&objects.loginCheckbox);

  objects.unitsControl.setTarget(delegate.get());
  objects.unitsControl.setAction(&RGAppDelegate::tempUnitsCF);
  objects.intervalSlider.setTarget(delegate.get());
  objects.intervalSlider.setAction(&RGAppDelegate::takeIntValueForRefreshFrom);
  // The seconds field beside the slider sets the interval as the slider does.
  objects.intervalField.setTarget(delegate.get());
  objects.intervalField.setAction(&RGAppDelegate::takeIntValueForRefreshFrom);
  objects.loginCheckbox.setTarget(delegate.get());
  objects.loginCheckbox.setAction(&RGAppDelegate::toggleAutomaticStartup);
  return delegate;
}
