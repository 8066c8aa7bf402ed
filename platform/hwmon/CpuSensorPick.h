#pragma once
// Which temperature input stands for "the CPU", chosen by chip name and label (never by the
// hwmonN number, which changes across boots and resumes). In order of preference:
//   coretemp "Package id 0"; k10temp "Tdie", then "Tctl"; zenpower "Tdie";
//   the hottest coretemp "Core N" or k10temp "TccdN"; cpu_thermal or soc_thermal; acpitz.

#include <optional>
#include <string>
#include <string_view>

#include "platform/hwmon/SensorSource.h"

struct CpuSensorPick {
  SensorRef ref;
  std::string description;  // chip and label, such as: coretemp-isa-0000 "Package id 0"
  int rank = 0;             // its place in the order above: 0 is the package, higher is worse
  std::string_view why;     // that place in words, such as "package sensor" or "hottest core"
};

// Picks among source.chips(). Reads values only to find the hottest core, when no better
// candidate exists; cores that cannot be read are passed over. Empty when nothing fits.
std::optional<CpuSensorPick> pickCpuSensor(SensorSource& source);

// How one chip's input is described in the log.
std::string describeSensor(const SensorChip& chip, const SensorFeature& feature);
