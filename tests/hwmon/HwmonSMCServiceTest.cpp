// The hwmon service's rules over a hand-made sensor list, read through the smc module: a key
// whose sensor is lost stays known, and the chips are discovered again at most every 10 s.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "platform/foundation/NSLog.h"
#include "platform/hwmon/HwmonServices.h"
#include "sensors/smc.h"
#include "tests/support/FakeSensorSource.h"

using namespace std::chrono_literals;

namespace {

class HwmonSMCServiceTest : public testing::Test {
 protected:
  // A coretemp package at 45 °C (input 0) and one fan at 1200 rpm.
  void SetUp() override {
    auto made = std::make_unique<FakeSensorSource>(std::vector<FakeSensorSource::Input>{
        {"coretemp", "Package id 0", 45.0}, {"nct6775", "fan1", 1200.0, SensorKind::fan}});
    source = made.get();
    ASSERT_TRUE(
        publishHwmonServices(IORegistry::shared(), std::move(made), [this] { return now; }));
    ASSERT_EQ(SMCOpen(), 0);
  }
  void TearDown() override {
    SMCClose();
    IORegistry::shared().withdraw("AppleSMC");
  }

  static kern_return_t read(const char* key) {
    SMCReading reading;
    return SMCReadKey(key, reading);
  }

  LogCaptureForTesting log;
  FakeSensorSource* source = nullptr;
  std::chrono::steady_clock::time_point now{};
};

}  // namespace

TEST_F(HwmonSMCServiceTest, ALostSensorKeepsItsKeyAndIsLookedForAtMostEveryTenSeconds) {
  const struct {
    std::chrono::seconds at;
    bool present;
    kern_return_t result;
    int rediscoveries;
  } steps[] = {{0s, false, kIOReturnNoDevice, 0},   // the last discovery was at creation
               {9s, false, kIOReturnNoDevice, 0},   //
               {10s, false, kIOReturnNoDevice, 1},  // looked for; the key stays known
               {12s, true, kIOReturnNoDevice, 1},   // back, but found only when due
               {19s, true, kIOReturnNoDevice, 1},   //
               {20s, true, kIOReturnSuccess, 2},    //
               {35s, true, kIOReturnSuccess, 2}};   // good reads look for nothing
  for (const auto& step : steps) {
    now = std::chrono::steady_clock::time_point(step.at);
    source->setPresent(0, step.present);
    EXPECT_EQ(read("TC0D"), step.result) << step.at.count() << " s";
    EXPECT_EQ(source->rediscoveries(), step.rediscoveries) << step.at.count() << " s";
  }
  EXPECT_EQ(SMCGetFanRpm("F0Ac"), 1200);
  EXPECT_EQ(read("F1Ac"), kIOReturnNotFound);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "hwmon: CPU temperature from coretemp-isa-0000 \"Package id 0\".",
                             "hwmon: sensors changed; 1 of 2 keys can be read.",
                             "hwmon: sensors changed; 2 of 2 keys can be read."}));
}
