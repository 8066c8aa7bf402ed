#pragma once
// The SMC keys that the machine's sensors can answer, and the input behind each:
// - on a chip "applesmc", every temperature whose label is a four-character key answers that
//   key, and fan<n> answers F<n-1>Ac;
// - "TC0D", when not answered so, is the CPU sensor (CpuSensorPick.h);
// - "F0Ac" and "F1Ac", when not answered so, are the first fans not yet used, in chip then
//   feature order. A fan reading 0 rpm is still a fan.
// Before all of these, a sensor chosen in the settings (SensorChoice.h) answers its key: cpu
// TC0D, fan1 F0Ac and fan2 F1Ac. A chosen sensor that is not there is noted, and its key is
// answered as if nothing had been chosen.

#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/hwmon/SensorChoice.h"
#include "platform/hwmon/SensorSource.h"
#include "platform/iokit/SMCCodec.h"

struct HwmonKey {
  std::uint32_t dataType = 0;       // SMCTypeSp78 or SMCTypeFpe2
  std::optional<SensorRef> sensor;  // empty while the sensor behind the key is missing
  std::string_view why;             // why that sensor, such as "package sensor"; static text
};

// A sensor chosen in the settings that the last discovery did not find.
struct MissingChoice {
  std::string settingKey;  // "cpu", "fan1" or "fan2"
  std::string name;        // as written
  std::string available;   // the inputs of its kind there are (sensorNames)
};

struct HwmonKeyTable {
  std::map<std::uint32_t, HwmonKey> keys;
  std::optional<std::string> cpuSource;  // how TC0D is answered, for the log
  // How good that source is, lower being better: the CPU sensor chosen in the settings is -1,
  // the applesmc chip's own TC0D 0, a picked CPU sensor 1 + its rank. Compared across
  // discoveries to switch back to a better one.
  int cpuRank = std::numeric_limits<int>::max();
  std::map<std::uint32_t, MissingChoice> missingChoices;  // by the key they would answer
};

// The code of `key` (SMCFourCharCode); 0 unless `key` is exactly four printable ASCII
// characters, as every SMC key is.
constexpr std::uint32_t hwmonKeyCode(std::string_view key) {
  for (const char c : key) {
    if (c < ' ' || c > '~') return 0;
  }
  return SMCFourCharCode(key);
}

inline constexpr std::uint32_t hwmonCpuKey = hwmonKeyCode("TC0D");
inline constexpr std::uint32_t hwmonFanKeys[] = {hwmonKeyCode("F0Ac"), hwmonKeyCode("F1Ac")};
// The keys Pyrelle shows, in the order of their settings: cpu, fan1, fan2.
inline constexpr std::uint32_t hwmonShownKeys[] = {hwmonCpuKey, hwmonFanKeys[0], hwmonFanKeys[1]};

// Builds the table from source.chips(); may read the CPU candidates once (see pickCpuSensor).
HwmonKeyTable buildHwmonKeyTable(SensorSource& source, const SensorChoice& choice = {});

// True when the table answers at least one of TC0D, F0Ac and F1Ac.
bool answersPyrelleKeys(const HwmonKeyTable& table);
