#pragma once
// A control of the preferences window: an integer value, and an action it sends to its target
// when the user changes it. The program sets values without sending the action; the view tells
// the control about the user's changes through userSetIntValue() (or the subclass's user...()).

#include <utility>

#include "platform/appkit/NSObject.h"
#include "platform/appkit/NSSelector.h"
#include "platform/appkit/ObserverSlot.h"

class NSControl;

// What a view implements to mirror a control; it reads the new value from the control.
class NSControlObserver {
 public:
  virtual ~NSControlObserver() = default;
  // The control's value changed (set by the program or by the user).
  virtual void controlDidChange(NSControl& control) = 0;
};

class NSControl : public NSObject {
 public:
  NSControl(const NSControl&) = delete;
  NSControl& operator=(const NSControl&) = delete;

  int intValue() const { return value; }
  // Shows `newValue` (adjusted as the control requires, see subclasses); sends no action.
  void setIntValue(int newValue);

  // Not owned: the target must outlive every send, or be reset first.
  NSObject* target() const { return _target; }
  void setTarget(NSObject* target) { _target = target; }
  const NSSelector& action() const { return _action; }
  void setAction(NSSelector action) { _action = std::move(action); }

  // The user set the control to `newValue`: takes it like setIntValue(), then sends the action
  // to the target with this control as the sender, even when the value did not change. A value
  // the control refuses changes nothing and sends nothing. Returns whether the action was sent.
  bool userSetIntValue(int newValue);

  // Not owned; nullptr detaches. The observer detaches before it is destroyed.
  void setObserver(NSControlObserver* observer) {
    attachObserver(_observer, observer, "NSControl");
  }

 protected:
  explicit NSControl(int initialValue = 0) : value(initialValue) {}
  // The value the control takes for `proposed`, or false to refuse it.
  virtual bool accept(int& /*proposed*/) const { return true; }

 private:
  bool take(int newValue);

  int value;
  NSObject* _target = nullptr;
  NSSelector _action;
  NSControlObserver* _observer = nullptr;
};
