#pragma once
// The objects of the main interface file, which the platform creates for the application: the
// preferences window and its four controls. The view gives them their look (the interface file
// in resources/, whose widget ids are the field names below); the application connects them.

#include <memory>

#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSSegmentedCell.h"
#include "platform/appkit/NSSlider.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSWindow.h"

class NSMainInterface {
 public:
  NSMainInterface() = default;
  NSMainInterface(const NSMainInterface&) = delete;
  NSMainInterface& operator=(const NSMainInterface&) = delete;

  NSWindow window;
  NSSegmentedCell unitsControl{2};  // segment 0 °C, segment 1 °F
  NSTextField intervalField;
  NSSlider intervalSlider;
  NSButton loginCheckbox;
};
