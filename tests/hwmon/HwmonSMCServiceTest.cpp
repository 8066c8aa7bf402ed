// The hwmon "AppleSMC" service over hand-made sensors, read through the smc module as the
// application reads it.

#include "platform/hwmon/HwmonSMCService.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>

#include "platform/foundation/NSLog.h"
#include "platform/hwmon/HwmonServices.h"
#include "sensors/smc.h"
#include "tests/hwmon/FakeSensorSource.h"

using namespace std::chrono_literals;

namespace {

class HwmonSMCServiceTest : public testing::Test {
 protected:
  HwmonSMCServiceTest() {
    pending = std::make_unique<FakeSensorSource>();
    source = pending.get();
    const std::size_t cpu = source->addChip("coretemp");
    package = source->addTemperature(cpu, "Package id 0", 45.25);
    fan = source->addFan(source->addChip("thinkpad"), 1200);
  }
  ~HwmonSMCServiceTest() override {
    SMCClose();
    IORegistry::shared().withdraw("AppleSMC");
  }

  bool publish() {
    return publishHwmonServices(IORegistry::shared(), std::move(pending), [this] { return now; });
  }

  LogCaptureForTesting log;
  std::unique_ptr<FakeSensorSource> pending;
  FakeSensorSource* source;
  SensorRef package;
  SensorRef fan;
  std::chrono::steady_clock::time_point now{};
};

}  // namespace

TEST_F(HwmonSMCServiceTest, AnswersTheKeysWithFreshReadingsAndKeyInfoReadsNothing) {
  ASSERT_TRUE(publish());
  EXPECT_EQ(log.lines(), std::vector<std::string>{
                             "hwmon: CPU temperature from coretemp-isa-0000 \"Package id 0\"."});
  ASSERT_EQ(SMCOpen(), 0);

  EXPECT_EQ(SMCGetTemperature("TC0D"), 45.25);
  EXPECT_EQ(SMCGetFanRpm("F0Ac"), 1200);
  EXPECT_EQ(source->reads, 2);  // one read per read-bytes, none for key-info
  source->set(package, 46.5);
  EXPECT_EQ(SMCGetTemperature("TC0D"), 46.5);

  SMCReading reading;
  EXPECT_NE(SMCReadKey("F1Ac", reading), 0);  // one fan only
  EXPECT_NE(SMCReadKey("TC0P", reading), 0);
  EXPECT_EQ(reading.dataSize, 0u);
  EXPECT_EQ(SMCGetFanRpm("F1Ac"), -1);
  EXPECT_EQ(source->reads, 3);
}

TEST_F(HwmonSMCServiceTest, FailedOrGarbledReadsGiveTheSentinelsAndRediscoverAtMostEvery10s) {
  ASSERT_TRUE(publish());
  ASSERT_EQ(SMCOpen(), 0);
  source->set(package, std::nullopt);
  source->set(fan, std::nan(""));

  now += 9s;  // the discovery at start counts
  EXPECT_EQ(SMCGetTemperature("TC0D"), 0.0);
  EXPECT_EQ(SMCGetFanRpm("F0Ac"), -1);
  EXPECT_EQ(source->rediscoveries, 0);
  now += 1s;
  EXPECT_EQ(SMCGetTemperature("TC0D"), 0.0);
  EXPECT_EQ(SMCGetFanRpm("F0Ac"), -1);
  EXPECT_EQ(source->rediscoveries, 1);
  now += 9s;
  EXPECT_EQ(SMCGetTemperature("TC0D"), 0.0);
  EXPECT_EQ(source->rediscoveries, 1);
  now += 1s;
  source->set(package, 1e6);  // absurd, but a reading: clamped
  EXPECT_EQ(SMCGetTemperature("TC0D"), 127.984375);
  EXPECT_EQ(source->rediscoveries, 1);
}
