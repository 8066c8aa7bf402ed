#pragma once
// The sensors the user chose in the settings file: group [Sensors], keys cpu, fan1 and fan2, each
// naming one input as CHIP/LABEL, the way --list-sensors prints it ("coretemp-isa-0000/Package id
// 0"). CHIP may hold the wildcards * and ? ("coretemp-*"), since bus numbers can change between
// boots; the label is matched exactly. The first input in the library's order that matches is
// taken.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hwmon/SensorSource.h"

struct SensorChoice {
  // As written, trimmed; empty when the key is absent or empty.
  std::optional<std::string> cpu, fan1, fan2;

  // Reads [Sensors] from the standard settings store.
  static SensorChoice fromSettings();
};

// The name of an input as the list prints it and the settings name it: "CHIP/LABEL".
std::string sensorName(const SensorChip& chip, const SensorFeature& feature);

// The first input of `kind` that `name` names, or nullptr; its chip is chips[ref.chip].
const SensorFeature* findChosenSensor(const std::vector<SensorChip>& chips, std::string_view name,
                                      SensorKind kind);

// The names of every input of `kind`, comma-separated, for the log ("none" when there is none).
std::string sensorNames(const std::vector<SensorChip>& chips, SensorKind kind);
