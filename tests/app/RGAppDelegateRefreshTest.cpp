#include "tests/app/ApplicationRun.h"

namespace {

using Refresh = ApplicationRun;

}  // namespace

TEST_F(Refresh, TheTitleShowsWholeDegreesInTheChosenUnit) {
  run([&] {
    for (const auto& [celsius, title] : std::vector<std::pair<double, std::string>>{
             {5, " 5 °C"}, {-0.015625, "-0 °C"}, {-12.4, "-12 °C"}, {104.5, "105 °C"}}) {
      service.setTemperature("TC0D", celsius);
      wait(5);
      EXPECT_EQ(statusItem().title(), title) << celsius;
    }
    service.setTemperature("TC0D", -0.015625);
    app().tempUnitsCFselect()->userSelectSegment(1);
    EXPECT_EQ(statusItem().title(), "32 °F");
  });
}

TEST_F(Refresh, AnIntervalChangeAppliesFromTheTimerAfterThePendingOne) {
  run([&] {
    EXPECT_EQ(passesAfter(4.9), 1);
    EXPECT_EQ(passesAfter(2.1), 2);  // 7 s
    app().refreshSlider()->userSetIntValue(10);
    EXPECT_EQ(app().refreshField()->intValue(), 10);
    EXPECT_EQ(app().refreshInterval(), 10);
    EXPECT_EQ(passesAfter(3), 3);  // 10 s: the pending timer kept its time
    EXPECT_EQ(passesAfter(9.9), 3);
    EXPECT_EQ(passesAfter(0.1), 4);
  });
  restartSettings();
  EXPECT_EQ(settings().integerForKey("refreshinterval"), 10);
}

TEST_F(Refresh, NoPassRunsWhileTheMenuIsOpenAndADuePassRunsOnceItCloses) {
  run([&] {
    NSMenu& menu = *statusItem().menu();
    menu.menuWillOpen();
    service.setTemperature("TC0D", 50);
    EXPECT_EQ(passesAfter(12), 1);
    EXPECT_EQ(statusItem().title(), "45 °C");
    menu.menuDidClose();
    NSRunLoop::mainRunLoop().fireDueTimers();
    EXPECT_EQ(passes(), 2);
    EXPECT_EQ(statusItem().title(), "50 °C");
    EXPECT_EQ(passesAfter(4.9), 2);
    EXPECT_EQ(passesAfter(0.1), 3);
  });
}

TEST_F(Refresh, TheUnitsActionRefreshesAtOnceAndIsStoredButStartsNoSecondChain) {
  run([&] {
    NSSegmentedCell& units = *app().tempUnitsCFselect();
    wait(2);
    units.userSelectSegment(1);
    EXPECT_EQ(statusItem().title(), "113 °F");
    units.userSelectSegment(1);  // the unit in force: refreshed all the same
    EXPECT_EQ(passes(), 3);
    EXPECT_EQ(passesAfter(3), 4);  // the launch's chain, at 5 s
    EXPECT_EQ(passesAfter(10), 6);
    EXPECT_EQ(NSRunLoop::mainRunLoop().pendingTimerCount(), 1u);
  });
  restartSettings();
  EXPECT_TRUE(settings().boolForKey("farenheit"));
}

TEST_F(Refresh, AnIntervalOfZeroOrLessDoesNotSpin) {
  for (const int seconds : {0, -5}) {
    settings().setInteger(seconds, "refreshinterval");
    restartSettings();
    service.resetCounters();
    run([&] {
      EXPECT_EQ(app().refreshField()->intValue(), seconds);
      NSRunLoop::mainRunLoop().fireDueTimers();
      EXPECT_EQ(passes(), 1);
      EXPECT_LE(passesAfter(3), 4);
    });
  }
}
