#pragma once
// A SensorSource over a hand-made chip list: values set per input, reads and rediscoveries
// counted.

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/hwmon/SensorSource.h"

class FakeSensorSource : public SensorSource {
 public:
  std::size_t addChip(const std::string& name) {
    list.push_back({name, name + "-isa-0000", {}});
    return list.size() - 1;
  }
  SensorRef addTemperature(std::size_t chip, const std::string& label,
                           std::optional<double> celsius) {
    return add(chip, SensorKind::temperature, "temp", label, celsius);
  }
  SensorRef addFan(std::size_t chip, std::optional<double> rpm) {
    return add(chip, SensorKind::fan, "fan", "", rpm);
  }
  void set(const SensorRef& ref, std::optional<double> value) {
    values[{ref.chip, ref.input}] = value;
  }

  const std::vector<SensorChip>& chips() const override { return list; }
  std::optional<double> read(const SensorRef& ref) override {
    ++reads;
    const auto found = values.find({ref.chip, ref.input});
    return found == values.end() ? std::nullopt : found->second;
  }
  bool rediscover() override {
    ++rediscoveries;
    return true;
  }

  int reads = 0;
  int rediscoveries = 0;

 private:
  SensorRef add(std::size_t chip, SensorKind kind, const std::string& prefix,
                const std::string& label, std::optional<double> value) {
    std::vector<SensorFeature>& features = list[chip].features;
    int number = 1;
    for (const SensorFeature& feature : features) number += feature.kind == kind ? 1 : 0;
    const std::string name = prefix + std::to_string(number);
    const SensorRef ref{chip, nextInput++};
    features.push_back({kind, name, label.empty() ? name : label, ref});
    set(ref, value);
    return ref;
  }

  std::vector<SensorChip> list;
  std::map<std::pair<std::size_t, int>, std::optional<double>> values;
  int nextInput = 1;
};
