#pragma once
// A text field showing an integer (the refresh interval in the preferences window).

#include "platform/appkit/NSControl.h"

class NSTextField : public NSControl {
 public:
  NSTextField() = default;
};
