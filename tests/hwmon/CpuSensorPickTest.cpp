// The CPU sensor pick, on hand-made chip lists.

#include "platform/hwmon/CpuSensorPick.h"

#include <gtest/gtest.h>

#include "tests/hwmon/FakeSensorSource.h"

namespace {

std::string pick(FakeSensorSource& source) {
  const std::optional<CpuSensorPick> chosen = pickCpuSensor(source);
  return chosen ? chosen->description : "none";
}

// Every kind of candidate, listed in the reverse of the order of preference, so that the pick
// cannot just take the first or the last one.
struct Machine {
  FakeSensorSource source;
  std::size_t acpitz = source.addChip("acpitz");
  std::size_t thermal = source.addChip("cpu_thermal");
  std::size_t cores = source.addChip("coretemp");
  std::size_t zen = source.addChip("zenpower");
  std::size_t k10 = source.addChip("k10temp");
  std::size_t package = source.addChip("coretemp");
};

}  // namespace

TEST(CpuSensorPick, FollowsTheOrderOfPreference) {
  Machine m;
  m.source.addTemperature(m.acpitz, "temp1", 30);
  EXPECT_EQ(pick(m.source), "acpitz-isa-0000 \"temp1\"");
  m.source.addTemperature(m.thermal, "temp1", 31);
  EXPECT_EQ(pick(m.source), "cpu_thermal-isa-0000 \"temp1\"");
  m.source.addTemperature(m.cores, "Core 0", 32);
  EXPECT_EQ(pick(m.source), "coretemp-isa-0000 \"Core 0\"");
  m.source.addTemperature(m.zen, "Tdie", 33);
  EXPECT_EQ(pick(m.source), "zenpower-isa-0000 \"Tdie\"");
  m.source.addTemperature(m.k10, "Tctl", 34);
  EXPECT_EQ(pick(m.source), "k10temp-isa-0000 \"Tctl\"");
  m.source.addTemperature(m.k10, "Tdie", 35);
  EXPECT_EQ(pick(m.source), "k10temp-isa-0000 \"Tdie\"");
  m.source.addTemperature(m.package, "Package id 0", 36);
  EXPECT_EQ(pick(m.source), "coretemp-isa-0000 \"Package id 0\"");
}

TEST(CpuSensorPick, TakesTheHottestReadableCore) {
  FakeSensorSource source;
  const std::size_t cores = source.addChip("coretemp");
  const std::size_t k10 = source.addChip("k10temp");
  source.addTemperature(cores, "Core 0", 40);
  source.addTemperature(cores, "Core 1", std::nullopt);
  source.addTemperature(k10, "Tccd1", 52.5);
  source.addTemperature(cores, "Core 2", 50);
  EXPECT_EQ(pick(source), "k10temp-isa-0000 \"Tccd1\"");

  // Cores that cannot be read at all give way to the next kind of sensor.
  FakeSensorSource unreadable;
  unreadable.addTemperature(unreadable.addChip("coretemp"), "Core 0", std::nullopt);
  unreadable.addTemperature(unreadable.addChip("acpitz"), "temp1", 27.8);
  EXPECT_EQ(pick(unreadable), "acpitz-isa-0000 \"temp1\"");
}

TEST(CpuSensorPick, IgnoresLookalikeLabelsAndOtherChips) {
  FakeSensorSource source;
  const std::size_t board = source.addChip("nct6775");
  source.addTemperature(board, "Tdie", 60);
  source.addTemperature(board, "Package id 0", 61);
  const std::size_t cores = source.addChip("coretemp");
  source.addTemperature(cores, "Package id 1", 62);
  source.addTemperature(cores, "Core", 63);
  source.addFan(source.addChip("acpitz"), 1200);
  EXPECT_EQ(pick(source), "none");
  EXPECT_EQ(source.reads, 0);
}
