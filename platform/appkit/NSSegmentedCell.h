#pragma once
// A row of segments of which one is selected (the units control: segment 0 °C, segment 1 °F).
// The selection is the control's integer value; -1 means none is selected.

#include "platform/appkit/NSControl.h"

class NSSegmentedCell : public NSControl {
 public:
  // Starts with segment 0 selected.
  explicit NSSegmentedCell(int segmentCount);

  int segmentCount() const { return _segmentCount; }
  int selectedSegment() const { return intValue(); }
  // An index outside -1 .. segmentCount()-1 is logged and changes nothing.
  void setSelectedSegment(int segment) { setIntValue(segment); }
  // The user clicked `segment` (the selected one included); sends the action.
  bool userSelectSegment(int segment) { return userSetIntValue(segment); }

 protected:
  bool accept(int& proposed) const override;

 private:
  int _segmentCount;
};
