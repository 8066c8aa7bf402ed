#include <gtest/gtest.h>

#include <vector>

#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSSegmentedCell.h"
#include "platform/appkit/NSSlider.h"
#include "platform/foundation/NSLog.h"

namespace {

// Stands in for the application delegate: records the value each action arrived with.
struct Receiver : NSObject {
  void units(NSSegmentedCell& sender) { received.push_back(sender.selectedSegment()); }
  void interval(NSControl& sender) { received.push_back(sender.intValue()); }
  void toggle(NSButton& sender) { received.push_back(sender.state()); }
  std::vector<int> received;
};

struct Stranger : NSObject {};

struct RecordingView : NSControlObserver {
  void controlDidChange(NSControl& control) override { seen.push_back(control.intValue()); }
  std::vector<int> seen;
};

TEST(NSControlTest, OnlyTheUsersChangesSendTheActionAndRepeatsAreSentToo) {
  Receiver receiver;
  NSSlider slider;
  slider.setTarget(&receiver);
  slider.setAction(&Receiver::interval);
  slider.setIntValue(12);
  EXPECT_TRUE(receiver.received.empty());
  EXPECT_TRUE(slider.userSetIntValue(30));
  EXPECT_TRUE(slider.userSetIntValue(30));
  EXPECT_EQ(receiver.received, (std::vector<int>{30, 30}));
}

TEST(NSControlTest, NothingIsSentToNoTargetOrToOneThatCannotTakeTheAction) {
  Receiver receiver;
  Stranger stranger;
  NSSlider slider;
  slider.setAction(&Receiver::interval);
  EXPECT_FALSE(slider.userSetIntValue(7));
  EXPECT_EQ(slider.intValue(), 7);
  slider.setTarget(&stranger);
  EXPECT_FALSE(slider.userSetIntValue(8));
  slider.setTarget(&receiver);
  slider.setAction(&Receiver::toggle);  // wants a check box as its sender
  EXPECT_FALSE(slider.userSetIntValue(9));
  EXPECT_TRUE(receiver.received.empty());
}

TEST(NSControlTest, ValuesAreKeptWithinWhatEachControlShows) {
  LogCaptureForTesting log;
  Receiver receiver;
  NSSegmentedCell cell(2);
  cell.setTarget(&receiver);
  cell.setAction(&Receiver::units);
  cell.setSelectedSegment(1);
  cell.setSelectedSegment(2);
  EXPECT_FALSE(cell.userSelectSegment(-2));
  EXPECT_EQ(cell.selectedSegment(), 1);
  EXPECT_EQ(log.lines().size(), 2u);
  EXPECT_TRUE(cell.userSelectSegment(0));
  EXPECT_EQ(receiver.received, (std::vector<int>{0}));

  NSButton box;
  box.setState(5);
  EXPECT_EQ(box.state(), NSOnState);
  box.setState(-1);
  EXPECT_EQ(box.state(), NSOnState);
}

TEST(NSControlTest, AViewHearsOfEveryChangeButNotOfRepeats) {
  RecordingView view;
  NSButton box;
  box.setObserver(&view);
  box.setState(1);
  box.setState(7);  // still on
  box.userSetState(0);
  box.setObserver(nullptr);
  box.setState(1);
  EXPECT_EQ(view.seen, (std::vector<int>{1, 0}));
}

}  // namespace
