// The service over libsensors on a fake hwmon tree, read through the smc module: chips named
// as on a real machine, fresh readings, a sensor that blips, a chip that vanishes and comes
// back as another hwmonN, sensors chosen in the settings, and the list of sensors (a choice in
// it is left to the command-line test).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "platform/foundation/NSLog.h"
#include "platform/hwmon/HwmonServices.h"
#include "platform/hwmon/LibsensorsSource.h"
#include "platform/hwmon/SensorList.h"
#include "sensors/smc.h"
#include "tests/support/FakeHwmonTree.h"

using namespace std::chrono_literals;

namespace {

const std::string fromPackage = "hwmon: CPU temperature from coretemp-isa-0000 \"Package id 0\".";

class FakeSysfsTest : public testing::Test {
 protected:
  // A coretemp package at 45 °C with a core at 47 °C as hwmon2, and two fans (1200 and 0 rpm) as
  // hwmon4.
  void SetUp() override {
    tree = FakeHwmonTree::create();
    ASSERT_TRUE(tree) << log.lines().back();
    tree->addCoretemp(2, "45000");
    tree->write(2, "temp2_label", "Core 0");
    tree->write(2, "temp2_input", "47000");
    tree->addFans(4, "1200", "0");
  }
  void TearDown() override {
    SMCClose();
    IORegistry::shared().withdraw("AppleSMC");  // the last owner: libsensors is cleaned up
  }
  void open(SensorChoice choice = {}) {
    ASSERT_TRUE(publishHwmonServices(
        IORegistry::shared(), LibsensorsSource::create(), [this] { return now; },
        std::move(choice)));
    ASSERT_EQ(SMCOpen(), 0);
  }
  std::size_t logged(const std::string& line) const {
    return static_cast<std::size_t>(std::count(log.lines().begin(), log.lines().end(), line));
  }

  LogCaptureForTesting log;
  std::unique_ptr<FakeHwmonTree> tree;
  std::chrono::steady_clock::time_point now{};
};

}  // namespace

TEST_F(FakeSysfsTest, ReadsTheChipsNowTakesThePackageBackAfterABlipAndFindsAChipBackAsAnother) {
  open();
  EXPECT_EQ(log.lines().back(), fromPackage);
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

  // The package blips: the core stands in until the package is looked for again.
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
  EXPECT_EQ(SMCReadKey("TC0D", reading), kIOReturnNoDevice);  // lost, but still known
  EXPECT_EQ(SMCGetFanRpm("F0Ac"), 1300);                      // the other chip reads on
  EXPECT_EQ(log.lines().back(), "hwmon: sensors changed; 2 of 3 keys can be read.");
  tree->addCoretemp(7, "50000");
  EXPECT_EQ(SMCGetTemperature("TC0D"), 0.0);  // within 10 s of the last discovery
  now += 10s;
  EXPECT_EQ(SMCGetTemperature("TC0D"), 50.0);
  EXPECT_EQ(log.lines().back(), "hwmon: sensors changed; 3 of 3 keys can be read.");
}

TEST_F(FakeSysfsTest, ListsEveryInputWithWhatIsShownAndWhyAndWithoutAnyPublishesNoService) {
  tree->write(2, "temp2_input", "garbage");
  const std::string end =
      "To choose, set cpu, fan1 or fan2 to a CHIP/LABEL above in group "
      "[Sensors] of settings.ini.\n";
  auto source = LibsensorsSource::create();
  EXPECT_EQ(sensorListText(*source, {}, "settings.ini"),
            "Temperatures:\n"
            "  coretemp-isa-0000/Package id 0     45.0 °C  shown as CPU (package sensor)\n"
            "  coretemp-isa-0000/Core 0        unreadable\n"
            "Fans:\n"
            "  nct6775-isa-0290/fan1             1200 rpm  shown as fan 1 (first fan found)\n"
            "  nct6775-isa-0290/fan2                0 rpm  shown as fan 2 (next fan found)\n" +
                end);
  tree->removeChip(2);
  tree->removeChip(4);
  source->rediscover();
  EXPECT_EQ(sensorListText(*source, {}, "settings.ini"), "No temperature or fan inputs found.\n");
  // Without sensors no service is published.
  source.reset();
  EXPECT_FALSE(publishHwmonServices(IORegistry::shared()));
  EXPECT_EQ(log.lines().back(),
            "hwmon: no CPU temperature or fan sensor found; there is no AppleSMC service.");
}

TEST_F(FakeSysfsTest, ShowsTheChosenSensorsWhileThereAndTheAutomaticChoiceMeanwhile) {
  open({"coretemp-*/Core 0", "nct6775-*/fan2", "nct6775-isa-0290/fan 2"});
  const std::string fanMissing =
      "hwmon: [Sensors] fan2 = \"nct6775-isa-0290/fan 2\" names no fan input here; the automatic "
      "choice applies until it does. Fan inputs: nct6775-isa-0290/fan1, nct6775-isa-0290/fan2.";
  EXPECT_EQ(logged(fanMissing), 1U);
  EXPECT_EQ(log.lines().back(),
            "hwmon: CPU temperature from coretemp-isa-0000 \"Core 0\", chosen in the settings.");
  EXPECT_EQ(SMCGetTemperature("TC0D"), 47.0);
  EXPECT_EQ(SMCGetFanRpm("F0Ac"), 0);     // fan2, chosen
  EXPECT_EQ(SMCGetFanRpm("F1Ac"), 1200);  // fan1, the first fan not shown otherwise

  // The chosen core goes: the package stands in, said once however often it is looked for.
  std::filesystem::remove("/sys/class/hwmon/hwmon2/temp2_input");
  const std::string cpuMissing =
      "hwmon: [Sensors] cpu = \"coretemp-*/Core 0\" names no temperature input here; the "
      "automatic choice applies until it does. Temperature inputs: coretemp-isa-0000/Package id 0.";
  now += 10s;
  EXPECT_EQ(SMCGetTemperature("TC0D"), 0.0);
  for (int i = 0; i < 3; ++i, now += 10s) EXPECT_EQ(SMCGetTemperature("TC0D"), 45.0);
  EXPECT_EQ(logged(cpuMissing), 1U);
  EXPECT_EQ(logged(fromPackage), 1U);

  // It comes back, and is shown from the first read due to look for it.
  tree->write(2, "temp2_input", "52000");
  EXPECT_EQ(SMCGetTemperature("TC0D"), 52.0);
  EXPECT_EQ(logged("hwmon: [Sensors] cpu = \"coretemp-*/Core 0\" is there again, and shown."), 1U);
}
