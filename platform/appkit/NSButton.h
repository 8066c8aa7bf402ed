#pragma once
// A check box: state 1 is on, 0 is off. Any non-zero state is taken as on (1).

#include "platform/appkit/NSControl.h"

inline constexpr int NSOffState = 0;
inline constexpr int NSOnState = 1;

class NSButton : public NSControl {
 public:
  NSButton() = default;

  int state() const { return intValue(); }
  void setState(int state) { setIntValue(state); }
  // The user clicked the check box into `state`; sends the action.
  bool userSetState(int state) { return userSetIntValue(state); }

 protected:
  bool accept(int& proposed) const override;
};
