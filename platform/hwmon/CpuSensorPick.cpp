#include "platform/hwmon/CpuSensorPick.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <string_view>
#include <vector>

namespace {

// Lower is preferred.
enum class CpuRank { package, k10Tdie, k10Tctl, zenTdie, hottestCore, thermalZone, acpi, none };

bool isNumbered(std::string_view label, std::string_view prefix) {
  if (!label.starts_with(prefix)) return false;
  label.remove_prefix(prefix.size());
  if (label.starts_with(' ')) label.remove_prefix(1);
  return !label.empty() && std::all_of(label.begin(), label.end(),
                                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

CpuRank rankOf(const SensorChip& chip, const SensorFeature& feature) {
  if (feature.kind != SensorKind::temperature) return CpuRank::none;
  const std::string& label = feature.label;
  if (chip.name == "coretemp") {
    if (label == "Package id 0") return CpuRank::package;
    return isNumbered(label, "Core") ? CpuRank::hottestCore : CpuRank::none;
  }
  if (chip.name == "k10temp") {
    if (label == "Tdie") return CpuRank::k10Tdie;
    if (label == "Tctl") return CpuRank::k10Tctl;
    return isNumbered(label, "Tccd") ? CpuRank::hottestCore : CpuRank::none;
  }
  if (chip.name == "zenpower") return label == "Tdie" ? CpuRank::zenTdie : CpuRank::none;
  if (chip.name == "cpu_thermal" || chip.name == "soc_thermal") return CpuRank::thermalZone;
  if (chip.name == "acpitz") return CpuRank::acpi;
  return CpuRank::none;
}

std::string_view reasonOf(CpuRank rank) {
  switch (rank) {
    case CpuRank::package:
    case CpuRank::k10Tdie:
    case CpuRank::k10Tctl:
    case CpuRank::zenTdie:
      return "package sensor";
    case CpuRank::hottestCore:
      return "hottest core";
    case CpuRank::thermalZone:
      return "CPU thermal zone";
    case CpuRank::acpi:
      return "ACPI thermal zone";
    case CpuRank::none:
      break;
  }
  return {};
}

struct Candidate {
  const SensorChip* chip;
  const SensorFeature* feature;
};

std::optional<Candidate> hottest(const std::vector<Candidate>& cores, SensorSource& source) {
  std::optional<Candidate> best;
  double bestCelsius = 0.0;
  for (const Candidate& core : cores) {
    const std::optional<double> celsius = source.read(core.feature->ref);
    if (!celsius || std::isnan(*celsius)) continue;
    if (best && *celsius <= bestCelsius) continue;
    best = core;
    bestCelsius = *celsius;
  }
  return best;
}

}  // namespace

std::string describeSensor(const SensorChip& chip, const SensorFeature& feature) {
  return chip.fullName + " \"" + feature.label + "\"";
}

std::optional<CpuSensorPick> pickCpuSensor(SensorSource& source) {
  constexpr auto rankCount = static_cast<std::size_t>(CpuRank::none);
  std::array<std::vector<Candidate>, rankCount> byRank;
  for (const SensorChip& chip : source.chips()) {
    for (const SensorFeature& feature : chip.features) {
      const CpuRank rank = rankOf(chip, feature);
      if (rank != CpuRank::none)
        byRank[static_cast<std::size_t>(rank)].push_back({&chip, &feature});
    }
  }
  for (std::size_t rank = 0; rank < rankCount; ++rank) {
    const std::vector<Candidate>& candidates = byRank[rank];
    if (candidates.empty()) continue;
    const std::optional<Candidate> chosen = rank == static_cast<std::size_t>(CpuRank::hottestCore)
                                                ? hottest(candidates, source)
                                                : candidates.front();
    if (chosen) {
      return CpuSensorPick{chosen->feature->ref, describeSensor(*chosen->chip, *chosen->feature),
                           static_cast<int>(rank), reasonOf(static_cast<CpuRank>(rank))};
    }
  }
  return std::nullopt;
}
