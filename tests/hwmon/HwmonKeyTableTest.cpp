// Which keys a machine's sensors answer, and with which input.

#include "platform/hwmon/HwmonKeyTable.h"

#include <gtest/gtest.h>

#include "platform/hwmon/SMCEncoding.h"
#include "tests/hwmon/FakeSensorSource.h"

namespace {

// The input behind `key`, as "chip/input", or "none".
std::string sensorOf(const HwmonKeyTable& table, std::string_view key) {
  const auto found = table.keys.find(hwmonKeyCode(key));
  if (found == table.keys.end() || !found->second.sensor) return "none";
  const SensorRef& ref = *found->second.sensor;
  return std::to_string(ref.chip) + "/" + std::to_string(ref.input);
}

std::string at(const SensorRef& ref) {
  return std::to_string(ref.chip) + "/" + std::to_string(ref.input);
}

}  // namespace

TEST(HwmonKeyTable, AppleSMCLabelsAreKeysAndItsFansAreNumberedFromZero) {
  FakeSensorSource source;
  const std::size_t cores = source.addChip("coretemp");
  source.addTemperature(cores, "Package id 0", 50);
  const std::size_t smc = source.addChip("applesmc");
  const SensorRef proximity = source.addTemperature(smc, "TC0P", 41);
  const SensorRef diode = source.addTemperature(smc, "TC0D", 42);
  source.addTemperature(smc, "Long label", 43);
  source.addTemperature(smc, "T\xc3\xa9s", 44);  // four bytes, but not four characters
  const SensorRef fan1 = source.addFan(smc, 2000);
  const SensorRef fan2 = source.addFan(smc, 0);
  const SensorRef fan3 = source.addFan(smc, 1800);

  const HwmonKeyTable table = buildHwmonKeyTable(source);
  EXPECT_EQ(sensorOf(table, "TC0D"), at(diode));
  EXPECT_EQ(sensorOf(table, "TC0P"), at(proximity));
  EXPECT_EQ(sensorOf(table, "F0Ac"), at(fan1));
  EXPECT_EQ(sensorOf(table, "F1Ac"), at(fan2));
  EXPECT_EQ(sensorOf(table, "F2Ac"), at(fan3));
  EXPECT_EQ(table.keys.size(), 5u);
  EXPECT_EQ(table.keys.at(hwmonKeyCode("TC0P")).dataType, SMCTypeSp78);
  EXPECT_EQ(table.keys.at(hwmonKeyCode("F2Ac")).dataType, SMCTypeFpe2);
  EXPECT_EQ(table.cpuSource, "applesmc-isa-0000 \"TC0D\"");
}

TEST(HwmonKeyTable, MissingKeysComeFromTheCpuPickAndTheFirstFans) {
  FakeSensorSource source;
  const std::size_t smc = source.addChip("applesmc");
  source.addTemperature(smc, "TB0T", 30);
  const SensorRef smcFan = source.addFan(smc, 1000);
  const std::size_t board = source.addChip("nct6775");
  const SensorRef boardFan1 = source.addFan(board, 0);
  source.addFan(board, 900);
  const std::size_t cpu = source.addChip("k10temp");
  const SensorRef tctl = source.addTemperature(cpu, "Tctl", 55);

  const HwmonKeyTable table = buildHwmonKeyTable(source);
  EXPECT_EQ(sensorOf(table, "TC0D"), at(tctl));
  EXPECT_EQ(table.keys.at(hwmonKeyCode("TC0D")).dataType, SMCTypeSp78);
  EXPECT_EQ(sensorOf(table, "F0Ac"), at(smcFan));
  EXPECT_EQ(sensorOf(table, "F1Ac"), at(boardFan1));  // not the applesmc fan a second time
  EXPECT_EQ(table.cpuSource, "k10temp-isa-0000 \"Tctl\"");
}

TEST(HwmonKeyTable, AnswersPyrelleOnlyWithACpuSensorOrAFan) {
  FakeSensorSource source;
  EXPECT_FALSE(answersPyrelleKeys(buildHwmonKeyTable(source)));
  source.addTemperature(source.addChip("nvme"), "Composite", 38);
  EXPECT_FALSE(answersPyrelleKeys(buildHwmonKeyTable(source)));
  source.addFan(source.addChip("thinkpad"), 0);
  EXPECT_TRUE(answersPyrelleKeys(buildHwmonKeyTable(source)));
}
