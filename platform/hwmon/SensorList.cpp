#include "platform/hwmon/SensorList.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSPathUtilities.h"
#include "platform/hwmon/HwmonKeyTable.h"
#include "platform/hwmon/LibsensorsSource.h"

namespace {

using Row = std::array<std::string, 3>;  // name, value, what it is shown as

// Characters on a terminal: UTF-8 continuation bytes take no column.
std::size_t columns(const std::string& text) {
  std::size_t count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0U) != 0x80U ? 1U : 0U;
  return count;
}

std::string valueText(std::optional<double> value, SensorKind kind) {
  if (!value || !std::isfinite(*value)) return "unreadable";
  char text[32];
  std::snprintf(text, sizeof text, kind == SensorKind::temperature ? "%.1f °C" : "%.0f rpm",
                *value);
  return text;
}

// "shown as CPU (package sensor)" and the like, for each of Pyrelle's keys that `ref` answers.
std::string shownAs(const HwmonKeyTable& table, const SensorRef& ref) {
  constexpr const char* shown[] = {"CPU", "fan 1", "fan 2"};  // as hwmonShownKeys
  std::string text;
  for (std::size_t index = 0; index < std::size(shown); ++index) {
    const auto found = table.keys.find(hwmonShownKeys[index]);
    if (found == table.keys.end() || found->second.sensor != ref) continue;
    if (!text.empty()) text += "; ";
    text += "shown as " + std::string(shown[index]) + " (" + std::string(found->second.why) + ")";
  }
  return text;
}

// Name and value columns as wide as their widest entry in either section.
void appendSection(std::string& out, const char* title, const std::vector<Row>& rows,
                   const std::size_t (&widths)[2]) {
  out += title;
  out += rows.empty() ? " none\n" : "\n";
  for (const Row& row : rows) {
    out += "  " + row[0] + std::string(widths[0] - columns(row[0]) + 2, ' ') +
           std::string(widths[1] - columns(row[1]), ' ') + row[1];
    out += row[2].empty() ? "\n" : "  " + row[2] + "\n";
  }
}

}  // namespace

std::string sensorListText(SensorSource& source, const SensorChoice& choice,
                           const std::string& settingsPath) {
  const HwmonKeyTable table = buildHwmonKeyTable(source, choice);
  std::vector<Row> temperatures, fans;
  for (const SensorChip& chip : source.chips()) {
    for (const SensorFeature& feature : chip.features) {
      Row row{loggable(sensorName(chip, feature)),
              valueText(source.read(feature.ref), feature.kind), shownAs(table, feature.ref)};
      (feature.kind == SensorKind::temperature ? temperatures : fans).push_back(std::move(row));
    }
  }
  if (temperatures.empty() && fans.empty()) return "No temperature or fan inputs found.\n";
  std::size_t widths[2] = {0, 0};
  for (const auto* rows : {&temperatures, &fans}) {
    for (const Row& row : *rows) {
      for (std::size_t i = 0; i < 2; ++i) widths[i] = std::max(widths[i], columns(row[i]));
    }
  }
  std::string out;
  appendSection(out, "Temperatures:", temperatures, widths);
  appendSection(out, "Fans:", fans, widths);
  for (const std::uint32_t key : hwmonShownKeys) {
    const auto found = table.missingChoices.find(key);
    if (found == table.missingChoices.end()) continue;
    const MissingChoice& missing = found->second;
    out += "[Sensors] " + missing.settingKey + " = \"" + loggable(missing.name) + "\" names no " +
           (key == hwmonCpuKey ? "temperature" : "fan") +
           " input here; the automatic choice applies.\n";
  }
  return out + "To choose, set cpu, fan1 or fan2 to a CHIP/LABEL above in group [Sensors] of " +
         settingsPath + ".\n";
}

int listHwmonSensors() {
  const std::unique_ptr<LibsensorsSource> source = LibsensorsSource::create();
  if (!source) return 1;
  const std::string list = sensorListText(*source, SensorChoice::fromSettings(),
                                          userConfigDirectory() + "/pyrelle/settings.ini");
  std::fputs(list.c_str(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
