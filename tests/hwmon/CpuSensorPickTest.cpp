// The CPU sensor pick, on hand-made chip lists.

#include "platform/hwmon/CpuSensorPick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/hwmon/SensorSource.h"

namespace {

struct Input {
  std::string chip, label;
  std::optional<double> value;  // empty: reads fail
};

// Temperature inputs in order; an input joins the chip before it when their chip names match.
struct HandMadeSource final : SensorSource {
  explicit HandMadeSource(const std::vector<Input>& hardware) : inputs(hardware) {
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      if (list.empty() || list.back().name != inputs[i].chip) {
        list.push_back({inputs[i].chip, inputs[i].chip + "-isa-0000", {}});
      }
      list.back().features.push_back({SensorKind::temperature, "temp", inputs[i].label,
                                      SensorRef{list.size() - 1, static_cast<int>(i)}});
    }
  }
  const std::vector<SensorChip>& chips() const override { return list; }
  std::optional<double> read(const SensorRef& ref) override {
    return inputs.at(static_cast<std::size_t>(ref.input)).value;
  }
  bool rediscover() override { return false; }
  std::vector<Input> inputs;
  std::vector<SensorChip> list;
};

std::string pick(const std::vector<Input>& inputs) {
  HandMadeSource source(inputs);
  const auto chosen = pickCpuSensor(source);
  return chosen ? chosen->description : "none";
}

}  // namespace

TEST(CpuSensorPick, FollowsTheOrderOfPreferenceIgnoresLookalikesAndTakesTheHottestCore) {
  const std::vector<Input> lookalikes = {{"nct6775", "Tdie", 60},
                                         {"nct6775", "Package id 0", 61},
                                         {"coretemp", "Package id 1", 62},
                                         {"coretemp", "Core", 63}};
  EXPECT_EQ(pick(lookalikes), "none");

  const std::vector<Input> worstFirst = {
      {"acpitz", "temp1", 30},         {"cpu_thermal", "temp1", 31}, {"coretemp", "Core 0", 32},
      {"zenpower", "Tdie", 33},        {"k10temp", "Tctl", 34},      {"k10temp", "Tdie", 35},
      {"coretemp", "Package id 0", 36}};
  // Each better candidate joins the lookalikes and the worse ones, once last and once first,
  // so that its position cannot decide.
  for (std::size_t n = 1; n <= worstFirst.size(); ++n) {
    const std::string expected =
        worstFirst[n - 1].chip + "-isa-0000 \"" + worstFirst[n - 1].label + "\"";
    std::vector<Input> inputs = lookalikes;
    inputs.insert(inputs.end(), worstFirst.begin(),
                  worstFirst.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(pick(inputs), expected);
    std::reverse(inputs.begin(), inputs.end());
    EXPECT_EQ(pick(inputs), expected);
  }

  // Among cores, the hottest readable one.
  EXPECT_EQ(pick({{"coretemp", "Core 0", 40},
                  {"coretemp", "Core 1", std::nullopt},
                  {"k10temp", "Tccd1", 52.5},
                  {"coretemp", "Core 2", 50}}),
            "k10temp-isa-0000 \"Tccd1\"");
  // Cores that cannot be read at all give way to the next kind of sensor.
  EXPECT_EQ(pick({{"coretemp", "Core 0", std::nullopt}, {"acpitz", "temp1", 27.8}}),
            "acpitz-isa-0000 \"temp1\"");
}
