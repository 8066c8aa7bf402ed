#include "platform/hwmon/HwmonSMCService.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/foundation/NSLog.h"
#include "platform/iokit/SMCCodec.h"

namespace {

std::size_t answerable(const HwmonKeyTable& table) {
  std::size_t count = 0;
  for (const auto& entry : table.keys) count += entry.second.sensor ? 1U : 0U;
  return count;
}

// Logs the chosen sensors that went missing since `before`, and those that came back.
void logChoiceChanges(const HwmonKeyTable& before, const HwmonKeyTable& after) {
  for (const std::uint32_t key : hwmonShownKeys) {
    const auto found = after.missingChoices.find(key);
    if (found == after.missingChoices.end() || before.missingChoices.contains(key)) continue;
    const MissingChoice& missing = found->second;
    const bool isCpu = key == hwmonCpuKey;
    NSLog("hwmon: [Sensors] " + missing.settingKey + " = \"" + loggable(missing.name) +
          "\" names no " + (isCpu ? "temperature" : "fan") +
          " input here; the automatic choice applies until it does. " +
          (isCpu ? "Temperature" : "Fan") + " inputs: " + loggable(missing.available) + ".");
  }
  for (const auto& [key, missing] : before.missingChoices) {
    if (after.missingChoices.contains(key)) continue;
    NSLog("hwmon: [Sensors] " + missing.settingKey + " = \"" + loggable(missing.name) +
          "\" is there again, and shown.");
  }
}

}  // namespace

std::shared_ptr<HwmonSMCService> HwmonSMCService::create(std::unique_ptr<SensorSource> source,
                                                         Clock clock, SensorChoice choice) {
  HwmonKeyTable table = buildHwmonKeyTable(*source, choice);
  logChoiceChanges({}, table);
  if (!answersPyrelleKeys(table)) {
    NSLog("hwmon: no CPU temperature or fan sensor found; there is no AppleSMC service.");
    return nullptr;
  }
  return std::make_shared<HwmonSMCService>(Passkey<HwmonSMCService>{}, std::move(source),
                                           std::move(clock), std::move(choice), std::move(table));
}

HwmonSMCService::HwmonSMCService(Passkey<HwmonSMCService> /*key*/,
                                 std::unique_ptr<SensorSource> sensors, Clock monotonic,
                                 SensorChoice chosen, HwmonKeyTable keys)
    : source(std::move(sensors)),
      clock(std::move(monotonic)),
      choice(std::move(chosen)),
      table(std::move(keys)),
      lastDiscovery(clock()),
      bestCpuRank(table.cpuRank) {}

kern_return_t HwmonSMCService::keyInfo(std::uint32_t key, SMCKeyInfo& info) {
  const auto found = table.keys.find(key);
  if (found == table.keys.end()) return kIOReturnNotFound;
  info.dataSize = SMCEncodedSize;
  info.dataType = found->second.dataType;
  return kIOReturnSuccess;
}

kern_return_t HwmonSMCService::readBytes(std::uint32_t key, std::uint32_t /*dataSize*/,
                                         std::uint8_t (&bytes)[SMCDataBytes]) {
  auto found = table.keys.find(key);
  if (found == table.keys.end()) return kIOReturnNotFound;
  // A key whose sensor went missing is looked for again first, so that its first read after
  // the sensor came back already succeeds; so is a sensor that stands in for a better one or
  // for the one chosen in the settings. Rediscovery replaces the table: look the key up anew.
  const bool standIn =
      (key == hwmonCpuKey && table.cpuRank > bestCpuRank) || table.missingChoices.contains(key);
  if (!found->second.sensor || standIn) {
    rediscoverIfDue();
    found = table.keys.find(key);
  }
  const HwmonKey entry = found->second;
  if (!entry.sensor) return kIOReturnNoDevice;

  const std::optional<double> value = source->read(*entry.sensor);
  // Infinities and NaN are what the library parses from a garbled attribute: not a reading.
  if (!value || !std::isfinite(*value)) {
    rediscoverIfDue();
    return kIOReturnNoDevice;
  }
  const auto encoded =
      entry.dataType == SMCTypeSp78 ? SMCEncodeSp78(*value) : SMCEncodeFpe2(*value);
  bytes[0] = encoded[0];
  bytes[1] = encoded[1];
  return kIOReturnSuccess;
}

void HwmonSMCService::rediscoverIfDue() {
  const auto now = clock();
  if (now - lastDiscovery < rediscoveryInterval) return;
  lastDiscovery = now;
  if (!source->rediscover()) NSLog("hwmon: libsensors could not start again.");
  adopt(buildHwmonKeyTable(*source, choice));
}

// Takes the inputs of a new discovery. Keys stay known even when their sensor is gone, so
// that clients keep asking and a sensor that comes back is found by a later rediscovery.
void HwmonSMCService::adopt(HwmonKeyTable fresh) {
  logChoiceChanges(table, fresh);
  table.missingChoices = std::move(fresh.missingChoices);
  if (fresh.cpuSource) {
    // Another core of the same kind is no news; another kind of sensor is.
    if (fresh.cpuRank != table.cpuRank) {
      NSLog("hwmon: CPU temperature from " + loggable(*fresh.cpuSource) + ".");
    }
    table.cpuSource = std::move(fresh.cpuSource);
    table.cpuRank = fresh.cpuRank;
    bestCpuRank = std::min(bestCpuRank, table.cpuRank);
  }
  const std::size_t before = answerable(table);
  for (const auto& [key, entry] : table.keys) {
    fresh.keys.try_emplace(key, HwmonKey{entry.dataType, std::nullopt, {}});
  }
  table.keys = std::move(fresh.keys);
  const std::size_t after = answerable(table);
  if (after == before) return;
  NSLog("hwmon: sensors changed; " + std::to_string(after) + " of " +
        std::to_string(table.keys.size()) + " keys can be read.");
}
