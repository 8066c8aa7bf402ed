#include "platform/hwmon/HwmonKeyTable.h"

#include <algorithm>
#include <cstdlib>

#include "platform/hwmon/CpuSensorPick.h"

namespace {

constexpr std::uint32_t cpuKey = hwmonCpuKey;
constexpr const std::uint32_t (&fanKeys)[2] = hwmonFanKeys;
constexpr std::string_view chosenWhy = "chosen in the settings";
constexpr std::string_view appleSMCWhy = "the applesmc chip's own key";

bool isUsed(const HwmonKeyTable& table, const SensorRef& ref) {
  return std::any_of(table.keys.begin(), table.keys.end(),
                     [&](const auto& entry) { return entry.second.sensor == ref; });
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
      if (code != 0) table.keys.try_emplace(code, HwmonKey{SMCTypeSp78, feature.ref, appleSMCWhy});
      if (code == cpuKey && !table.cpuSource) {
        table.cpuSource = describeSensor(chip, feature);
        table.cpuRank = 0;
      }
      continue;
    }
    const int number = fanNumber(feature.name);
    if (number < 1 || number > 10 || isUsed(table, feature.ref)) continue;  // chosen elsewhere
    const char key[] = {'F', static_cast<char>('0' + number - 1), 'A', 'c'};
    table.keys.try_emplace(hwmonKeyCode({key, 4}), HwmonKey{SMCTypeFpe2, feature.ref, appleSMCWhy});
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
  constexpr std::string_view why[] = {"first fan found", "next fan found"};
  for (std::size_t index = 0; index < std::size(fanKeys); ++index) {
    if (table.keys.contains(fanKeys[index])) continue;
    if (const std::optional<SensorRef> fan = firstUnusedFan(source, table)) {
      table.keys.emplace(fanKeys[index], HwmonKey{SMCTypeFpe2, *fan, why[index]});
    }
  }
}

// Answers `key` from the sensor chosen under `settingKey`, or notes that it is not there.
void addChosenKey(const std::vector<SensorChip>& chips, const std::optional<std::string>& name,
                  const char* settingKey, std::uint32_t key, HwmonKeyTable& table) {
  if (!name) return;
  const bool isCpu = key == cpuKey;
  const SensorKind kind = isCpu ? SensorKind::temperature : SensorKind::fan;
  const SensorFeature* feature = findChosenSensor(chips, *name, kind);
  if (feature == nullptr) {
    table.missingChoices.emplace(key, MissingChoice{settingKey, *name, sensorNames(chips, kind)});
    return;
  }
  table.keys.emplace(key, HwmonKey{isCpu ? SMCTypeSp78 : SMCTypeFpe2, feature->ref, chosenWhy});
  if (!isCpu) return;
  table.cpuSource = describeSensor(chips[feature->ref.chip], *feature) + ", chosen in the settings";
  table.cpuRank = -1;
}

}  // namespace

HwmonKeyTable buildHwmonKeyTable(SensorSource& source, const SensorChoice& choice) {
  HwmonKeyTable table;
  addChosenKey(source.chips(), choice.cpu, "cpu", cpuKey, table);
  addChosenKey(source.chips(), choice.fan1, "fan1", fanKeys[0], table);
  addChosenKey(source.chips(), choice.fan2, "fan2", fanKeys[1], table);
  for (const SensorChip& chip : source.chips()) {
    if (chip.name == "applesmc") addAppleSMCKeys(chip, table);
  }
  if (!table.keys.contains(cpuKey)) {
    if (const std::optional<CpuSensorPick> cpu = pickCpuSensor(source)) {
      table.keys.emplace(cpuKey, HwmonKey{SMCTypeSp78, cpu->ref, cpu->why});
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
