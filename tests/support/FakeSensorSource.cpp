#include "tests/support/FakeSensorSource.h"

#include <utility>

FakeSensorSource::FakeSensorSource(std::vector<Input> hardware)
    : inputs(std::move(hardware)), present(inputs.size(), true) {
  discover();
}

void FakeSensorSource::setPresent(std::size_t input, bool isPresent) {
  present.at(input) = isPresent;
}

std::optional<double> FakeSensorSource::read(const SensorRef& ref) {
  const auto input = static_cast<std::size_t>(ref.input);
  if (ref.chip >= list.size() || input >= inputs.size() || !present[input]) return std::nullopt;
  return inputs[input].value;
}

bool FakeSensorSource::rediscover() {
  ++rediscoverCount;
  discover();
  return true;
}

void FakeSensorSource::discover() {
  list.clear();
  int temperatures = 0;
  int fans = 0;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (!present[i]) continue;
    const Input& input = inputs[i];
    if (list.empty() || list.back().name != input.chip) {
      list.push_back({input.chip, input.chip + "-isa-0000", {}});
      temperatures = fans = 0;
    }
    const bool fan = input.kind == SensorKind::fan;
    const std::string name =
        fan ? "fan" + std::to_string(++fans) : "temp" + std::to_string(++temperatures);
    list.back().features.push_back(
        {input.kind, name, input.label, SensorRef{list.size() - 1, static_cast<int>(i)}});
  }
}
