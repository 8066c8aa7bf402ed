// The service over libsensors on a fake hwmon tree, read through the smc module: chips named
// as on a real machine, fresh readings, a sensor that blips, and a chip that vanishes and comes
// back as another hwmonN.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/foundation/NSLog.h"
#include "platform/hwmon/HwmonServices.h"
#include "platform/hwmon/LibsensorsSource.h"
#include "sensors/smc.h"
#include "tests/support/FakeHwmonTree.h"

using namespace std::chrono_literals;

namespace {

const std::string fromPackage = "hwmon: CPU temperature from coretemp-isa-0000 \"Package id 0\".";

class FakeSysfsTest : public testing::Test {
 protected:
  // A coretemp package as hwmon2 and two fans (1200 and 0 rpm) as hwmon4.
  void SetUp() override {
    tree = FakeHwmonTree::create();
    ASSERT_TRUE(tree) << log.lines().back();
    tree->addCoretemp(2, "45000");
    tree->addFans(4, "1200", "0");
  }
  void TearDown() override {
    SMCClose();
    IORegistry::shared().withdraw("AppleSMC");  // the last owner: libsensors is cleaned up
  }
  void open() {
    ASSERT_TRUE(publishHwmonServices(IORegistry::shared(), LibsensorsSource::create(),
                                     [this] { return now; }));
    ASSERT_EQ(SMCOpen(), 0);
  }

  LogCaptureForTesting log;
  std::unique_ptr<FakeHwmonTree> tree;
  std::chrono::steady_clock::time_point now{};
};

}  // namespace

TEST_F(FakeSysfsTest, AnswersFromTheChipsAsTheyReadNow) {
  open();
  EXPECT_EQ(log.lines().back(), fromPackage);
  EXPECT_EQ(SMCGetTemperature("TC0D"), 45.0);
  EXPECT_EQ(SMCGetFanRpm("F0Ac"), 1200);
  EXPECT_EQ(SMCGetFanRpm("F1Ac"), 0);
  SMCReading reading;
  EXPECT_EQ(SMCReadKey("TC0P", reading), kIOReturnNotFound);  // a key no sensor answers
  EXPECT_EQ(LibsensorsSource::create(), nullptr);             // libsensors is one per process

  tree->write(4, "fan1_input", "1300");
  EXPECT_EQ(SMCGetFanRpm("F0Ac"), 1300);
  // What libsensors cannot parse, or parses to no number, is a failed read.
  for (const char* garbled : {"garbage", "nan", "inf", "-inf"}) {
    tree->write(2, "temp1_input", garbled);
    EXPECT_EQ(SMCGetTemperature("TC0D"), 0.0) << garbled;
  }
}

TEST_F(FakeSysfsTest, TakesThePackageBackAfterABlipAndFindsAChipThatComesBackAsAnotherHwmon) {
  tree->write(2, "temp2_label", "Core 0");
  tree->write(2, "temp2_input", "47000");
  open();
  std::filesystem::remove("/sys/class/hwmon/hwmon2/temp1_input");
  now += 10s;
  EXPECT_EQ(SMCGetTemperature("TC0D"), 0.0);  // the failed read finds the core
  EXPECT_EQ(SMCGetTemperature("TC0D"), 47.0);
  EXPECT_EQ(log.lines().back(), "hwmon: CPU temperature from coretemp-isa-0000 \"Core 0\".");

  tree->write(2, "temp1_input", "70000");
  now += 9s;
  EXPECT_EQ(SMCGetTemperature("TC0D"), 47.0);  // within 10 s of the last discovery
  now += 1s;
  EXPECT_EQ(SMCGetTemperature("TC0D"), 70.0);
  EXPECT_EQ(log.lines().back(), fromPackage);

  const std::size_t logged = log.lines().size();
  now += 60s;
  EXPECT_EQ(SMCGetTemperature("TC0D"), 70.0);
  EXPECT_EQ(log.lines().size(), logged);

  tree->removeChip(2);
  now += 10s;
  SMCReading reading;
  EXPECT_EQ(SMCReadKey("TC0D", reading), kIOReturnNoDevice);  // lost, but still known
  EXPECT_EQ(SMCGetFanRpm("F0Ac"), 1200);                      // the other chip reads on
  EXPECT_EQ(log.lines().back(), "hwmon: sensors changed; 2 of 3 keys can be read.");
  tree->addCoretemp(7, "50000");
  EXPECT_EQ(SMCGetTemperature("TC0D"), 0.0);  // within 10 s of the last discovery
  now += 10s;
  EXPECT_EQ(SMCGetTemperature("TC0D"), 50.0);
  EXPECT_EQ(log.lines().back(), "hwmon: sensors changed; 3 of 3 keys can be read.");
}

TEST_F(FakeSysfsTest, WithoutSensorsNoServiceIsPublished) {
  tree->removeChip(2);
  tree->removeChip(4);
  EXPECT_FALSE(publishHwmonServices(IORegistry::shared()));
  EXPECT_EQ(log.lines().back(),
            "hwmon: no CPU temperature or fan sensor found; there is no AppleSMC service.");
}
