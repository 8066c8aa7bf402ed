#pragma once
// A slider with an integer value. The model keeps whatever value it is given; the range a view
// can show (the interface file's) does not limit it.

#include "platform/appkit/NSControl.h"

class NSSlider : public NSControl {
 public:
  NSSlider() = default;
};
