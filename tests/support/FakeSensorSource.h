#pragma once
// A SensorSource over inputs made by hand, for the hwmon service's rules without a sensors
// library. Inputs are listed in order; an input joins the chip before it when their chip names
// match. An input can go missing and come back, as a chip does across a driver reload: its
// reads fail meanwhile, and the chip list changes only when the service discovers again.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/hwmon/SensorSource.h"

class FakeSensorSource final : public SensorSource {
 public:
  struct Input {
    std::string chip;
    std::string label;
    std::optional<double> value;  // empty: reads fail
    SensorKind kind = SensorKind::temperature;
  };

  explicit FakeSensorSource(std::vector<Input> hardware);

  // Takes the input at this position of the list given away, or brings it back.
  void setPresent(std::size_t input, bool isPresent);
  int rediscoveries() const { return rediscoverCount; }

  const std::vector<SensorChip>& chips() const override { return list; }
  std::optional<double> read(const SensorRef& ref) override;
  bool rediscover() override;

 private:
  void discover();

  std::vector<Input> inputs;
  std::vector<bool> present;
  std::vector<SensorChip> list;
  int rediscoverCount = 0;
};
