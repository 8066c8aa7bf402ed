// Controls and menu entries send their action only when the user acts, and only to a target
// that can take it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSMenuItem.h"
#include "platform/appkit/NSSlider.h"

namespace {

// Stands in for the application delegate: records the actions it received.
struct Receiver : NSObject {
  void interval(NSControl& sender) { received.push_back(std::to_string(sender.intValue())); }
  void toggle(NSButton&) { received.push_back("toggle"); }
  void about() { received.push_back("about"); }
  void chosen(NSMenuItem& sender) { received.push_back(sender.title()); }
  std::vector<std::string> received;
};

struct Stranger : NSObject {};

std::shared_ptr<NSMenuItem> makeItem(const char* title, NSSelector action, NSObject* target) {
  auto item = std::make_shared<NSMenuItem>(title, std::move(action), "");
  item->setTarget(target);
  return item;
}

TEST(NSControlTest, OnlyTheUsersChangesSendTheActionAndRepeatsAreSentToo) {
  Receiver receiver;
  NSSlider slider;
  slider.setTarget(&receiver);
  slider.setAction(&Receiver::interval);
  slider.setIntValue(12);
  EXPECT_TRUE(receiver.received.empty());
  EXPECT_TRUE(slider.userSetIntValue(30));
  EXPECT_TRUE(slider.userSetIntValue(30));
  EXPECT_EQ(receiver.received, (std::vector<std::string>{"30", "30"}));

  slider.setAction(&Receiver::toggle);  // wants a check box as its sender
  EXPECT_FALSE(slider.userSetIntValue(9));
  EXPECT_EQ(receiver.received.size(), 2u);
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

}  // namespace
