// The CPU sensor pick, on hand-made chip lists.

#include "platform/hwmon/CpuSensorPick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Input {
  std::string chip;
  std::string label;
  std::optional<double> celsius;  // empty: the read fails
};

// A SensorSource over temperature inputs in list order; an input joins the chip before it
// when their names match.
class FakeSensorSource : public SensorSource {
 public:
  explicit FakeSensorSource(const std::vector<Input>& inputs) {
    for (const Input& input : inputs) {
      if (list.empty() || list.back().name != input.chip) {
        list.push_back({input.chip, input.chip + "-isa-0000", {}});
      }
      std::vector<SensorFeature>& features = list.back().features;
      const SensorRef ref{list.size() - 1, static_cast<int>(values.size())};
      features.push_back({SensorKind::temperature, "temp", input.label, ref});
      values.push_back(input.celsius);
    }
  }
  const std::vector<SensorChip>& chips() const override { return list; }
  std::optional<double> read(const SensorRef& ref) override { return values.at(ref.input); }
  bool rediscover() override { return true; }

 private:
  std::vector<SensorChip> list;
  std::vector<std::optional<double>> values;
};

std::string pick(const std::vector<Input>& inputs) {
  FakeSensorSource source(inputs);
  const std::optional<CpuSensorPick> chosen = pickCpuSensor(source);
  return chosen ? chosen->description : "none";
}

}  // namespace

TEST(CpuSensorPick, FollowsTheOrderOfPreferenceAndIgnoresLookalikes) {
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
    const Input& best = worstFirst[n - 1];
    const std::string expected = best.chip + "-isa-0000 \"" + best.label + "\"";
    std::vector<Input> inputs = lookalikes;
    inputs.insert(inputs.end(), worstFirst.begin(), worstFirst.begin() + n);
    EXPECT_EQ(pick(inputs), expected);
    std::reverse(inputs.begin(), inputs.end());
    EXPECT_EQ(pick(inputs), expected);
  }
}

TEST(CpuSensorPick, TakesTheHottestReadableCore) {
  EXPECT_EQ(pick({{"coretemp", "Core 0", 40},
                  {"coretemp", "Core 1", std::nullopt},
                  {"k10temp", "Tccd1", 52.5},
                  {"coretemp", "Core 2", 50}}),
            "k10temp-isa-0000 \"Tccd1\"");
  // Cores that cannot be read at all give way to the next kind of sensor.
  EXPECT_EQ(pick({{"coretemp", "Core 0", std::nullopt}, {"acpitz", "temp1", 27.8}}),
            "acpitz-isa-0000 \"temp1\"");
}
