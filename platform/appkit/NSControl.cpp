#include "platform/appkit/NSControl.h"

#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSSegmentedCell.h"
#include "platform/foundation/NSLog.h"

void NSControl::setIntValue(int newValue) { take(newValue); }

bool NSControl::userSetIntValue(int newValue) {
  if (!take(newValue)) return false;
  if (_target == nullptr || !_action) return false;
  return _action.send(*_target, *this);
}

bool NSControl::take(int newValue) {
  if (!accept(newValue)) return false;
  if (newValue == value) return true;
  value = newValue;
  if (_observer != nullptr) _observer->controlDidChange(*this);
  return true;
}

bool NSButton::accept(int& proposed) const {
  proposed = proposed == NSOffState ? NSOffState : NSOnState;
  return true;
}

NSSegmentedCell::NSSegmentedCell(int segmentCount) : _segmentCount(segmentCount) {}

bool NSSegmentedCell::accept(int& proposed) const {
  if (proposed >= -1 && proposed < _segmentCount) return true;
  NSLog("Segmented control: no such segment; selection unchanged");
  return false;
}
