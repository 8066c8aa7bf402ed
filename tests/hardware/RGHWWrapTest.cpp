#include "hardware/RGHWWrap.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/foundation/NSLog.h"
#include "sensors/smc.h"
#include "tests/support/ScopedAppleSMC.h"

namespace {

using Lines = std::vector<std::string>;
const std::string closeFailed = "Error while closing I/O connection.\n";

class RGHWWrapTest : public testing::Test {
 protected:
  static ScriptedSMCService& scriptMachine(ScriptedSMCService& service) {
    service.setFanRpm("F0Ac", 1200);
    service.setFanRpm("F1Ac", 2400);
    service.setTemperature("TC0D", 45.5);
    return service;
  }

  ScopedAppleSMC smc;
  ScriptedSMCService& service = scriptMachine(smc.service());
  LogCaptureForTesting log;
  RGHWWrap wrap;
};

}  // namespace

TEST_F(RGHWWrapTest, RoundsHalvesAwayFromZeroInBothUnitsAndFailuresGiveTheSentinels) {
  // 2.5 and 7.5 convert to exact halves (4.5 and 13.5), where rounding to even would differ.
  const struct {
    double celsius, wholeC, wholeF;
  } cases[] = {{45.5, 46, 114}, {2.25, 2, 36},   {-0.5, -1, 31},  {2.5, 3, 37},      {-2.5, -3, 27},
               {7.5, 8, 46},    {-17.5, -18, 0}, {-40, -40, -40}, {-0.015625, 0, 32}};
  for (const auto& [celsius, wholeC, wholeF] : cases) {
    service.setTemperature("TC0D", celsius);
    EXPECT_EQ(wrap.getCPUtempC(), wholeC) << celsius;
    EXPECT_EQ(wrap.getCPUtempF(), wholeF) << celsius;
  }

  // A fan gone or outside the two, and a failed temperature read, give the sentinels. (That the
  // temperature getters sample every key and the fan getters only read what they cached is the
  // app test's, which counts the reads of each refresh and sees a new fan speed.)
  service.removeKey("F1Ac");
  wrap.getCPUtempC();
  EXPECT_EQ(wrap.getRPMforFan(1), -1);
  for (const int outside : {-1, 2, INT_MIN, INT_MAX}) EXPECT_EQ(wrap.getRPMforFan(outside), -1);
  service.failReadBytes("TC0D");
  EXPECT_EQ(wrap.getCPUtempF(), 32);
}

TEST_F(RGHWWrapTest, OnlyTheFirstCloseReachesThePlatform) {
  EXPECT_EQ(wrap.closeConnection(), 0);
  // The process-wide connection is opened again by someone else; a stale close must not end it.
  ASSERT_EQ(SMCOpen(), 0);
  EXPECT_EQ(wrap.closeConnection(), -1);
  EXPECT_EQ(SMCGetFanRpm("F0Ac"), 1200);
  EXPECT_EQ(SMCClose(), 0);
  EXPECT_EQ(log.lines(),
            (Lines{"Opening I/O connection.\n", "Closing I/O connection.\n", closeFailed}));
}
