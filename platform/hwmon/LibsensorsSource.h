#pragma once
// SensorSource over libsensors, which applies the user's sensors.conf (labels, compute lines,
// ignores). libsensors keeps its state in the process, so at most one LibsensorsSource lives
// at a time; it starts the library when created and cleans it up when destroyed.

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Passkey.h"
#include "platform/hwmon/SensorSource.h"

struct sensors_chip_name;

class LibsensorsSource final : public SensorSource {
 public:
  // Starts libsensors with the system's configuration (empty `configPath`) or with the given
  // file, and lists the chips. Empty, with a log line, when another LibsensorsSource is alive
  // or the library cannot start.
  static std::unique_ptr<LibsensorsSource> create(const std::string& configPath = {});
  ~LibsensorsSource() override;
  LibsensorsSource(const LibsensorsSource&) = delete;
  LibsensorsSource& operator=(const LibsensorsSource&) = delete;

  const std::vector<SensorChip>& chips() const override { return found; }
  std::optional<double> read(const SensorRef& ref) override;
  bool rediscover() override;

  // Made by create() only.
  LibsensorsSource(Passkey<LibsensorsSource> key, std::string configFile);

 private:
  bool start();
  void stop();
  void discover();

  std::string configPath;
  bool started = false;
  std::vector<SensorChip> found;
  std::vector<const sensors_chip_name*> handles;  // parallel to `found`; owned by libsensors
};
