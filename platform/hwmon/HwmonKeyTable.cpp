#include "platform/hwmon/HwmonKeyTable.h"

#include <algorithm>
#include <cstdlib>

#include "platform/hwmon/CpuSensorPick.h"

namespace {

constexpr std::uint32_t cpuKey = hwmonKeyCode("TC0D");
constexpr std::uint32_t fanKeys[] = {hwmonKeyCode("F0Ac"), hwmonKeyCode("F1Ac")};

bool sameSensor(const SensorRef& a, const SensorRef& b) {
  return a.chip == b.chip && a.input == b.input;
}

bool isUsed(const HwmonKeyTable& table, const SensorRef& ref) {
  return std::any_of(table.keys.begin(), table.keys.end(), [&](const auto& entry) {
    return entry.second.sensor && sameSensor(*entry.second.sensor, ref);
  });
}

// "fan3" -> 3; 0 for any other name.
int fanNumber(const std::string& name) {
  if (!name.starts_with("fan") || name.size() > 5) return 0;
  char* end = nullptr;
  const long number = std::strtol(name.c_str() + 3, &end, 10);
  return *end == '\0' ? static_cast<int>(number) : 0;
}

void addAppleSMCKeys(const SensorChip& chip, HwmonKeyTable& table) {
  for (const SensorFeature& feature : chip.features) {
    if (feature.kind == SensorKind::temperature) {
      const std::uint32_t code = hwmonKeyCode(feature.label);
      if (code != 0) table.keys.try_emplace(code, HwmonKey{SMCTypeSp78, feature.ref});
      if (code == cpuKey && !table.cpuSource) {
        table.cpuSource = describeSensor(chip, feature);
        table.cpuRank = 0;
      }
      continue;
    }
    const int number = fanNumber(feature.name);
    if (number < 1 || number > 10) continue;
    const char key[] = {'F', static_cast<char>('0' + number - 1), 'A', 'c'};
    table.keys.try_emplace(hwmonKeyCode({key, 4}), HwmonKey{SMCTypeFpe2, feature.ref});
  }
}

std::optional<SensorRef> firstUnusedFan(SensorSource& source, const HwmonKeyTable& table) {
  for (const SensorChip& chip : source.chips()) {
    for (const SensorFeature& feature : chip.features) {
      if (feature.kind == SensorKind::fan && !isUsed(table, feature.ref)) return feature.ref;
    }
  }
  return std::nullopt;
}

void addFirstFans(SensorSource& source, HwmonKeyTable& table) {
  for (const std::uint32_t key : fanKeys) {
    if (table.keys.contains(key)) continue;
    if (const std::optional<SensorRef> fan = firstUnusedFan(source, table)) {
      table.keys.emplace(key, HwmonKey{SMCTypeFpe2, *fan});
    }
  }
}

}  // namespace

HwmonKeyTable buildHwmonKeyTable(SensorSource& source) {
  HwmonKeyTable table;
  for (const SensorChip& chip : source.chips()) {
    if (chip.name == "applesmc") addAppleSMCKeys(chip, table);
  }
  if (!table.keys.contains(cpuKey)) {
    if (const std::optional<CpuSensorPick> cpu = pickCpuSensor(source)) {
      table.keys.emplace(cpuKey, HwmonKey{SMCTypeSp78, cpu->ref});
      table.cpuSource = cpu->description;
      table.cpuRank = 1 + cpu->rank;
    }
  }
  addFirstFans(source, table);
  return table;
}

bool answersPyrelleKeys(const HwmonKeyTable& table) {
  return table.keys.contains(cpuKey) || table.keys.contains(fanKeys[0]) ||
         table.keys.contains(fanKeys[1]);
}
