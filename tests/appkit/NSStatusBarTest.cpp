// An attached view hears every real change of the status items, and no repeats.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSStatusBar.h"
#include "platform/foundation/NSLog.h"

namespace {

// Like the desktop view, attaches to each new item and records what it hears.
struct RecordingView : NSStatusBarObserver, NSStatusItemObserver {
  void statusBarDidAddItem(NSStatusItem& item) override {
    seen.push_back("add");
    item.setObserver(this);
  }
  void statusBarWillRemoveItem(NSStatusItem& item) override {
    seen.push_back("remove " + item.title());
  }
  void statusItemTitleDidChange(NSStatusItem& item) override {
    seen.push_back("title " + item.title());
  }
  void statusItemMenuDidChange(NSStatusItem& item) override {
    seen.push_back("menu " + (item.menu() ? item.menu()->title() : std::string("none")));
  }
  std::vector<std::string> seen;
};

TEST(NSStatusBarTest, AnAttachedViewHearsEachRealChange) {
  RecordingView view;
  NSStatusBar::systemStatusBar().setObserver(&view);
  auto item = NSStatusBar::systemStatusBar().statusItemWithLength(NSVariableStatusItemLength);
  auto menu = std::make_shared<NSMenu>("Pyrelle");
  for (int twice = 0; twice < 2; ++twice) {
    item->setTitle("45 °C");
    item->setMenu(menu);
  }
  item->setMenu(nullptr);
  // A second view would leave the first deaf: said, not silent.
  LogCaptureForTesting log;
  RecordingView second;
  item->setObserver(&second);
  item->setObserver(&view);
  EXPECT_EQ(log.lines().size(), 2u);
  item.reset();
  NSStatusBar::systemStatusBar().setObserver(nullptr);

  EXPECT_EQ(view.seen, (std::vector<std::string>{"add", "title 45 °C", "menu Pyrelle", "menu none",
                                                 "remove 45 °C"}));
}

}  // namespace
