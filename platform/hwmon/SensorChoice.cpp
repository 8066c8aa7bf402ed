#include "platform/hwmon/SensorChoice.h"

#include <fnmatch.h>

#include "platform/foundation/NSUserDefaults.h"

namespace {

std::optional<std::string> readChoice(const NSUserDefaults& settings, std::string_view key) {
  const std::optional<std::string> text = settings.stringForKey(key, "Sensors");
  if (!text) return std::nullopt;
  constexpr std::string_view space = " \t";
  const auto first = text->find_first_not_of(space);
  if (first == std::string::npos) return std::nullopt;
  return text->substr(first, text->find_last_not_of(space) - first + 1);
}

}  // namespace

SensorChoice SensorChoice::fromSettings() {
  const NSUserDefaults& settings = NSUserDefaults::standardUserDefaults();
  return {readChoice(settings, "cpu"), readChoice(settings, "fan1"), readChoice(settings, "fan2")};
}

std::string sensorName(const SensorChip& chip, const SensorFeature& feature) {
  return chip.fullName + "/" + feature.label;
}

const SensorFeature* findChosenSensor(const std::vector<SensorChip>& chips, std::string_view name,
                                      SensorKind kind) {
  // Chip names hold no slash; labels may.
  const auto slash = name.find('/');
  if (slash == std::string_view::npos) return nullptr;
  const std::string chipPattern(name.substr(0, slash));
  const std::string_view label = name.substr(slash + 1);
  for (const SensorChip& chip : chips) {
    if (fnmatch(chipPattern.c_str(), chip.fullName.c_str(), 0) != 0) continue;
    for (const SensorFeature& feature : chip.features) {
      if (feature.kind == kind && feature.label == label) return &feature;
    }
  }
  return nullptr;
}

std::string sensorNames(const std::vector<SensorChip>& chips, SensorKind kind) {
  std::string names;
  for (const SensorChip& chip : chips) {
    for (const SensorFeature& feature : chip.features) {
      if (feature.kind != kind) continue;
      if (!names.empty()) names += ", ";
      names += sensorName(chip, feature);
    }
  }
  return names.empty() ? "none" : names;
}
