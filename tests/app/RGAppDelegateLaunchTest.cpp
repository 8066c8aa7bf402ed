#include <filesystem>

#include "platform/foundation/NSString.h"
#include "tests/app/ApplicationRun.h"

namespace {

using Launch = ApplicationRun;

// The settings as the delegate and its controls show them.
std::string controls() {
  RGAppDelegate& delegate = app();
  return stringWithFormat(
      "%s %ld s: segment %d, field %d, slider %d, check box %d", delegate.farenheit() ? "°F" : "°C",
      static_cast<long>(delegate.refreshInterval()),
      delegate.tempUnitsCFselect()->selectedSegment(), delegate.refreshField()->intValue(),
      delegate.refreshSlider()->intValue(), delegate.automaticStartupCheckbox()->state());
}

// Notes, as a desktop view could, what had happened when the status item was made.
struct FirstItemWatch : NSStatusBarObserver {
  explicit FirstItemWatch(const LogCaptureForTesting& log) : log(log) {
    NSStatusBar::systemStatusBar().setObserver(this);
  }
  ~FirstItemWatch() override { NSStatusBar::systemStatusBar().setObserver(nullptr); }
  void statusBarDidAddItem(NSStatusItem& item) override {
    seen = log.lines();
    seen.push_back("item titled '" + item.title() + "'");
  }
  void statusBarWillRemoveItem(NSStatusItem&) override {}

  const LogCaptureForTesting& log;
  Lines seen;
};

}  // namespace

TEST_F(Launch, TheControlsShowTheStoredSettingsAndTheLoginItemAndTheTitleFollows) {
  FirstItemWatch watch(log);
  run([] {
    EXPECT_EQ(controls(), "°C 5 s: segment 0, field 5, slider 5, check box 0");
    EXPECT_EQ(statusItem().title(), "45 °C");
    EXPECT_TRUE(statusItem().highlightMode());
    EXPECT_FALSE(app().window()->isVisible());
  });
  // The hardware object is there, with its first sample, before the status item.
  EXPECT_EQ(watch.seen, (Lines{notOnList, opening, "item titled ''"}));

  settings().setInteger(12, "refreshinterval");
  settings().setBool(true, "farenheit");
  restartSettings();
  home.write("pyrelle.desktop", entryWithExec(bundlePath));
  service.setTemperature("TC0D", 40);
  run([] {
    EXPECT_EQ(controls(), "°F 12 s: segment 1, field 12, slider 12, check box 1");
    EXPECT_EQ(statusItem().title(), "104 °F");
  });
}

TEST_F(Launch, TheMenuListsOnlyTheFansReadAtLaunchAndKeepsASpeedThatStopsReading) {
  const Lines rest = {"---", "Info...", "Preferences...", "---", "Quit"};
  run([&] {
    Lines both = {"Fan 1: 1200 RPM (disabled)", "Fan 2: 2400 RPM (disabled)"};
    both.insert(both.end(), rest.begin(), rest.end());
    EXPECT_EQ(statusItem().menu()->title(), "Pyrelle");
    EXPECT_EQ(menuEntries(), both);
    service.setFanRpm("F0Ac", 1300);
    service.removeKey("F1Ac");
    wait(5);
    EXPECT_EQ(menuEntries().at(0), "Fan 1: 1300 RPM (disabled)");
    EXPECT_EQ(menuEntries().at(1), "Fan 2: 2400 RPM (disabled)");
  });

  service.removeKey("F0Ac");
  service.setFanRpm("F1Ac", 2500);
  run([&] {
    EXPECT_EQ(menuEntries().at(0), "Fan 2: 2500 RPM (disabled)");
    service.setFanRpm("F0Ac", 1200);  // readable now, but not at launch
    wait(5);
    EXPECT_EQ(menuEntries().size(), rest.size() + 1);
  });

  service.removeKey("F0Ac");
  service.removeKey("F1Ac");
  run([&] { EXPECT_EQ(menuEntries(), rest); });
}

TEST_F(Launch, PreferencesRereadTheLoginItemsAndTheCheckBoxChangesThem) {
  home.write("pyrelle.desktop", entryWithExec(bundlePath));
  run([&] {
    std::filesystem::remove(home.autostart() / "pyrelle.desktop");  // removed elsewhere
    choose("Preferences...");
    NSButton& checkbox = *app().automaticStartupCheckbox();
    EXPECT_EQ(checkbox.state(), NSOffState);
    EXPECT_TRUE(app().window()->isVisible());
    choose("Info...");

    log.clear();
    checkbox.userSetState(NSOnState);
    EXPECT_TRUE(std::filesystem::exists(home.autostart() / "pyrelle.desktop"));
    checkbox.userSetState(NSOffState);
    EXPECT_TRUE(std::filesystem::is_empty(home.autostart()));
    EXPECT_EQ(log.lines(), (Lines{"Making application launch on user login",
                                  "Adding application to the user Login List",
                                  "Remove application launch on user login",
                                  "Removing application to the user Login List"}));
  });
  EXPECT_EQ(*events, (Lines{"start", "interface loaded", "run", "activate", "window front",
                            "activate", "about"}));
}

TEST_F(Launch, TheConnectionIsClosedOnceWhicheverWayTheRunEnds) {
  EXPECT_EQ(run([] {
              choose("Quit");
              EXPECT_FALSE(NSApp().isRunning());
            }),
            0);
  EXPECT_EQ(log.lines(), (Lines{notOnList, opening, closing}));
  EXPECT_EQ(events->back(), "stop");

  log.clear();
  service.resetCounters();
  run();                          // torn down without Quit
  EXPECT_EQ(passesAfter(30), 1);  // the timer the run left behind finds the delegate gone
  EXPECT_EQ(log.lines(), (Lines{notOnList, opening, closing}));
  EXPECT_TRUE(NSStatusBar::systemStatusBar().statusItems().empty());

  log.clear();
  service.failOpen(kIOReturnNoDevice);
  run([] {
    EXPECT_EQ(statusItem().title(), " 0 °C");
    EXPECT_EQ(menuEntries().at(0), "---");
    choose("Quit");
  });
  EXPECT_EQ(log.lines(), (Lines{notOnList, "Error opening I/O connection.\n",
                                "Error while closing I/O connection.\n"}));
}
