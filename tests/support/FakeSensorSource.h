#pragma once
// A SensorSource over temperature inputs made by hand, for the CPU sensor pick without a
// sensors library. Inputs are listed in order; an input joins the chip before it when their
// chip names match.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/hwmon/SensorSource.h"

class FakeSensorSource final : public SensorSource {
 public:
  struct Input {
    std::string chip;
    std::string label;
    std::optional<double> value;  // empty: reads fail
  };

  explicit FakeSensorSource(std::vector<Input> hardware) : inputs(std::move(hardware)) {
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

 private:
  std::vector<Input> inputs;
  std::vector<SensorChip> list;
};
