#pragma once
// What the hwmon service needs from a sensors library: the chips with their temperature and fan
// inputs, one reading at a time, and a fresh discovery after the chips changed. The Linux
// implementation is LibsensorsSource; tests use synthetic lists.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

enum class SensorKind { temperature, fan };

// One input of one chip, valid until the next rediscover().
struct SensorRef {
  std::size_t chip = 0;  // index into the list chips() returned
  int input = 0;         // the library's number of the input attribute

  bool operator==(const SensorRef&) const = default;
};

struct SensorFeature {
  SensorKind kind = SensorKind::temperature;
  std::string name;   // the attribute group, such as "temp1" or "fan2"
  std::string label;  // the configured or driver label, trimmed; the name when there is none
  SensorRef ref;
};

struct SensorChip {
  std::string name;                     // the driver's name, such as "coretemp"
  std::string fullName;                 // with bus and address, such as "coretemp-isa-0000"
  std::vector<SensorFeature> features;  // only those that have an input, in the library's order
};

class SensorSource {
 public:
  virtual ~SensorSource() = default;

  // The chips found by the last discovery, in the library's order. No reads of values.
  virtual const std::vector<SensorChip>& chips() const = 0;
  // Reads one input now: degrees Celsius for temperatures, rpm for fans. Empty when the read
  // failed (chip gone, I/O error, unparsable value).
  virtual std::optional<double> read(const SensorRef& ref) = 0;
  // Forgets every chip and discovers them again; refs handed out before are invalid afterwards.
  // False when the library could not start again (the list is then empty).
  virtual bool rediscover() = 0;
};
