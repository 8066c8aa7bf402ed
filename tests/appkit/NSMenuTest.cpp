#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/appkit/NSMenu.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSRunLoop.h"

namespace {

struct Receiver : NSObject {
  void about() { received.push_back("about"); }
  void chosen(NSMenuItem& sender) { received.push_back(sender.title()); }
  std::vector<std::string> received;
};

struct Stranger : NSObject {};

struct RecordingView : NSMenuObserver {
  void menuDidAddItem(NSMenu&, NSMenuItem& item, std::size_t index) override {
    seen.push_back("add " + std::to_string(index) + " " + item.title());
  }
  void menuItemDidChange(NSMenu&, NSMenuItem& item) override {
    seen.push_back(item.title() + (item.isEnabled() ? " enabled" : " disabled"));
  }
  std::vector<std::string> seen;
};

std::shared_ptr<NSMenuItem> makeItem(const char* title, NSSelector action, NSObject* target) {
  auto item = std::make_shared<NSMenuItem>(title, std::move(action), "");
  item->setTarget(target);
  return item;
}

TEST(NSMenuItemTest, OnlyEntriesWhoseTargetAnswersTheirActionAreEnabledAndChosen) {
  Receiver receiver;
  Stranger stranger;
  auto fan = makeItem("Fan 1: 1200 RPM", NSSelector{}, &receiver);
  auto separator = NSMenuItem::separatorItem();
  separator->setTarget(&receiver);
  for (const auto& disabled : {fan, separator, makeItem("Info...", &Receiver::about, nullptr),
                               makeItem("Info...", &Receiver::about, &stranger)}) {
    EXPECT_FALSE(disabled->isEnabled());
    EXPECT_FALSE(disabled->userChoose());
  }
  EXPECT_TRUE(makeItem("Info...", &Receiver::about, &receiver)->userChoose());
  EXPECT_TRUE(makeItem("Quit", &Receiver::chosen, &receiver)->userChoose());
  EXPECT_EQ(receiver.received, (std::vector<std::string>{"about", "Quit"}));
}

TEST(NSMenuTest, KeepsEntriesInOrderEachInOneMenuOnly) {
  LogCaptureForTesting log;
  NSMenu menu("Pyrelle");
  NSMenu other("Other");
  auto info = makeItem("Info...", NSSelector{}, nullptr);
  menu.addItem(NSMenuItem::separatorItem());
  menu.addItem(info);
  menu.addItem(info);
  other.addItem(info);
  menu.addItem(nullptr);
  ASSERT_EQ(menu.numberOfItems(), 2u);
  EXPECT_TRUE(menu.items()[0]->isSeparatorItem());
  EXPECT_EQ(menu.items()[1], info);
  EXPECT_EQ(other.numberOfItems(), 0u);
  EXPECT_EQ(log.lines().size(), 3u);
}

TEST(NSMenuTest, AViewHearsOfAddedEntriesAndRealChangesOnly) {
  Receiver receiver;
  RecordingView view;
  auto fan = makeItem("Fan 1: 1200 RPM", NSSelector{}, nullptr);
  {
    NSMenu menu("Pyrelle");
    menu.setObserver(&view);
    menu.addItem(fan);
    fan->setTitle("Fan 1: 1250 RPM");
    fan->setTitle("Fan 1: 1250 RPM");
    fan->setTarget(&receiver);
    fan->setAction(&Receiver::about);
  }
  // The entry outlives its menu and must not reach it any more.
  fan->setTitle("Fan 1: 1300 RPM");
  EXPECT_EQ(fan->menu(), nullptr);
  EXPECT_EQ(view.seen,
            (std::vector<std::string>{"add 0 Fan 1: 1200 RPM", "Fan 1: 1250 RPM disabled",
                                      "Fan 1: 1250 RPM disabled", "Fan 1: 1250 RPM enabled"}));
}

TEST(NSMenuTest, TimersHoldWhileTheMenuIsOpenEvenIfItGoesAway) {
  NSRunLoop& loop = NSRunLoop::mainRunLoop();
  ManualClock clock;
  loop.setClockForTesting(clock.function());
  int fired = 0;
  NSTimer::scheduledTimerWithTimeInterval(5, NSInvocation([&] { ++fired; }), false);
  {
    NSMenu menu("Pyrelle");
    NSMenu neverOpened("Other");
    menu.menuWillOpen();
    menu.menuWillOpen();
    neverOpened.menuDidClose();  // leaves the open menu's tracking alone
    clock.advance(std::chrono::seconds(12));
    loop.fireDueTimers();
    EXPECT_EQ(fired, 0);
  }
  loop.fireDueTimers();
  EXPECT_EQ(fired, 1);
  loop.resetForTesting();
}

}  // namespace
